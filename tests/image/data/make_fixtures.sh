#!/usr/bin/env bash
# Regenerates the GIF fixtures in this folder with ImageMagick (convert). The
# seeds make the output reproducible with the same ImageMagick version; the
# files are committed so that the tests do not need ImageMagick.
# Every file has one 256-entry global colour table shared by all frames.
set -euo pipefail
cd "$(dirname "$0")"

# Three looping frames of plasma (graphic control extension before the
# looping application extension, as ImageMagick writes them).
convert -delay 12 -size 96x64 \
    -seed 7 plasma:red-blue -seed 8 plasma:green-yellow -seed 9 plasma:navy-orange \
    +map -loop 0 anim_loop.gif

# A transparent sprite: a plasma disc that grows over four frames, the area
# around it transparent, each frame disposed to the background.
frames=()
for r in 10 16 22 28; do
    frames+=( \( -size 64x64 -seed "$r" plasma:gold-purple -alpha set
                \( -size 64x64 xc:none -fill white -draw "circle 32,32 32,$((32 - r))" \)
                -compose DstIn -composite \) )
done
convert -dispose background -delay 8 "${frames[@]}" +map -loop 0 sprite_transparent.gif

# A single interlaced still with a comment extension.
convert -size 120x90 -seed 21 plasma:teal-salmon -colors 256 -interlace GIF \
    -comment "interlaced fixture" interlaced_still.gif

# A larger picture, not looping, in two frames of different sizes and offsets.
convert -delay 25 -size 320x240 -seed 5 plasma:white-black -seed 6 \
    \( -size 160x100 plasma:blue-red -repage +40+30 \) +map large_two_frames.gif
