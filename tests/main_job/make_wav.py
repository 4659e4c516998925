"""Writes a 16-bit WAV of a square wave for the main job's tests:  make_wav.py PATH FRAMES RATE CHANNELS"""

import sys
import wave

path, (frames, rate, channels) = sys.argv[1], map(int, sys.argv[2:])
with wave.open(path, "wb") as file:
    file.setparams((channels, 2, rate, frames, "NONE", ""))
    square = ((8000 if i % 50 < 25 else -8000).to_bytes(2, "little", signed=True) for i in range(frames))
    file.writeframes(b"".join(sample * channels for sample in square))
