#!/usr/bin/env python3
"""Compares what the Windows build (under wine) and the Linux build produce.

  compare-win64.py make-wav OUT.wav         a 64-bit float stereo test signal (3 s, 48 kHz)
  compare-win64.py wav LINUX.wav WIN.wav    largest sample difference relative to the peak; fails above 1e-12
  compare-win64.py png LINUX.png WIN.png    pixels that differ and the largest channel difference; fails above 0
"""
import math
import random
import struct
import sys
import zlib

RENDER_TOLERANCE = 1e-12  # of the peak: the C libraries' exp/log/tanh differ in the last bits


def write_wav(path, channels, rate):
    frames = len(channels[0])
    data = b"".join(struct.pack("<%dd" % len(channels), *(ch[i] for ch in channels)) for i in range(frames))
    fmt = struct.pack("<HHIIHH", 3, len(channels), rate, rate * 8 * len(channels), 8 * len(channels), 64)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(data)) + b"WAVE")
        f.write(b"fmt " + struct.pack("<I", len(fmt)) + fmt)
        f.write(b"data" + struct.pack("<I", len(data)) + data)


def read_wav(path):
    with open(path, "rb") as f:
        blob = f.read()
    if blob[:4] != b"RIFF" or blob[8:12] != b"WAVE":
        sys.exit("%s: not a WAV file" % path)
    pos, fmt, data = 12, None, None
    while pos + 8 <= len(blob):
        cid, size = blob[pos:pos + 4], struct.unpack("<I", blob[pos + 4:pos + 8])[0]
        body = blob[pos + 8:pos + 8 + size]
        if cid == b"fmt ":
            fmt = struct.unpack("<HHIIHH", body[:16])
        elif cid == b"data":
            data = body
        pos += 8 + size + (size & 1)
    if not fmt or data is None:
        sys.exit("%s: no fmt or data chunk" % path)
    tag, channels, _, _, _, bits = fmt
    if bits != 64 or tag not in (3, 0xFFFE):
        sys.exit("%s: not 64-bit float (format %d, %d bits)" % (path, tag, bits))
    return channels, struct.unpack("<%dd" % (len(data) // 8), data)


def make_wav(path):
    rate, n = 48000, 3 * 48000
    rng = random.Random(7)
    left, right = [], []
    for i in range(n):
        t = i / rate
        burst = 0.9 if (i // 6000) % 4 == 0 else 0.05  # loud and quiet passages for every stage
        left.append(burst * math.sin(2 * math.pi * (60 + 3000 * t) * t) + 0.02 * rng.uniform(-1, 1))
        right.append(burst * 0.7 * math.sin(2 * math.pi * 440 * t + 1.0) + 0.02 * rng.uniform(-1, 1))
    write_wav(path, [left, right], rate)


def compare_wav(a, b):
    ca, sa = read_wav(a)
    cb, sb = read_wav(b)
    if ca != cb or len(sa) != len(sb):
        print("render: the files differ in shape (%d/%d channels, %d/%d samples)" % (ca, cb, len(sa), len(sb)))
        return 1
    peak = max(abs(x) for x in sa) or 1.0
    worst = max(abs(x - y) for x, y in zip(sa, sb))
    ratio = worst / peak
    same = sum(1 for x, y in zip(sa, sb) if x == y)
    print("render: %d samples, peak %.6f, largest difference %.3e = %.3e of the peak (limit %.0e); %d samples bit-identical"
          % (len(sa), peak, worst, ratio, RENDER_TOLERANCE, same))
    return 0 if ratio <= RENDER_TOLERANCE else 1


def read_png(path):
    with open(path, "rb") as f:
        blob = f.read()
    if blob[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit("%s: not a PNG file" % path)
    pos, idat, head = 8, b"", None
    while pos < len(blob):
        size, kind = struct.unpack(">I4s", blob[pos:pos + 8])
        body = blob[pos + 8:pos + 8 + size]
        if kind == b"IHDR":
            head = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + size
    width, height, depth, colour, _, _, interlace = head
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or not channels or interlace:
        sys.exit("%s: only 8-bit RGB/RGBA without interlacing is read here" % path)
    raw, stride, bpp = zlib.decompress(idat), width * channels, channels
    rows, prev, pos = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            left = line[i - bpp] if i >= bpp else 0
            up, upleft = prev[i], (prev[i - bpp] if i >= bpp else 0)
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - upleft
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - upleft)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else upleft)) & 255
        rows.append(line)
        prev = line
    return width, height, channels, rows


def compare_png(a, b):
    wa, ha, ca, ra = read_png(a)
    wb, hb, cb, rb = read_png(b)
    if (wa, ha, ca) != (wb, hb, cb):
        print("snapshot: the pictures differ in size (%dx%d/%dx%d)" % (wa, ha, wb, hb))
        return 1
    differing, worst = 0, 0
    for la, lb in zip(ra, rb):
        for x in range(wa):
            d = max(abs(la[x * ca + c] - lb[x * ca + c]) for c in range(ca))
            if d:
                differing += 1
                worst = max(worst, d)
    print("snapshot: %dx%d, %d pixels differ (%.4f %%), largest channel difference %d of 255"
          % (wa, ha, differing, 100.0 * differing / (wa * ha), worst))
    return 0 if differing == 0 else 1


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "make-wav":
        make_wav(sys.argv[2])
        sys.exit(0)
    if len(sys.argv) == 4 and sys.argv[1] in ("wav", "png"):
        sys.exit((compare_wav if sys.argv[1] == "wav" else compare_png)(sys.argv[2], sys.argv[3]))
    sys.exit(__doc__)
