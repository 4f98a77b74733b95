#!/usr/bin/env python3
"""Checks the media files of the bundled themes against the layout their generators
write, which is stricter than what the saver reads: the saver also takes smaller
colour tables, interlaced frames, extensions anywhere and WAV files with other chunks.
For any other theme, `glimmora-tool check` is the judge (it loads every file with the
saver's own loader), and `glimmora-tool import` converts pictures and sounds.

GIF: "GIF89a"/"GIF87a" header; a global colour table of 256 entries; an optional
application extension only directly after that table (and exactly 17 bytes after its
label); per frame an optional graphic control extension and an image descriptor with no
local colour table and no interlacing; no other extensions; LZW data that decodes
(with the engine's decoding rules) to exactly width x height indices; then the trailer.
WAV: the plain 44-byte header of 8-bit unsigned mono 22 050 Hz PCM.
PAL: 1028 bytes, version 0x0300, 256 entries.
SS: no line longer than the reader's 127 characters; every quoted .gif/.wav exists.

Usage: check-art.py [THEME_DIR...]   (default: every folder in themes/)
Exit code 0 when everything passes.
"""

import os
import re
import struct
import sys

STREAM_THRESHOLD = 65536


class Fail(Exception):
    pass


def decode_lzw(data, pos, count):
    """Decodes one image's LZW stream starting at the minimum code size byte.

    Returns (indices, position after the block terminator)."""
    min_size = data[pos]
    pos += 1
    if not 2 <= min_size <= 8:
        raise Fail("LZW minimum code size %d" % min_size)
    # Gather the sub-blocks.
    stream = bytearray()
    while True:
        if pos >= len(data):
            raise Fail("image data runs past the end of the file")
        n = data[pos]
        pos += 1
        if n == 0:
            break
        stream += data[pos:pos + n]
        pos += n
    clear = 1 << min_size
    eoi = clear + 1
    first_free = clear + 2
    size = min_size + 1
    limit = 1 << size
    next_free = first_free
    prefix = [0] * 4096
    suffix = [0] * 4096
    for i in range(clear):
        suffix[i] = i
    bitpos = 0
    total_bits = len(stream) * 8
    out = []
    prev = None
    first_char = 0
    ended = False
    while True:
        if bitpos + size > total_bits:
            raise Fail("LZW data ends before the end code")
        code = 0
        for i in range(size):
            b = bitpos + i
            if stream[b >> 3] & (1 << (b & 7)):
                code |= 1 << i
        bitpos += size
        if code == eoi:
            ended = True
            break
        if code == clear:
            size = min_size + 1
            limit = 1 << size
            next_free = first_free
            prev = None
            continue
        if prev is None:
            if code >= clear:
                raise Fail("first code after a clear is not a root")
            out.append(code)
            prev = code
            first_char = code
            continue
        incoming = code
        stack = []
        if code >= next_free:
            if code != next_free:
                raise Fail("LZW code %d beyond the table (%d)" % (code, next_free))
            stack.append(first_char)
            code = prev
        while code >= first_free:
            stack.append(suffix[code])
            code = prefix[code]
        stack.append(code)
        root = code
        out.extend(reversed(stack))
        if next_free < limit:
            suffix[next_free] = root
            prefix[next_free] = prev
            next_free += 1
            first_char = root
            prev = incoming
        if next_free >= limit and size < 12:
            size += 1
            limit <<= 1
    if not ended:
        raise Fail("no end code")
    if len(out) != count:
        raise Fail("image data gives %d indices, expected %d" % (len(out), count))
    return out, pos


