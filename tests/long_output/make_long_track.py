"""Writes a long stereo FLAC track for the long output test:  make_long_track.py PATH SECONDS RATE

Two tones whose level rises and falls over 20 s, in 16 bits: FLAC keeps it in a fraction of its WAV size, and
the plug-in has something to do throughout. Written a second at a time."""

import sys

import numpy
import soundfile

path, seconds, rate = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
time = numpy.arange(rate) / rate
tones = numpy.stack([numpy.sin(2 * numpy.pi * 440 * time), numpy.sin(2 * numpy.pi * 660 * time)], axis=1)
blocks = [(0.05 + 0.45 * abs(10 - step) / 10) * tones for step in range(20)]
with soundfile.SoundFile(path, "w", rate, 2, "PCM_16", format="FLAC") as track:
    for second in range(seconds):
        track.write(blocks[second % 20])
