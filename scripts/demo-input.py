#!/usr/bin/env python3
"""Writes a demo input for the main job: eight seconds of stereo 48 kHz, 24-bit WAV that moves between
passages the plug-in boosts (and whose boosted peaks its limiters catch) and near silence below its
detector's threshold, where the boost falls back to unity."""
import math
import random
import struct
import sys
import wave

RATE = 48000
SECONDS = 8


def main(path):
    random.seed(1)
    frames = bytearray()
    for i in range(RATE * SECONDS):
        t = i / RATE
        # Two seconds of music-like level, then one of near silence, and so on.
        level = 0.0015 if int(t) % 3 == 2 else 0.25 * (1.0 + 0.6 * math.sin(2 * math.pi * 0.5 * t))
        for channel, pitch in enumerate((196.0, 246.9)):
            tone = math.sin(2 * math.pi * pitch * t) + 0.3 * math.sin(2 * math.pi * 2.01 * pitch * t)
            sample = level * (tone + 0.05 * random.uniform(-1.0, 1.0))
            value = max(-8388608, min(8388607, int(round(sample * 8388607))))
            frames += struct.pack("<i", value)[:3]
    with wave.open(path, "wb") as out:
        out.setnchannels(2)
        out.setsampwidth(3)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


if __name__ == "__main__":
    main(sys.argv[1])
