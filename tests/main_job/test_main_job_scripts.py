# The main job's timeline, report and plot, down to tracks of a few samples.

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))

import main_job_report as report  # noqa: E402
import main_job_timeline as timeline  # noqa: E402
from plot_levels import gaps  # noqa: E402

nan = float("nan")


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
                                (report.measure_text("-120.00", "LUFS"), "none")):
            self.assertEqual(shown, expected)
        self.assertIn("No bypass", report.bypass_text(""))

    def test_the_plot_marks_where_gain_is_not_drawn_across_the_windows_it_spans(self):
        for time, gain, stretches in (([0.025, 0.075, 0.125, 0.175], [1, nan, nan, 2], [(0.05, 0.15)]),
                                      ([0.025, 0.075, 0.1], [nan, 3, nan], [(0.0, 0.05), (0.0875, 0.1)])):
            self.assertEqual([(round(a, 6), round(b, 6)) for a, b in gaps(time, gain)], stretches)
