#!/usr/bin/env python3
"""Writes the three alarm rings: PCM, 2 channels, 44 100 Hz, 8 bits.

Run from anywhere: python3 resources/sounds/make_sounds.py
Standard library only, so every machine writes the same bytes. Each ring is a
pattern of soft-edged beeps that starts and ends in silence, so it loops
without a click. File names start with the resource id.
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
RATE = 44100

# id, file, length in seconds, beeps as (start, length, frequencies in Hz)
RINGS = [
    (136, "136-ring-1.wav", 3.3,
     [(0.10, 0.25, (880,)), (0.45, 0.25, (880,)), (0.80, 0.25, (880,)),
      (1.15, 0.60, (1175,))]),
    (138, "138-ring-2.wav", 9.3,
     [(0.2 + 1.1 * i, 0.5, (659, 988) if i % 2 else (523, 784)) for i in range(8)]),
    (139, "139-ring-3.wav", 5.6,
     [(0.1 + 0.18 * i, 0.12, (1320 if i % 2 else 1047,)) for i in range(12)]
     + [(3.0, 0.9, (784, 1568))]),
]


def sample(t, beeps):
    value = 0.0
    for start, length, freqs in beeps:
        if start <= t < start + length:
            local = t - start
            # 10 ms raised-cosine edges keep the speaker from clicking.
            edge = 0.01
            env = 1.0
            if local < edge:
                env = 0.5 - 0.5 * math.cos(math.pi * local / edge)
            elif local > length - edge:
                env = 0.5 - 0.5 * math.cos(math.pi * (length - local) / edge)
            for f in freqs:
                value += env * math.sin(2 * math.pi * f * local) / len(freqs)
    return value


def write(name, seconds, beeps):
    frames = int(round(seconds * RATE))
    data = bytearray()
    for n in range(frames):
        v = sample(n / RATE, beeps)
        b = max(0, min(255, int(round(128 + 100 * v))))
        data += bytes((b, b))  # the same on both channels
    fmt = struct.pack("<HHIIHH", 1, 2, RATE, RATE * 2, 2, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"data" + struct.pack("<I", len(data)) + bytes(data)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


if __name__ == "__main__":
    for _id, name, seconds, beeps in RINGS:
        write(name, seconds, beeps)
