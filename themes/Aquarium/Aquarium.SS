// Aquarium: three underwater scenes for Glimmora.
// Images, sounds and palettes are built by themes/tools/make-aquarium-art.py.
// Coordinates are in an 800 x 600 design space; times are in milliseconds.

ThemeName "Aquarium"

//=========================================================================
// Module 0: a sunny coral reef, then a diver who finds a treasure chest
//=========================================================================
Module "Coral Reef"
{
Setup
{
#Fish "Number of fish" "Few" "Many" 1, 5, 3
#Speed "Swimming speed" "Slow" "Fast" 70, 20, 40
#Mix "Fish or jellyfish" "More fish" "More jellyfish" 0, 100, 50
}

Background
{
    Image "reeftile.gif"
}

PreviewBackground
{
    Image "reeftile.gif"
}

//------------------------------------------------------------------------
Section "Reef life"
{
    // The small preview window shows only these (and the PreviewBackground).
    PreviewFeature
    {
        Image "pfish.gif"
        Start Random 1000, 500
        Position 0, Random(250, 150)
        Movement 4, 0, 30
        Duration OnScreen
    }

    PreviewFeature
    {
        Image "pjelly.gif"
        Start Random 3000, 1000
        Position Center, Bottom
        Movement 0, -2, 60
        Duration OnScreen
    }

    PreviewFeature
    {
        Image "bubble.gif"
        Start Offset 500, 1500
        Position a120, Bottom
        Movement 0, -4, 40
        Duration OnScreen
    }

    // The sea: a long bubbling loop, streamed from its file.
    Feature
    {
        Start 300
        Sound "bubbling.wav", 100
        LoopSound
    }

    // The sea floor, behind everything else.
    Feature
    {
        Image "sand.gif"
        Start 0
        Position 0, Bottom
    }

    Feature
    {
        Image "sand.gif"
        Start 0
        Position 190, Bottom
    }

    Feature
    {
        Image "sand2.gif"
        Start 0
        Position 380, Bottom
    }

    Feature
    {
        Image "sand.gif"
        Start 0
        Position 510, Bottom
    }

    Feature
    {
        Image "sand.gif"
        Start 0
        Position 640, Bottom
    }

    // The crab comes first so that it is drawn behind the rock it hides under.
    Feature
    {
        Image "crab.gif"
        AbsolutePixels
        Start Random 16000, 6000
        Position Offset (Rock, 40, 2)
        Movement OnImageCycle (-16, 0)
        Duration OnScreen
        Sound "click.wav", 45
        LoopSound OnImageCycle
        AutoPan
    }

    Feature
    {
        Label Rock
        Image "rock.gif"
        Start 0
        Position 20, Bottom
    }

    Feature
    {
        Image "starfish.gif"
        Start 0
        Position Offset (Rock, 62, -10)
        Movement Random
    }

    Feature
    {
        Image "coral.gif"
        Start 0
        Position 150, Bottom
        Movement Static
    }

    Feature
    {
        Image "seaweed.gif"
        Start 0
        Position 265, Bottom
    }

    Feature
    {
        Image "braincoral.gif"
        Start 0
        Position 330, Bottom
    }

    Feature
    {
        Image "fancoral.gif"
        Start 0
        Position 450, Bottom
    }

    Feature
    {
        Image "anemone.gif"
        Start 0
        Position 545, Bottom
    }

    Feature
    {
        Image "coral2.gif"
        Start 0
        Position 640, Bottom
    }

    // Bubbles from a vent in the coral: first after half a second, then 3 s after each one leaves.
    Feature
    {
        Image "bubbles.gif"
        Start Offset 500, 3000
        Position 190, Bottom
        Movement 0, -2, 40
        Duration OnScreen
    }

    Feature
    {
        Image "bubbles.gif"
        Start Offset 5500, 4500
        Position 700, Bottom
        Movement 0, -3, 50
        Duration OnScreen
        Sound "bubble.wav", 50
        AutoPan
    }

    // Fish swimming right start just off the left edge; their time on screen follows
    // the speed: 44000 * #Speed / 100 ms is how long 2 units per step take to cross.
    Feature
    {
        Image "clownfish.gif"
        Start Random 3000, 2000
        Position 64*-100, Random(260, 160)
        Movement 2, 0, #Speed
        Duration Offset 44000*#Speed, 44000*#Speed
        Sound "swish.wav", 60*BalanceA(#Mix)
        AutoPan
    }

    // Fish swimming left enter at the right edge and weave along a pattern.
    Feature
    {
        Enable OnSetup (#Fish >= 2)
        Image "tang.gif"
        Start Random 7000, 4000
        Position 799, Random(200, 150)
        Movement Pattern (#Speed,{-2,0,60},{-2,-1,20},{-2,0,60},{-2,1,20})
        Duration OnScreen
        Sound "swish.wav", 50*BalanceA(#Mix)
        AutoPan
    }

    Feature
    {
        Enable OnSetup (#Fish >= 3)
        Image "clownfish.gif"
        Start Random 11000, 5000
        Position 64*-100, Random(400, 100)
        Movement 3, 0, #Speed
        Duration Offset 30000*#Speed, 30000*#Speed
    }

    Feature
    {
        Enable OnSetup (#Fish >= 4)
        Image "tang.gif"
        Start Random 15000, 6000
        Position 799, Random(320, 120)
        Movement Pattern (#Speed,{-3,0,40},{-3,1,15},{-3,0,40},{-3,-1,15})
        Duration OnScreen
    }

    // A small shoal: three yellow fish that take turns, in order.
    Feature
    {
        Enable OnSetup (#Fish >= 5)
        Image "garibaldi.gif"
        Start Random 20000, 6000
        Position 799, Random(150, 100)
        Movement Pattern (#Speed,{-2,0,80},{-2,-1,30},{-2,1,30})
        Duration OnScreen
    }

    Feature
    {
        Image "yellowfish.gif"
        Start Group (Shoal, 0, 1000)
        Position 36*-100, Random(180, 80)
        Movement 3, 0, #Speed
        Duration Offset 29000*#Speed, 29000*#Speed
    }

    Feature
    {
        Image "yellowfish.gif"
        Start Group (Shoal, 0, 600)
        Position 36*-100, Random(240, 80)
        Movement 3, 1, #Speed
        Duration Offset 29000*#Speed, 29000*#Speed
    }

    Feature
    {
        Image "yellowfish.gif"
        Start Group (Shoal, 0, 600)
        Position 36*-100, Random(300, 80)
        Movement 3, -1, #Speed
        Duration Offset 29000*#Speed, 29000*#Speed
    }

    // Jellyfish rise from the deep, one at a time, chosen at random. The more
    // "jellyfish" in the mix, the shorter the wait: 30 s down to 4 s.
    Feature
    {
        Image "jelly.gif"
        Start Group (Jellies,Random 1,BalanceB(#Mix,300,40))
        Position 120, Random(470, 40)
        Movement 0, -1, 60
        Duration OnScreen
        Sound "shimmer.wav", 40*BalanceB(#Mix)
        AutoPan
    }

    Feature
    {
        Image "jelly.gif"
        Start Group (Jellies,Random 0,BalanceB(#Mix,300,40))
        Position 410, Random(470, 40)
        Movement 0, -1, 70
        Duration OnScreen
        Sound "shimmer.wav", 40*BalanceB(#Mix)
        AutoPan
    }

    Feature
    {
        Image "jelly.gif"
        Start Group (Jellies,Random 0,BalanceB(#Mix,300,40))
        Position 680, Random(470, 40)
        Movement 0, -1, 55
        Duration OnScreen
        Sound "shimmer.wav", 40*BalanceB(#Mix)
        AutoPan
    }

    // A pufferfish bobs about, bouncing off the edges of the screen.
    Feature
    {
        Image "puffer.gif"
        Start Random 12000, 5000
        Position Center, Random(260, 120)
        Movement Bounce (2, 45)
        Duration Random (16000, 4000)
        BounceSound "bloop.wav", 70
    }

    // After half a minute a turtle glides past; when it has gone, the scene moves on.
    Feature
    {
        Enable AfterTime 30000
        Image "turtle.gif"
        Start Random 3000, 2000
        Position 128*-100, Random(170, 60)
        Movement 2, 0, 50
        Duration 24000
        Sound "swish.wav", 70
        AutoPan
        Condition OnEnd
        {
            Disable
            EndSection
        }
    }

    // Seaweed in front of everything else.
    Feature
    {
        Image "seaweed2.gif"
        Start 0
        Position 760, Bottom
    }

    Feature
    {
        Image "seaweed2.gif"
        Start 0
        Position 95, Bottom
    }

    // A shaded ridge in the foreground, in front of everything else.
    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 0, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 150, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 300, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 450, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 600, Bottom
    }
}

//------------------------------------------------------------------------
Section "Treasure"
{
    // The sea again; after 40 s this section hands over to the reef.
    Feature
    {
        Start 300
        Sound "bubbling.wav", 100
        LoopSound
        Condition AfterTime (40000)
        {
            EndSection
        }
    }

    // The sea floor, behind everything else.
    Feature
    {
        Image "sand.gif"
        Start 0
        Position 0, Bottom
    }

    Feature
    {
        Image "sand2.gif"
        Start 0
        Position 200, Bottom
    }

    Feature
    {
        Image "sand.gif"
        Start 0
        Position 330, Bottom
    }

    Feature
    {
        Image "sand.gif"
        Start 0
        Position 520, Bottom
    }

    Feature
    {
        Image "sand2.gif"
        Start 0
        Position 680, Bottom
    }

    Feature
    {
        Image "fancoral.gif"
        Start 0
        Position 40, Bottom
    }

    Feature
    {
        Image "seaweed.gif"
        Start 0
        Position 160, Bottom
    }

    Feature
    {
        Image "rock.gif"
        Start 0
        Position 230, Bottom
    }

    Feature
    {
        Image "coral.gif"
        Start 0
        Position 560, Bottom
    }

    Feature
    {
        Image "anemone.gif"
        Start 0
        Position 680, Bottom
    }

    // The chest stands shut until the diver is above it; then the opening chest
    // takes its place. The trigger is foreseen, so the chest's sound is on time.
    Feature
    {
        Image "chestshut.gif"
        Start 0
        Position 380, Bottom
        Movement Static
        Condition AfterTime (9200)
        {
            Trigger Chest
            Stop
        }
    }

    Feature
    {
        Label Chest
        Image "chest.gif"
        Start OnTrigger
        Position 380, Bottom
        Sound "chest.wav", 80
        Condition OnFrame (8)
        {
            Trigger Coin1
            Trigger Coin2
            Trigger Coin3
            Enable Glint
            Enable Glint2
        }
    }

    // Coins leap out of the open chest and fall back to the sand.
    Feature
    {
        Label Coin1
        Image "coin.gif"
        Start OnTrigger
        Position Offset (Chest, 30, 8)
        Movement Projectile (280, 190, 30, 260)
        Duration OnScreen
        Sound "coins.wav", 60
    }

    Feature
    {
        Label Coin2
        Image "coin.gif"
        Start OnTrigger
        Position Offset (Chest, 40, 6)
        Movement Projectile (300, 220, 30, 260)
        Duration OnScreen
    }

    Feature
    {
        Label Coin3
        Image "coin.gif"
        Start OnTrigger
        Position Offset (Chest, 50, 8)
        Movement Projectile (255, 170, 30, 260)
        Duration OnScreen
    }

    // Glints above the gold, switched on when the chest opens.
    Feature
    {
        Label Glint
        Enable Off
        Image "sparkle.gif"
        Start Random 900, 500
        Position Offset (Chest, 22, 2)
        Duration Random (1200, 300)
    }

    Feature
    {
        Label Glint2
        Enable Off
        Image "sparkle.gif"
        Start Random 1300, 600
        Position Offset (Chest, 52, -2)
        Duration Random (1000, 300)
    }

    // The diver swims in from the right; over the chest he breathes out a cloud of bubbles.
    Feature
    {
        Label Diver
        Image "diver.gif"
        Start 2500
        Position 799, 330
        Movement Pattern (30,{-2,0,40},{-2,1,15},{-2,0,40},{-2,-1,15})
        Duration OnScreen
        Sound "diver.wav", 90, 64, 28665, 1, 2
        AutoPan
        Condition InRegion (330, 0, 430, 600)
        {
            Trigger Breath
        }
    }

    Feature
    {
        Label Breath
        Image "bubbles.gif"
        Start OnTrigger
        Position Offset (Diver, 2, -44)
        Movement 0, -3, 40
        Duration OnScreen
        Sound "bubble.wav", 60
        Condition AfterTime (700)
        {
            Trigger Breath2
        }
    }

    Feature
    {
        Label Breath2
        Image "bubbles.gif"
        Start OnTrigger
        Position Offset (Diver, 0, -50)
        Movement 0, -3, 45
        Duration OnScreen
    }

    // Fish keep swimming by.
    Feature
    {
        Image "tang.gif"
        Start Random 14000, 6000
        Position 799, Random(160, 100)
        Movement Pattern (#Speed,{-2,0,60},{-2,-1,20},{-2,0,60},{-2,1,20})
        Duration OnScreen
    }

    Feature
    {
        Enable OnSetup (#Fish >= 2)
        Image "clownfish.gif"
        Start Random 6000, 3000
        Position 64*-100, Random(220, 120)
        Movement 2, 0, #Speed
        Duration Offset 44000*#Speed, 44000*#Speed
    }

    Feature
    {
        Enable OnSetup (#Fish >= 3)
        Image "yellowfish.gif"
        Start Random 20000, 6000
        Position 36*-100, Random(140, 80)
        Movement 3, 0, #Speed
        Duration Offset 29000*#Speed, 29000*#Speed
    }

    // A jellyfish drifts up once the diver has gone.
    Feature
    {
        Image "jelly.gif"
        Start Random 22000, 4000
        Position 620, Random(470, 30)
        Movement 0, -1, 60
        Duration OnScreen
    }

    Feature
    {
        Image "seaweed2.gif"
        Start 0
        Position 500, Bottom
    }

    // A shaded ridge in the foreground, in front of everything else.
    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 0, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 150, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 300, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 450, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 600, Bottom
    }
}
}

//=========================================================================
// Module 1: the deep sea, dark and slow, with a whale passing far above
//=========================================================================
Module "Deep Sea"
{
Setup
{
#Lights "Glowing creatures" "Few" "Many" 1, 4, 2
#Drift "Drifting speed" "Slow" "Fast" 160, 40, 90
#Song "Whale song or deep hum" "Whale song" "Deep hum" 0, 100, 40
}

Background
{
    Color 4, 14, 34
}

PreviewBackground
{
    Color 4, 14, 34
}

//------------------------------------------------------------------------
Section "The abyss"
{
    // The small preview window shows only these (and the PreviewBackground).
    PreviewFeature
    {
        Image "pglow.gif"
        Start Random 500, 300
        Position 300, 200
        Movement Arc (0, 2, 60, 2)
        Duration Random (12000, 2000)
        Fade FadeInOut (10, 100)
    }

    PreviewFeature
    {
        Image "sparkle.gif"
        Start Random 2000, 1000
        Position 600, 400
        Duration 1500
        Fade FadeInOut (20, 80)
    }

    // The hum of the deep, mixed against the whale song by the "Song" slider.
    Feature
    {
        Start 300
        Sound "deephum.wav", BalanceB(#Song), 64
        LoopSound
        Condition AfterTime (50000)
        {
            Disable Angler
            EndSection
        }
    }

    // The sea floor, behind everything else.
    Feature
    {
        Image "silt.gif"
        Start 0
        Position 0, Bottom
    }

    Feature
    {
        Image "silt.gif"
        Start 0
        Position 300, Bottom
    }

    Feature
    {
        Image "silt.gif"
        Start 0
        Position 600, Bottom
    }

    // Marine snow drifting down.
    Feature
    {
        Image "snow.gif"
        Start Offset 0, 500
        Position 40, 0
        Movement 0, 1, #Drift
        Duration OnScreen
        Fade FadeIn (10, 150)
    }

    Feature
    {
        Image "snow.gif"
        Start Offset 6000, 500
        Position 260, 0
        Movement 0, 1, #Drift
        Duration OnScreen
        Fade FadeIn (10, 150)
    }

    Feature
    {
        Image "snow.gif"
        Start Offset 3000, 500
        Position 480, 0
        Movement 0, 1, #Drift
        Duration OnScreen
        Fade FadeIn (10, 150)
    }

    Feature
    {
        Image "snow.gif"
        Start Offset 9000, 500
        Position 690, 0
        Movement 0, 1, #Drift
        Duration OnScreen
        Fade FadeIn (10, 150)
    }

    // Lantern jellyfish glide in slow circles, glowing up and fading away.
    Feature
    {
        Image "lantern.gif"
        Start Random 3000, 2000
        Position 180, 220
        Movement Arc (0, 1, #Drift, 0.8)
        Duration Random (30000, 8000)
        Fade FadeInOut (5, 120)
        Sound "shimmer.wav", 35
        AutoPan
    }

    Feature
    {
        Enable OnSetup (#Lights >= 2)
        Image "lantern.gif"
        Start Random 12000, 5000
        Position 560, 160
        Movement Arc (180, 1, #Drift, -1)
        Duration Random (26000, 6000)
        Fade FadeInOut (5, 120)
    }

    Feature
    {
        Enable OnSetup (#Lights >= 4)
        Image "lantern.gif"
        Start Random 20000, 6000
        Position 380, 380
        Movement Arc (90, 1, #Drift, 1.5)
        Duration Random (22000, 6000)
        Fade FadeInOut (5, 120)
    }

    // Tiny lights that wink on and off, one after another at random.
    Feature
    {
        Image "sparkle.gif"
        Start Group (Plankton,Random 1,400)
        Position 120, 140
        Duration 2000
        Fade FadeInOut (20, 90)
    }

    Feature
    {
        Image "sparkle.gif"
        Start Group (Plankton,Random 0,400)
        Position 650, 90
        Duration 2000
        Fade FadeInOut (20, 90)
    }

    Feature
    {
        Image "sparkle.gif"
        Start Group (Plankton,Random 0,400)
        Position 430, 300
        Duration 2000
        Fade FadeInOut (20, 90)
    }

    Feature
    {
        Image "sparkle.gif"
        Start Group (Plankton,Random 0,400)
        Position 260, 470
        Duration 2000
        Fade FadeInOut (20, 90)
    }

    Feature
    {
        Image "sparkle.gif"
        Start Group (Plankton,Random 0,400)
        Position 720, 420
        Duration 2000
        Fade FadeInOut (20, 90)
    }

    // The anglerfish hunts slowly across the dark.
    Feature
    {
        Label Angler
        Image "angler.gif"
        Start Random 9000, 4000
        Position 799, Random(330, 120)
        Movement Pattern (#Drift,{-1,0,50},{-1,1,12},{-1,0,50},{-1,-1,12})
        Duration OnScreen
        Fade FadeIn (5, 100)
    }

    // Silver hatchetfish vanish into the dark on the far side.
    Feature
    {
        Image "hatchet.gif"
        Start Random 5000, 3000
        Position 799, Random(200, 120)
        Movement Pattern (#Drift,{-2,0,30},{-2,1,10},{-2,-1,10})
        Duration OnScreen
        Fade FadeOut (8, 90)
        Condition InRegion (0, 0, 240, 600)
        {
            Stop
        }
    }

    Feature
    {
        Enable OnSetup (#Lights >= 2)
        Image "hatchet.gif"
        Start Random 14000, 5000
        Position 799, Random(440, 100)
        Movement Pattern (#Drift,{-2,0,30},{-2,-1,10},{-2,1,10})
        Duration OnScreen
        Fade FadeOut (8, 90)
        Condition InRegion (0, 0, 200, 600)
        {
            Stop
        }
    }
}

//------------------------------------------------------------------------
Section "The whale"
{
    Feature
    {
        Start 300
        Sound "deephum.wav", BalanceB(#Song), 64
        LoopSound
    }

    // The sea floor, behind everything else.
    Feature
    {
        Image "silt.gif"
        Start 0
        Position 80, Bottom
    }

    Feature
    {
        Image "silt.gif"
        Start 0
        Position 520, Bottom
    }

    Feature
    {
        Image "snow.gif"
        Start Offset 0, 500
        Position 150, 0
        Movement 0, 1, #Drift
        Duration OnScreen
        Fade FadeIn (10, 150)
    }

    Feature
    {
        Image "snow.gif"
        Start Offset 4000, 500
        Position 560, 0
        Movement 0, 1, #Drift
        Duration OnScreen
        Fade FadeIn (10, 150)
    }

    // The whale sings its first call once and its answer twice, panning as it swims.
    // When it has gone, the angler may hunt again and the abyss returns.
    Feature
    {
        Label Whale
        Image "whale.gif"
        Start 1500
        Position 799, 140
        Movement Pattern (40,{-1,0,200},{-1,1,40},{-1,0,200},{-1,-1,40})
        Duration OnScreen
        Fade FadeIn (4, 120)
        Sound "whale.wav", BalanceA(#Song), 64, 70560, 1, 2
        AutoPan
        Condition OnEnd
        {
            Enable Angler
            EndSection
        }
    }

    Feature
    {
        Image "lantern.gif"
        Start Random 8000, 4000
        Position 300, 380
        Movement Arc (270, 1, #Drift, 1)
        Duration Random (24000, 6000)
        Fade FadeInOut (5, 120)
    }
}
}

//=========================================================================
// Module 2: a kelp forest by day or by night
//=========================================================================
Module "Kelp Forest"
{
Setup
{
#Night "Time of day" "Day" "Night" 0, 100, 0
#Fish "Number of fish" "Few" "Many" 1, 4, 3
#Speed "Swimming speed" "Slow" "Fast" 70, 20, 40
}

Background
{
    Image "kelptile.gif"
}

PreviewBackground
{
    Color 12, 56, 64
}

//------------------------------------------------------------------------
Section "Forest"
{
    // The small preview window shows only these (and the PreviewBackground).
    PreviewFeature
    {
        Image "pfish.gif"
        Start Random 800, 400
        Position 0, Random(300, 150)
        Movement 4, 0, 30
        Duration OnScreen
    }

    PreviewFeature
    {
        Image "bubble.gif"
        Start Offset 300, 1200
        Position 400, Bottom
        Movement 0, -4, 40
        Duration OnScreen
    }

    Feature
    {
        Start 300
        Sound "kelpwater.wav", 100
        LoopSound
        Condition AfterTime (55000)
        {
            EndSection
        }
    }

    // The sea floor, behind everything else.
    Feature
    {
        Image "sand.gif"
        Start 0
        Position 0, Bottom
    }

    Feature
    {
        Image "sand2.gif"
        Start 0
        Position 230, Bottom
    }

    Feature
    {
        Image "sand.gif"
        Start 0
        Position 400, Bottom
    }

    Feature
    {
        Image "sand.gif"
        Start 0
        Position 620, Bottom
    }

    // Sunbeams by day and at dusk.
    Feature
    {
        Enable OnSetup (#Night < 60)
        Image "rays.gif"
        Start 0
        Position 60, 0
    }

    Feature
    {
        Enable OnSetup (#Night < 60)
        Image "rays.gif"
        Start 0
        Position 430, 0
    }

    Feature
    {
        Image "kelp.gif"
        Start 0
        Position 20, Bottom
    }

    Feature
    {
        Label Kelp
        Image "kelp.gif"
        Start 0
        Position 210, Bottom
    }

    Feature
    {
        Image "kelp.gif"
        Start 0
        Position 470, Bottom
    }

    Feature
    {
        Image "kelp.gif"
        Start 0
        Position 690, Bottom
    }

    Feature
    {
        Image "rock.gif"
        Start 0
        Position 330, Bottom
    }

    // Glowing plankton at dusk and by night; the darker, the more often.
    Feature
    {
        Enable OnSetup (#Night > 40)
        Image "sparkle.gif"
        Start Random BalanceB(#Night,50,15), 1000
        Position Center, Random(250, 200)
        Duration Random (2500, 800)
        Fade FadeInOut (15, 90)
    }

    Feature
    {
        Enable OnSetup (#Night > 40)
        Image "sparkle.gif"
        Start Random BalanceB(#Night,70,25), 1500
        Position 150, Random(300, 200)
        Duration Random (2500, 800)
        Fade FadeInOut (15, 90)
    }

    Feature
    {
        Enable OnSetup (#Night > 40)
        Image "sparkle.gif"
        Start Random BalanceB(#Night,60,20), 1500
        Position 640, Random(200, 150)
        Duration Random (2500, 800)
        Fade FadeInOut (15, 90)
    }

    Feature
    {
        Enable OnSetup (#Night >= 70)
        Image "lantern.gif"
        Start Random 8000, 3000
        Position 520, 200
        Movement Arc (90, 1, 80, 0.9)
        Duration Random (25000, 5000)
        Fade FadeInOut (5, 120)
    }

    // A seahorse keeps to its kelp stalk, then fades from sight.
    Feature
    {
        Image "seahorse.gif"
        Start Random 4000, 2000
        Position Offset (Kelp, 22, 230)
        Movement Pattern (110,{0,-1,20},{1,0,8},{0,1,20},{-1,0,8})
        Duration OnScreen
        Fade FadeOut (10, 100)
        Condition AfterTime (20000)
        {
            Stop
        }
    }

    Feature
    {
        Image "garibaldi.gif"
        Start Random 3000, 2000
        Position 54*-100, Random(300, 150)
        Movement 2, 0, #Speed
        Duration Offset 43000*#Speed, 43000*#Speed
        Sound "swish.wav", 55*BalanceA(#Night)
        AutoPan
    }

    Feature
    {
        Enable OnSetup (#Fish >= 2)
        Image "angelfish.gif"
        Start Random 8000, 4000
        Position 799, Random(220, 120)
        Movement Pattern (#Speed,{-2,0,50},{-2,-1,20},{-2,0,50},{-2,1,20})
        Duration OnScreen
    }

    Feature
    {
        Enable OnSetup (#Fish >= 3)
        Image "garibaldi.gif"
        Start Random 14000, 5000
        Position 54*-100, Random(420, 80)
        Movement 3, 0, #Speed
        Duration Offset 29000*#Speed, 29000*#Speed
    }

    Feature
    {
        Enable OnSetup (#Fish >= 4)
        Image "angelfish.gif"
        Start Random 18000, 6000
        Position 799, Random(380, 100)
        Movement Pattern (#Speed,{-3,0,40},{-3,1,15},{-3,0,40},{-3,-1,15})
        Duration OnScreen
    }

    // A school of small fish crossing one after another, in order.
    Feature
    {
        Image "yellowfish.gif"
        Start Group (School, 0, 1000)
        Position 36*-100, Random(150, 60)
        Movement 3, 0, #Speed
        Duration Offset 29000*#Speed, 29000*#Speed
    }

    Feature
    {
        Image "yellowfish.gif"
        Start Group (School, 0, 500)
        Position 36*-100, Random(190, 60)
        Movement 3, 0, #Speed
        Duration Offset 29000*#Speed, 29000*#Speed
    }

    Feature
    {
        Image "seaweed2.gif"
        Start 0
        Position 120, Bottom
    }

    Feature
    {
        Image "seaweed2.gif"
        Start 0
        Position 600, Bottom
    }

    // A shaded ridge in the foreground, in front of everything else.
    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 0, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 150, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 300, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 450, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 600, Bottom
    }
}

//------------------------------------------------------------------------
Section "Visitors"
{
    Feature
    {
        Start 300
        Sound "kelpwater.wav", 100
        LoopSound
    }

    // The sea floor, behind everything else.
    Feature
    {
        Image "sand.gif"
        Start 0
        Position 0, Bottom
    }

    Feature
    {
        Image "sand2.gif"
        Start 0
        Position 200, Bottom
    }

    Feature
    {
        Image "sand.gif"
        Start 0
        Position 330, Bottom
    }

    Feature
    {
        Image "sand.gif"
        Start 0
        Position 520, Bottom
    }

    Feature
    {
        Image "sand2.gif"
        Start 0
        Position 680, Bottom
    }

    Feature
    {
        Enable OnSetup (#Night < 60)
        Image "rays.gif"
        Start 0
        Position 250, 0
    }

    Feature
    {
        Image "kelp.gif"
        Start 0
        Position 90, Bottom
    }

    Feature
    {
        Image "kelp.gif"
        Start 0
        Position 560, Bottom
    }

    // A sea turtle swims through the forest; when it has gone the forest returns.
    Feature
    {
        Image "turtle.gif"
        Start 2000
        Position 128*-100, Random(200, 80)
        Movement 2, 0, 50
        Duration 24000
        Fade FadeIn (20, 80)
        Sound "swish.wav", 70
        AutoPan
        Condition OnEnd
        {
            EndSection
        }
    }

    Feature
    {
        Image "yellowfish.gif"
        Start Random 5000, 2000
        Position 799, Random(380, 100)
        Movement Pattern (#Speed,{-3,0,40},{-3,1,15},{-3,0,40},{-3,-1,15})
        Duration OnScreen
    }

    Feature
    {
        Image "kelp.gif"
        Start 0
        Position 330, Bottom
    }

    // A shaded ridge in the foreground, in front of everything else.
    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 0, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 150, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 300, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 450, Bottom
    }

    Feature
    {
        Image "ledge.gif"
        Start 0
        Position 600, Bottom
    }
}
}
