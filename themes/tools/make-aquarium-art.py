#!/usr/bin/env python3
"""Builds the images, sounds and palette files of the Aquarium theme.

Everything is drawn and synthesised here from fixed random seeds, so running it again
gives the same files byte for byte. Python 3 standard library only.

Usage: make-aquarium-art.py [OUTPUT_DIR] [--only NAME...]   (default: themes/Aquarium)
"""

import math
import os
import random
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import artkit  # noqa: E402
import sealife as sl  # noqa: E402
from artkit import RATE, OnePole, fade_edges, normalize, write_wav  # noqa: E402

TAU = 2 * math.pi


def frames(n, draw):
    return [draw(TAU * i / n) for i in range(n)]


# ---------------------------------------------------------------- images
# name: (function returning the list of frames, delay in 1/100 s (or a list), looping,
#        transparent, module numbers whose palette file counts it)

IMAGES = {
    # Coral Reef
    "reeftile.gif": (lambda: [sl.water_tile(128, (20, 80, 140), (95, 180, 222), seed=37)], 0, False, False, (0,)),
    "clownfish.gif": (lambda: frames(8, lambda p: sl.fish(64, 40, p, (250, 120, 30), (255, 190, 120), (245, 110, 25),
                                                           stripes=((0.74, 2.4), (0.44, 2.6), (0.13, 1.5)))), 8, True, True, (0,)),
    "tang.gif": (lambda: frames(8, lambda p: sl.fish(76, 46, p, (40, 90, 215), (90, 150, 235), (30, 60, 170),
                                                      face_left=True, tail_col=(250, 215, 40))), 8, True, True, (0,)),
    "yellowfish.gif": (lambda: frames(8, lambda p: sl.fish(36, 22, p, (250, 215, 40), (255, 245, 170), (240, 190, 30),
                                                            eye_scale=1.2)), 7, True, True, (0, 2)),
    "puffer.gif": (lambda: frames(8, lambda p: sl.puffer(52, 46, p)), 9, True, True, (0,)),
    "jelly.gif": (lambda: frames(10, lambda p: sl.jellyfish(48, 76, p, (250, 150, 205), (230, 110, 180), (250, 120, 170))),
                  12, True, True, (0,)),
    "bubbles.gif": (lambda: frames(6, lambda p: sl.bubble_column(30, 72, p)), 12, True, True, (0, 1, 2)),
    "bubble.gif": (lambda: frames(6, lambda p: _single_bubble(p)), 12, True, True, (0, 1, 2)),
    "seaweed.gif": (lambda: frames(12, lambda p: sl.seaweed(46, 150, p)), 15, True, True, (0,)),
    "seaweed2.gif": (lambda: frames(12, lambda p: sl.seaweed(36, 104, p + 1.0, strands=2, colours=((70, 150, 90), (110, 170, 60)),
                                                              seed=8)), 15, True, True, (0, 2)),
    "coral.gif": (lambda: [sl.branch_coral(110, 92, (240, 100, 120), (255, 200, 190))], 0, False, True, (0,)),
    "coral2.gif": (lambda: [sl.branch_coral(80, 70, (250, 150, 60), (255, 230, 150), seed=14)], 0, False, True, (0,)),
    "fancoral.gif": (lambda: [sl.fan_coral(90, 96, (170, 70, 190))], 0, False, True, (0,)),
    "braincoral.gif": (lambda: [sl.brain_coral(84, 44, (190, 170, 90))], 0, False, True, (0,)),
    "anemone.gif": (lambda: frames(10, lambda p: sl.anemone(64, 56, p)), 12, True, True, (0,)),
    "sand.gif": (lambda: [sl.mound(200, 30, (236, 214, 160), (190, 160, 110))], 0, False, True, (0, 2)),
    "sand2.gif": (lambda: [sl.mound(150, 24, (230, 205, 150), (185, 150, 100), seed=44)], 0, False, True, (0, 2)),
    "silt.gif": (lambda: [sl.mound(200, 28, (52, 58, 70), (20, 26, 40), pebbles=((70, 70, 80), (50, 55, 65)), seed=45)],
                 0, False, True, (1,)),
    # A shaded ridge in the foreground, drawn in front of everything along the bottom edge.
    "ledge.gif": (lambda: [sl.mound(200, 28, (70, 62, 50), (24, 22, 22), pebbles=((84, 76, 64), (58, 52, 46)), seed=46)],
                  0, False, True, (0, 2)),
    "rock.gif": (lambda: [sl.rock(120, 56)], 0, False, True, (0, 2)),
    "starfish.gif": (lambda: [sl.starfish(38, 38)], 0, False, True, (0,)),
    "crab.gif": (lambda: [sl.crab(64, 40, i, 8, 16) for i in range(8)], 8, True, True, (0,)),
    "chest.gif": (lambda: _chest_frames(), [60, 12, 10, 10, 10, 10, 10, 12, 30, 30, 30, 200], False, True, (0,)),
    "chestshut.gif": (lambda: [sl.chest(84, 68, 0, 0)], 0, False, True, (0,)),
    "coin.gif": (lambda: frames(6, lambda p: sl.coin(14, 14, p)), 7, True, True, (0,)),
    "diver.gif": (lambda: frames(8, lambda p: sl.diver(120, 56, p)), 11, True, True, (0,)),
    "turtle.gif": (lambda: frames(10, lambda p: sl.turtle(128, 80, p)), 14, True, True, (0,)),
    # Deep Sea
    "whale.gif": (lambda: frames(10, lambda p: sl.whale(160, 64, p)), 18, True, True, (1,)),
    "angler.gif": (lambda: frames(8, lambda p: sl.angler(84, 68, p)), 12, True, True, (1,)),
    "lantern.gif": (lambda: frames(8, lambda p: sl.jellyfish(40, 60, p, (90, 200, 255), (60, 150, 240), (120, 220, 255),
                                                              glow=(40, 110, 170), seed=4)), 13, True, True, (1,)),
    "sparkle.gif": (lambda: frames(8, lambda p: sl.sparkle(14, 14, p)), 10, True, True, (1, 2)),
    "snow.gif": (lambda: [sl.marine_snow(64, 96)], 0, False, True, (1,)),
    "hatchet.gif": (lambda: frames(8, lambda p: sl.fish(40, 26, p, (150, 160, 185), (220, 230, 245), (120, 130, 160),
                                                         tall=True, face_left=True, eye_scale=1.6)), 8, True, True, (1,)),
    # Kelp Forest
    "kelptile.gif": (lambda: [sl.water_tile(128, (10, 50, 60), (34, 96, 98), seed=41)], 0, False, False, (2,)),
    "kelp.gif": (lambda: frames(12, lambda p: sl.kelp(96, 360, p)), 16, True, True, (2,)),
    "rays.gif": (lambda: frames(6, lambda p: sl.light_rays(180, 300, p)), 25, True, True, (2,)),
    "seahorse.gif": (lambda: frames(8, lambda p: sl.seahorse(34, 60, p)), 12, True, True, (2,)),
    "angelfish.gif": (lambda: frames(8, lambda p: sl.fish(56, 60, p, (235, 235, 225), (250, 250, 245), (200, 200, 190),
                                                           tall=True, face_left=True, stripes=((0.35, 2.5), (0.62, 2.5)),
                                                           stripe_col=(40, 40, 50))), 9, True, True, (2,)),
    "garibaldi.gif": (lambda: frames(8, lambda p: sl.fish(54, 34, p, (250, 110, 20), (255, 160, 60), (245, 100, 20))),
                      8, True, True, (2,)),
    # Small versions for the preview window
    "pfish.gif": (lambda: frames(6, lambda p: sl.fish(22, 14, p, (250, 120, 30), (255, 190, 120), (245, 110, 25),
                                                       stripes=((0.7, 1.2), (0.35, 1.2)))), 9, True, True, ()),
    "pjelly.gif": (lambda: frames(8, lambda p: sl.jellyfish(16, 24, p, (250, 150, 205), (230, 110, 180), (250, 120, 170))),
                   13, True, True, ()),
    "pglow.gif": (lambda: frames(8, lambda p: sl.jellyfish(16, 24, p, (90, 200, 255), (60, 150, 240), (120, 220, 255),
                                                            glow=(40, 110, 170))), 13, True, True, ()),
}


