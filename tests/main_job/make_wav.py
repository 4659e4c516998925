#!/usr/bin/python3
"""Writes a 16-bit WAV of a 440 Hz tone for the main job's tests:  make_wav.py PATH SECONDS RATE CHANNELS"""

import math
import struct
import sys
import wave


def make_wav(path, seconds, rate, channels, amplitude=0.25):
    frames = round(seconds * rate)
    with wave.open(path, "wb") as file:
        file.setnchannels(channels)
        file.setsampwidth(2)
        file.setframerate(rate)
        samples = (round(32767 * amplitude * math.sin(2 * math.pi * 440 * i / rate)) for i in range(frames))
        file.writeframes(b"".join(struct.pack("<h", sample) * channels for sample in samples))


if __name__ == "__main__":
    path, seconds, rate, channels = sys.argv[1:]
    make_wav(path, float(seconds), int(rate), int(channels))