def check_gif(path):
    data = open(path, "rb").read()
    if data[:6] not in (b"GIF89a", b"GIF87a"):
        raise Fail("header is %r" % data[:6])
    w, h, packed, _bg, _aspect = struct.unpack("<HHBBB", data[6:13])
    if not packed & 0x80 or packed & 7 != 7:
        raise Fail("no global colour table of 256 entries")
    pos = 13 + 768
    if len(data) < pos:
        raise Fail("colour table cut short")
    looping = False
    if data[pos:pos + 2] == b"\x21\xFF":
        ext = data[pos + 2:pos + 19]
        if len(ext) != 17 or ext[0] != 11 or ext[12] != 3 or ext[16] != 0:
            raise Fail("application extension is not 17 bytes long after its label")
        if ext[1:12] != b"NETSCAPE2.0":
            raise Fail("application extension is %r" % ext[1:12])
        looping = True
        pos += 19
    frames = 0
    transparent_frames = 0
    while True:
        if pos >= len(data):
            raise Fail("no trailer")
        intro = data[pos]
        if intro == 0x3B:
            pos += 1
            break
        if intro == 0x21:
            label = data[pos + 1]
            if label != 0xF9:
                raise Fail("extension 0x%02X at byte %d (not in the bundled layout)" % (label, pos))
            if data[pos + 2] != 4 or data[pos + 7] != 0:
                raise Fail("graphic control extension of unexpected size")
            gpacked = data[pos + 3]
            if gpacked & 1:
                transparent_frames += 1
            pos += 8
            if data[pos] != 0x2C:
                raise Fail("graphic control extension not followed by an image")
            intro = 0x2C
        if intro != 0x2C:
            raise Fail("unexpected byte 0x%02X at %d" % (intro, pos))
        left, top, fw, fh, dpacked = struct.unpack("<HHHHB", data[pos + 1:pos + 10])
        if dpacked & 0x80:
            raise Fail("frame %d has a local colour table" % frames)
        if dpacked & 0x40:
            raise Fail("frame %d is interlaced" % frames)
        if left + fw > w or top + fh > h or fw == 0 or fh == 0:
            raise Fail("frame %d lies outside the logical screen" % frames)
        pos += 10
        _idx, pos = decode_lzw(data, pos, fw * fh)
        frames += 1
    if pos != len(data):
        raise Fail("%d bytes after the trailer" % (len(data) - pos))
    if frames == 0:
        raise Fail("no frames")
    return "%dx%d, %d frame%s%s%s" % (w, h, frames, "" if frames == 1 else "s",
                                      ", looping" if looping else "",
                                      ", transparent" if transparent_frames else "")


def check_wav(path):
    data = open(path, "rb").read()
    if len(data) < 44:
        raise Fail("shorter than its header")
    (riff, riff_size, wave, fmt, fmt_size, tag, channels, rate, bps, align, bits, did,
     dsize) = struct.unpack("<4sI4s4sIHHIIHH4sI", data[:44])
    # An odd-sized data chunk may be followed by one pad byte.
    pad = 1 if dsize % 2 and dsize == len(data) - 45 else 0
    want = (b"RIFF", len(data) - 8, b"WAVE", b"fmt ", 16, 1, 1, 22050, 22050, 1, 8, b"data",
            len(data) - 44 - pad)
    got = (riff, riff_size, wave, fmt, fmt_size, tag, channels, rate, bps, align, bits, did, dsize)
    names = ("RIFF id", "RIFF size", "form", "fmt id", "fmt size", "format tag", "channels",
             "rate", "bytes per second", "block align", "bits", "data id", "data size")
    for n, g, wv in zip(names, got, want):
        if g != wv:
            raise Fail("%s is %r, expected %r" % (n, g, wv))
    kind = "streamed" if dsize >= STREAM_THRESHOLD else "in memory"
    return "%d bytes of samples, %.2f s, %s" % (dsize, dsize / 22050.0, kind)


def check_pal(path):
    data = open(path, "rb").read()
    if len(data) != 1028:
        raise Fail("%d bytes, expected 1028" % len(data))
    version, count = struct.unpack("<HH", data[:4])
    if version != 0x0300 or count != 256:
        raise Fail("version 0x%04X, %d entries" % (version, count))
    if any(data[4 + 4 * i + 3] for i in range(256)):
        raise Fail("entry flags are not 0")
    return "256 entries"


def check_script(path):
    folder = os.path.dirname(path)
    present = {n.lower() for n in os.listdir(folder)}
    lines = open(path, "rb").read().split(b"\n")
    for n, raw in enumerate(lines, 1):
        line = raw.rstrip(b"\r")
        if len(line) + 1 > 127:
            raise Fail("line %d is %d characters long; the reader splits lines at 127" % (n, len(line) + 1))
        text = line.decode("ascii", "replace").split("//")[0]
        for name in re.findall(r'"([^"]+\.(?:gif|wav))"', text, re.I):
            if name.lower() not in present:
                raise Fail("line %d names %s, which is not in the theme folder" % (n, name))
    return "%d lines" % len(lines)


CHECKS = {".gif": check_gif, ".wav": check_wav, ".pal": check_pal, ".ss": check_script}


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    themes = os.path.dirname(here)
    dirs = argv[1:] or [os.path.join(themes, d) for d in sorted(os.listdir(themes))
                        if d != "tools" and os.path.isdir(os.path.join(themes, d))]
    failures = 0
    total = 0
    for d in dirs:
        for name in sorted(os.listdir(d)):
            ext = os.path.splitext(name)[1].lower()
            check = CHECKS.get(ext)
            path = os.path.join(d, name)
            total += os.path.getsize(path)
            if not check:
                continue
            try:
                print("ok   %s: %s" % (os.path.relpath(path, themes), check(path)))
            except Fail as e:
                failures += 1
                print("FAIL %s: %s" % (os.path.relpath(path, themes), e))
    print("%d failure%s, %d bytes in all" % (failures, "" if failures == 1 else "s", total))
    if failures:
        print("(this checks the bundled themes' own layout; what the saver reads is told by "
              "glimmora-tool check, and glimmora-tool import converts pictures and sounds)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
