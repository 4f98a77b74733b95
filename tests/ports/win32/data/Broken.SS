// A theme whose script fails on line 12: the saver reports it and exits 12.
ThemeName "Broken"

Module "Only"
{
Setup
{
}
// The feature below lacks the brace that
// opens its block:
Feature
    Image "fish.gif"
}