def _single_bubble(p):
    c = artkit.Canvas(14, 14)
    sl.bubble_at(c, 7, 7, 5.2, p)
    return c


def _chest_frames():
    opening = [0, 0, 0.1, 0.25, 0.45, 0.65, 0.85, 1.0, 1.0, 1.0, 1.0, 1.0]
    sparkle = [0, 0, 0, 0, 0, 0, 0, 0.4, 1.0, 0.6, 1.0, 0.5]
    return [sl.chest(84, 68, o, s) for o, s in zip(opening, sparkle)]


# Frames at which scripts react: the chest is fully open at this frame.
CHEST_OPEN_FRAME = 8


# ---------------------------------------------------------------- sounds


def bubble_blip(out, start, f0, dur, amp, rise=2.2):
    """A bubble: a sine whose pitch rises as it decays."""
    ph = 0.0
    n = int(dur * RATE)
    for i in range(n):
        t = i / RATE
        f = f0 * (1 + rise * t / dur)
        ph += TAU * f / RATE
        env = math.exp(-t / (dur * 0.3)) * min(1.0, i / 40.0)
        k = (start + i) % len(out)
        out[k] += amp * env * math.sin(ph)


def noise_bed(n, cutoff, seed, loops=2):
    """Soft filtered noise; run round the buffer twice so its end meets its start."""
    rnd = random.Random(seed)
    src = [rnd.uniform(-1, 1) for _ in range(n)]
    f1, f2 = OnePole(cutoff), OnePole(cutoff)
    out = [0.0] * n
    for lap in range(loops):
        for i in range(n):
            out[i] = f2(f1(src[i]))
    return out


