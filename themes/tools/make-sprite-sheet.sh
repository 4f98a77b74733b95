#!/usr/bin/env bash
# Draws docs/aquarium-sprites.png: every picture of the Aquarium theme, a few frames of
# each animation, on the background of the scene it belongs to. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/../Aquarium"
out=../../docs/aquarium-sprites.png
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# One strip per picture: up to four frames spread over its animation, labelled.
strip() { # file background
    local f=$1 bg=$2 n
    n=$(identify "$f" | wc -l)
    local picks="0"
    [ "$n" -gt 1 ] && picks="0,$((n / 4)),$((n / 2)),$((3 * n / 4))"
    convert "$f[$picks]" -background "$bg" -alpha remove -bordercolor "$bg" -border 4 +append \
        \( -size 110x1 "xc:$bg" \) -gravity center -append -gravity south -background "$bg" -fill white -splice 0x14 -pointsize 11 -annotate +0+1 "$f" \
        "$tmp/strip-${f%.gif}.png"
}

panel() { # name background files...
    local name=$1 bg=$2; shift 2
    local strips=()
    for f in "$@"; do strip "$f" "$bg"; strips+=("$tmp/strip-${f%.gif}.png"); done
    montage "${strips[@]}" -background "$bg" -geometry +6+6 -tile 4x "$tmp/body.png"
    convert "$tmp/body.png" -gravity north -background "$bg" -fill white -splice 0x26 -pointsize 18 \
        -annotate +0+4 "$name" "$tmp/panel-$name.png"
}

panel "Coral Reef" "rgb(40,110,170)" reeftile.gif sand.gif sand2.gif ledge.gif rock.gif starfish.gif coral.gif coral2.gif \
    fancoral.gif braincoral.gif anemone.gif seaweed.gif seaweed2.gif clownfish.gif tang.gif yellowfish.gif \
    garibaldi.gif puffer.gif jelly.gif crab.gif turtle.gif bubbles.gif bubble.gif diver.gif chestshut.gif \
    chest.gif coin.gif sparkle.gif pfish.gif pjelly.gif
panel "Deep Sea" "rgb(4,14,34)" silt.gif snow.gif lantern.gif sparkle.gif angler.gif hatchet.gif whale.gif pglow.gif
panel "Kelp Forest" "rgb(14,60,70)" kelptile.gif kelp.gif rays.gif seahorse.gif angelfish.gif garibaldi.gif \
    yellowfish.gif turtle.gif sand.gif rock.gif seaweed2.gif
convert "$tmp/panel-Coral Reef.png" "$tmp/panel-Deep Sea.png" "$tmp/panel-Kelp Forest.png" -background black \
    -gravity center -append -strip "$out"
echo "wrote $out"
