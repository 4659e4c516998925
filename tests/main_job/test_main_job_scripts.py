# The main job's timeline, report and plot, down to tracks of a few samples.

import os
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))

import main_job_report as report  # noqa: E402
import main_job_timeline as timeline  # noqa: E402
from plot_levels import gaps  # noqa: E402

nan = float("nan")


def float_wav(path, frames, peak_time=0, rate=48000, channels=2):
    """A 32-bit float WAV as libsndfile writes it: a PEAK chunk holding the time of writing before the samples."""
    def chunk(name, body):
        return name + struct.pack("<I", len(body)) + body

    samples = b"".join(struct.pack(f"<{channels}f", *frame) for frame in frames)
    body = (b"WAVE" + chunk(b"fmt ", struct.pack("<HHIIHH", 3, channels, rate, rate * channels * 4, channels * 4, 32))
            + chunk(b"PEAK", struct.pack("<II", 1, peak_time) + b"\0" * 8 * channels) + chunk(b"data", samples))
    with open(path, "wb") as file:
        file.write(chunk(b"RIFF", body))


class MainJobScripts(unittest.TestCase):
    def test_tracks_of_any_length_get_rising_automation_and_a_bypass_of_a_sample_or_go_without(self):
        for seconds, rate in ((1e-5, 192000), (0.01, 44100), (12345.678, 48000)):
            automation, (start, end) = timeline.automation(seconds), timeline.bypass(seconds, rate)
            times = [float(point.split(":")[0]) for point in automation.split(",")]
            self.assertEqual(times, sorted(set(times)), automation)
            self.assertEqual(len(times), 4)
            self.assertGreater(round(float(end) * rate), round(float(start) * rate))
            self.assertNotRegex(automation + start + end, "[eE]")  # the host would read "2e-06-3e-06" as a range
        self.assertIsNone(timeline.bypass(0.0001, 44100))

    def test_the_report_gives_decibels_beside_levels_and_none_for_what_it_could_not_measure(self):
        for shown, expected in ((report.level_text(0.5), "0.50 (-4.5 dB)"), (report.level_text(0.8), "0.80 (0.0 dB)"),
                                (report.level_text(1.0), "1.00 (+3.0 dB)"), (report.measure_text("-0.02", "dBFS"), "0.0 dBFS"),
                                (report.measure_text("-120.00", "LUFS"), "none"), (report.count_text(1, "sample"), "1 sample"),
                                (report.count_text(2, "sample"), "2 samples")):
            self.assertEqual(shown, expected)
        self.assertIn("No bypass", report.bypass_text(""))

    def test_the_plot_marks_where_gain_is_not_drawn_across_the_windows_it_spans(self):
        for time, gain, stretches in (([0.025, 0.075, 0.125, 0.175], [1, nan, nan, 2], [(0.05, 0.15)]),
                                      ([0.025, 0.075, 0.1], [nan, 3, nan], [(0.0, 0.05), (0.0875, 0.1)])):
            self.assertEqual([(round(a, 6), round(b, 6)) for a, b in gaps(time, gain)], stretches)

    def test_the_renders_are_compared_by_their_audio_and_the_first_differing_frame_is_named(self):
        frames = [(i / 10, -i / 10) for i in range(10)]
        changed = frames[:7] + [(0.7, 0.5)] + frames[8:]
        for other, expected in (((frames, 1234), None), ((changed, 0), "frame 7 (0.000145833 s)"),
                                ((frames[:4], 0), "frame 4 (8.33333e-05 s)"), ((frames, 0, 44100), "formats differ")):
            with tempfile.TemporaryDirectory() as folder:
                a, b = os.path.join(folder, "a.wav"), os.path.join(folder, "b.wav")
                float_wav(a, frames, 5678)
                float_wav(b, *other)
                difference = report.audio_difference(a, b, block=16)
                if expected is None:
                    self.assertIsNone(difference)
                else:
                    self.assertIn(expected, difference)
