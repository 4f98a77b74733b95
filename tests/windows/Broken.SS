// A theme whose script fails on line 12: the saver reports it and exits 12.
ThemeName "Broken"

Module "Only"
{
Background
{
    Color 0, 0, 64
}
Section "First"
{
    Wobble 1, 2
}
}
