#!/usr/bin/env python3
"""Builds the picture and the sound of the Minimal theme (Python 3 standard library only).

Usage: make-minimal-art.py [OUTPUT_DIR]   (default: themes/Minimal)
"""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import artkit  # noqa: E402
import sealife as sl  # noqa: E402


def blub():
    """Two soft bubbles."""
    out = [0.0] * int(0.45 * artkit.RATE)
    for start, f0, dur, amp in ((0.0, 480, 0.12, 0.8), (0.16, 650, 0.09, 0.5)):
        ph = 0.0
        n = int(dur * artkit.RATE)
        s = int(start * artkit.RATE)
        for i in range(n):
            t = i / artkit.RATE
            ph += 2 * math.pi * f0 * (1 + 2.2 * t / dur) / artkit.RATE
            out[s + i] += amp * math.exp(-t / (dur * 0.3)) * min(1.0, i / 40.0) * math.sin(ph)
    return artkit.fade_edges(artkit.normalize(out, 0.7), 0.002, 0.05)


def main(argv):
    out_dir = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(HERE), "Minimal")
    os.makedirs(out_dir, exist_ok=True)
    frames = [sl.fish(48, 30, 2 * math.pi * i / 8, (250, 130, 40), (255, 200, 130), (240, 110, 30),
                      stripes=((0.72, 1.8), (0.42, 2.0))) for i in range(8)]
    artkit.save_sprite(os.path.join(out_dir, "fish.gif"), frames, 8)
    artkit.write_wav(os.path.join(out_dir, "blub.wav"), blub())
    print("wrote fish.gif and blub.wav in %s" % out_dir)


if __name__ == "__main__":
    main(sys.argv)