def snd_bubbling(seconds=6.0, seed=51):
    n = int(seconds * RATE)
    bed = normalize(noise_bed(n, 260, seed), 0.18)
    # A slow swell so the bed breathes (whole cycles, so the loop is seamless).
    out = [v * (0.8 + 0.2 * math.sin(TAU * 2 * i / n)) for i, v in enumerate(bed)]
    rnd = random.Random(seed + 1)
    t = 0.0
    while t < seconds:
        burst = rnd.random() < 0.25
        for _ in range(rnd.randint(3, 6) if burst else 1):
            bubble_blip(out, int(t * RATE), rnd.uniform(380, 950), rnd.uniform(0.05, 0.12), rnd.uniform(0.12, 0.3))
            t += rnd.uniform(0.03, 0.09) if burst else 0
        t += rnd.uniform(0.15, 0.6)
    return normalize(out, 0.62)


def snd_bubble(seed=52):
    out = [0.0] * int(0.4 * RATE)
    bubble_blip(out, 0, 520, 0.11, 0.8)
    bubble_blip(out, int(0.13 * RATE), 700, 0.08, 0.5)
    bubble_blip(out, int(0.22 * RATE), 610, 0.07, 0.35)
    return fade_edges(normalize(out, 0.7), 0.002, 0.05)


def snd_swish(seed=53):
    n = int(1.9 * RATE)
    rnd = random.Random(seed)
    lo, hi, soft = OnePole(150), OnePole(900), OnePole(1400)
    out = []
    for i in range(n):
        x = rnd.uniform(-1, 1)
        t = i / n
        band = soft(hi(x) - lo(x))
        env = math.sin(math.pi * t) ** 2
        out.append(band * env)
    return fade_edges(normalize(out, 0.55), 0.01, 0.05)


def snd_bloop():
    n = int(0.38 * RATE)
    out = []
    ph = 0.0
    for i in range(n):
        t = i / RATE
        f = 230 + 300 * math.exp(-t / 0.05)
        ph += TAU * f / RATE
        env = math.exp(-t / 0.09) * min(1.0, i / 60)
        out.append(env * (math.sin(ph) + 0.25 * math.sin(2 * ph)))
    return fade_edges(normalize(out, 0.7), 0.002, 0.04)


def bell(out, start, f, dur, amp):
    n = min(int(dur * RATE), len(out) - start)
    for i in range(n):
        t = i / RATE
        env = math.exp(-t / (dur * 0.28)) * min(1.0, i / 30)
        out[start + i] += amp * env * (math.sin(TAU * f * t) + 0.35 * math.sin(TAU * f * 2.76 * t) * math.exp(-t / 0.15)
                                       + 0.15 * math.sin(TAU * f * 5.4 * t) * math.exp(-t / 0.06))


