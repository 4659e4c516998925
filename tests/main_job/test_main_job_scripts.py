#!/usr/bin/python3
"""The main job's timeline, report and plot, and the level analysis's windows, on tracks down to 10 ms.
KELVANE_LEVEL_ANALYSIS names the built kelvane_level_analysis."""

import csv
import math
import os
import subprocess
import sys
import tempfile
import unittest

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [here, os.path.join(here, "..", "..", "scripts")]

import main_job_report  # noqa: E402
import main_job_timeline  # noqa: E402
import plot_levels  # noqa: E402
from make_wav import make_wav  # noqa: E402


class Timeline(unittest.TestCase):
    def test_short_and_long_tracks_keep_rising_automation_and_a_bypass_of_at_least_one_sample(self):
        for seconds, rate in ((0.01, 44100), (0.05, 48000), (0.3, 96000), (61.25, 192000)):
            with self.subTest(seconds=seconds):
                text = main_job_timeline.automation(seconds)
                times = [float(point.split(":")[0]) for point in text.split(",")]
                self.assertEqual(len(times), 4)
                self.assertTrue(all(a < b for a, b in zip(times, times[1:])), text)
                self.assertLess(times[-1], seconds)
                start, end = main_job_timeline.bypass(seconds, rate)
                self.assertGreaterEqual((float(end) - float(start)) * rate, 1)
                self.assertAlmostEqual(float(start), 0.22 * seconds, delta=1e-6)
                self.assertLessEqual(float(end), seconds)

    def test_times_never_take_an_exponent_that_the_host_would_read_as_a_range(self):
        for seconds in (1e-5, 3e-4, 0.01, 12345.678):
            with self.subTest(seconds=seconds):
                stretch = main_job_timeline.bypass(seconds, 192000) or ("", "")
                self.assertNotRegex(main_job_timeline.automation(seconds) + "".join(stretch), "[eE]")

    def test_a_track_too_short_goes_without(self):
        self.assertIsNone(main_job_timeline.bypass(0.0001, 44100))  # 4 samples: the stretch is under one
        self.assertEqual(main_job_timeline.automation(2e-6), "")


class Report(unittest.TestCase):
    def test_levels_are_given_in_decibels_beside_their_normalised_value(self):
        for value, text in ((0.0, "0.00 (-12.0 dB)"), (0.5, "0.50 (-4.5 dB)"), (0.6, "0.60 (-3.0 dB)"),
                            (0.8, "0.80 (0.0 dB)"), (0.9, "0.90 (+1.5 dB)"), (1.0, "1.00 (+3.0 dB)")):
            self.assertEqual(main_job_report.level_text(value), text)

    def test_measures_read_none_below_the_analysis_floor_and_zero_carries_no_sign(self):
        for text, shown in (("-120.00", "none"), ("-0.02", "0.0 dBFS"), ("-12.84", "-12.8 dBFS"), ("0.06", "0.1 dBFS")):
            self.assertEqual(main_job_report.measure_text(text, "dBFS"), shown)

    def test_channel_counts_read_in_the_singular_and_the_plural(self):
        self.assertEqual(main_job_report.channels_text(1), "1 channel")
        self.assertEqual(main_job_report.channels_text(2), "2 channels")

    def test_a_mono_track_at_44_1_kHz_is_reported_as_the_instance_ran_it(self):
        with tempfile.TemporaryDirectory() as out:
            os.mkdir(os.path.join(out, "chunks"))
            for name in ("registered.txt", "window.txt", "kelvane-output.wav", "second-instance-output.wav",
                         "chunks/elck.chunk", "chunks/juce.chunk", "chunks/second-elck.chunk",
                         "chunks/second-juce.chunk"):
                with open(os.path.join(out, name), "w") as file:
                    file.write("x\n")
            with open(os.path.join(out, "levels.txt"), "w") as file:
                file.write("sample_rate=44100\nchannels=1\nframes=441\nseconds=0.010000\n")
                for side in ("input", "output"):
                    file.write(f"{side}_peak_dbfs=-6.00\n{side}_true_peak_dbtp=-5.90\n{side}_loudness_lufs=-120.00\n")
            report = subprocess.run(
                [sys.executable, main_job_report.__file__, out, "track.wav", "--automation", "", "--bypass", ""],
                check=True, capture_output=True, text=True).stdout
        self.assertIn("`track.wav`, 1 channel, 44100 Hz", report)
        self.assertIn("mono at 44100 Hz", report)
        self.assertIn('"dbMain" not automated', report)
        self.assertIn("No bypass by the host", report)
        self.assertIn("| integrated loudness (EBU R 128) | none | none |", report)
        self.assertNotIn("48000", report)


class Plot(unittest.TestCase):
    def test_stretches_without_gain_span_the_windows_they_cover(self):
        nan = math.nan
        table = (
            ([0.025, 0.075, 0.125, 0.175], [1, nan, nan, 2], [(0.05, 0.15)]),
            ([0.025, 0.075, 0.1], [nan, 3, nan], [(0.0, 0.05), (0.0875, 0.1)]),
            ([0.005], [nan], [(0.0, 0.005)]),
            ([0.025, 0.075], [1, 2], []),
        )
        for time, gain, stretches in table:
            with self.subTest(gain=gain):
                found = plot_levels.gaps(time, gain)
                self.assertEqual(len(found), len(stretches))
                for (start, end), (expected_start, expected_end) in zip(found, stretches):
                    self.assertAlmostEqual(start, expected_start)
                    self.assertAlmostEqual(end, expected_end)


class LevelAnalysis(unittest.TestCase):
    def levels(self, seconds, rate):
        with tempfile.TemporaryDirectory() as folder:
            track = os.path.join(folder, "track.wav")
            make_wav(track, seconds, rate, 2)
            table = os.path.join(folder, "levels.csv")
            subprocess.run([os.environ["KELVANE_LEVEL_ANALYSIS"], track, track, table], check=True,
                           capture_output=True)
            with open(table, newline="") as file:
                return [float(row["time_s"]) for row in csv.DictReader(file)]

    def test_the_last_window_is_measured_even_when_it_is_short(self):
        for seconds, rate, middles in ((0.075, 48000, [0.025, 0.0625]), (0.01, 44100, [0.005]),
                                       (0.1, 96000, [0.025, 0.075])):
            with self.subTest(seconds=seconds):
                found = self.levels(seconds, rate)
                self.assertEqual(len(found), len(middles), found)
                for time, middle in zip(found, middles):
                    self.assertAlmostEqual(time, middle, places=4)


if __name__ == "__main__":
    unittest.main()
