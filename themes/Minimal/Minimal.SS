// Minimal: the smallest useful Glimmora theme. Copy this folder, rename
// Minimal.SS to the name of your theme, and build from here.
// Lines starting with // are comments. Coordinates are in an 800 x 600
// design space that is scaled to the screen; times are in milliseconds.

ThemeName "Minimal"

Module "One Fish"
{
Setup
{
// Up to three sliders for the settings dialog, for example:
// #Speed "Swimming speed" "Slow" "Fast" 80, 20, 40
}

Background
{
    Color 20, 70, 130
}

// The small preview window in the screen-saver settings has its own blocks.
PreviewBackground
{
    Color 20, 70, 130
}

PreviewFeature
{
    Image "fish.gif"
    Start Random 1000, 500
    Position 0, Random(300, 150)
    Movement 4, 0, 40
    Duration OnScreen
}

// A fish that swims across the screen, and again, with a little sound.
Feature
{
    Image "fish.gif"
    Start Random 2000, 1000
    Position 0, Random(300, 200)
    Movement 2, 0, 40
    Duration OnScreen
    Sound "blub.wav", 80
}
}