def snd_chest(seed=54):
    n = int(2.8 * RATE)
    out = [0.0] * n
    rnd = random.Random(seed)
    # A soft wooden creak: a low buzz through a low-pass filter, wavering in pitch.
    lp1, lp2 = OnePole(500), OnePole(500)
    ph = 0.0
    for i in range(int(0.7 * RATE)):
        t = i / RATE
        f = 70 + 25 * math.sin(TAU * 3 * t) + 20 * t
        ph += f / RATE
        saw = (ph % 1.0) * 2 - 1 + rnd.uniform(-0.2, 0.2)
        env = math.sin(math.pi * t / 0.7) ** 2
        out[i] += 0.5 * env * lp2(lp1(saw))
    # Then a rising chime over a major arpeggio.
    for k, semis in enumerate((0, 4, 7, 12, 16, 19, 24)):
        bell(out, int((0.62 + k * 0.11) * RATE), 523.25 * 2 ** (semis / 12), 1.4, 0.22)
    return fade_edges(normalize(out, 0.7), 0.005, 0.3)


def snd_coins(seed=55):
    n = int(0.8 * RATE)
    out = [0.0] * n
    rnd = random.Random(seed)
    for k in range(5):
        bell(out, int(rnd.uniform(0, 0.4) * RATE), rnd.uniform(1800, 2600), 0.35, 0.25)
    return fade_edges(normalize(out, 0.5), 0.002, 0.1)


def snd_click(seed=56):
    n = int(0.14 * RATE)
    out = [0.0] * n
    rnd = random.Random(seed)
    for start in (0, int(0.06 * RATE)):
        lp = OnePole(1800)
        for i in range(int(0.02 * RATE)):
            t = i / RATE
            out[start + i] += lp(rnd.uniform(-1, 1)) * math.exp(-t / 0.004)
    return fade_edges(normalize(out, 0.45), 0.0005, 0.01)


def snd_whale(seed=57):
    """Two calls: a long rising moan, then a shorter answer (the answer may repeat)."""
    n = int(6.0 * RATE)
    out = [0.0] * n

    def call(start, dur, f0, f1, f2, amp):
        ph = 0.0
        for i in range(int(dur * RATE)):
            t = i / (dur * RATE)
            f = f0 + (f1 - f0) * math.sin(math.pi * min(1.0, t * 1.3) / 2) + (f2 - f1) * max(0.0, t - 0.7) / 0.3
            f *= 1 + 0.012 * math.sin(TAU * 5.5 * i / RATE)
            ph += TAU * f / RATE
            env = math.sin(math.pi * t) ** 1.5
            out[start + i] += amp * env * (math.sin(ph) + 0.3 * math.sin(2 * ph) + 0.1 * math.sin(3 * ph))

    call(int(0.1 * RATE), 2.6, 160, 300, 240, 0.5)
    call(int(3.3 * RATE), 2.4, 260, 200, 320, 0.45)
    # A little echo of the deep.
    d = int(0.37 * RATE)
    for i in range(d, n):
        out[i] += 0.3 * out[i - d]
    lp = OnePole(1500)
    return fade_edges(normalize([lp(v) for v in out], 0.62), 0.05, 0.3)


WHALE_LOOP_POINT = int(3.2 * RATE)  # the answer call starts after this byte


def snd_deephum(seconds=6.0, seed=58):
    n = int(seconds * RATE)
    bed = normalize(noise_bed(n, 120, seed), 0.2)
    out = []
    for i in range(n):
        t = i / RATE
        swell = 0.75 + 0.25 * math.sin(TAU * 1 * i / n)
        out.append(swell * (0.45 * math.sin(TAU * 55 * t) + 0.3 * math.sin(TAU * 82.5 * t + 1)
                            + 0.12 * math.sin(TAU * 110.5 * t)) * (0.7 + 0.3 * math.sin(TAU * 3 * i / n)) + bed[i])
    return normalize(out, 0.55)


def snd_diver(seed=59):
    """Breathing through a regulator: an inhale, then a burst of exhaled bubbles."""
    n = int(3.4 * RATE)
    out = [0.0] * n
    rnd = random.Random(seed)
    hp, lp = OnePole(700), OnePole(3500)
    for i in range(int(1.2 * RATE)):
        t = i / (1.2 * RATE)
        x = rnd.uniform(-1, 1)
        out[i] += 0.35 * (lp(x) - hp(x)) * math.sin(math.pi * t) ** 2
    t = 1.45
    while t < 3.15:
        bubble_blip(out, int(t * RATE), rnd.uniform(300, 800), rnd.uniform(0.04, 0.1), rnd.uniform(0.15, 0.35))
        t += rnd.uniform(0.02, 0.07)
    rumble = noise_bed(n, 200, seed + 1, loops=1)
    for i in range(int(1.4 * RATE), int(3.2 * RATE)):
        t = (i - 1.4 * RATE) / (1.8 * RATE)
        out[i] += 1.5 * rumble[i] * math.sin(math.pi * t)
    return fade_edges(normalize(out, 0.6), 0.01, 0.1)


DIVER_LOOP_POINT = int(1.3 * RATE)  # inhale before, exhale after


def snd_shimmer(seed=60):
    n = int(2.6 * RATE)
    out = [0.0] * n
    for k, f in enumerate((659.25, 783.99, 987.77, 1318.5)):
        for i in range(n):
            t = i / RATE
            env = math.sin(math.pi * i / n) ** 2
            out[i] += 0.2 * env * math.sin(TAU * f * t + k) * (0.6 + 0.4 * math.sin(TAU * (0.9 + k * 0.35) * t))
    return fade_edges(normalize(out, 0.45), 0.05, 0.2)


def snd_kelpwater(seconds=7.0, seed=61):
    """Gentle water moving through kelp: slow swells of soft noise, a few bubbles."""
    n = int(seconds * RATE)
    bed = noise_bed(n, 420, seed)
    low = noise_bed(n, 90, seed + 5)
    bed = normalize(bed, 1.0)
    low = normalize(low, 1.0)
    out = []
    for i in range(n):
        sw = 0.5 + 0.5 * math.sin(TAU * 3 * i / n) * math.sin(TAU * 1 * i / n + 0.5)
        out.append(0.18 * bed[i] * (0.35 + 0.65 * sw) + 0.25 * low[i])
    rnd = random.Random(seed + 2)
    for _ in range(6):
        bubble_blip(out, rnd.randrange(n), rnd.uniform(350, 700), rnd.uniform(0.06, 0.12), 0.12)
    return normalize(out, 0.55)


SOUNDS = {
    "bubbling.wav": snd_bubbling,
    "bubble.wav": snd_bubble,
    "swish.wav": snd_swish,
    "bloop.wav": snd_bloop,
    "chest.wav": snd_chest,
    "coins.wav": snd_coins,
    "click.wav": snd_click,
    "whale.wav": snd_whale,
    "deephum.wav": snd_deephum,
    "diver.wav": snd_diver,
    "shimmer.wav": snd_shimmer,
    "kelpwater.wav": snd_kelpwater,
}

# Background colours of modules without a background image, for their palette files.
MODULE_COLOURS = {1: (4, 14, 34)}


def main(argv):
    out_dir = os.path.join(os.path.dirname(HERE), "Aquarium")
    only = None
    args = list(argv[1:])
    if "--only" in args:
        k = args.index("--only")
        only = set(args[k + 1:])
        args = args[:k]
    if args:
        out_dir = args[0]
    os.makedirs(out_dir, exist_ok=True)
    per_module = {}
    for name, (make, delay, loop, transparent, modules) in IMAGES.items():
        if only and name not in only:
            continue
        fr = make()
        pal, idx = artkit.save_sprite(os.path.join(out_dir, name), fr, delay, loop=loop, transparent=transparent)
        for m in modules:
            per_module.setdefault(m, []).append((pal, [[i for i in f if i != 0] if transparent else f for f in idx]))
        print("wrote %s (%dx%d, %d frame%s)" % (name, fr[0].w, fr[0].h, len(fr), "" if len(fr) == 1 else "s"))
    for name, make in SOUNDS.items():
        if only and name not in only:
            continue
        n = write_wav(os.path.join(out_dir, name), make())
        print("wrote %s (%d bytes of samples)" % (name, n))
    if not only:
        for m in sorted(per_module):
            imgs = per_module[m]
            if m in MODULE_COLOURS:
                # The background colour fills most of the screen: weigh it as such.
                imgs = imgs + [([MODULE_COLOURS[m]] * 256, [[0] * 200000])]
            name = "256COL%02d.PAL" % m
            with open(os.path.join(out_dir, name), "wb") as f:
                f.write(artkit.palette_from_images(imgs))
            print("wrote %s" % name)


if __name__ == "__main__":
    main(sys.argv)
