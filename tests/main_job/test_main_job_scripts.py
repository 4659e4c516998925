# The main job's timeline, report and plot, down to tracks of a few samples.

import itertools
import os
import re
import resource
import signal
import struct
import subprocess
import sys
import tempfile
import unittest

import numpy
import soundfile

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")
sys.path.insert(0, SCRIPTS)

import main_job_report as report  # noqa: E402
import main_job_timeline as timeline  # noqa: E402
from plot_levels import gaps, take_back  # noqa: E402

nan = float("nan")
PLOT = os.path.join(SCRIPTS, "plot_levels.py")


def run_plot(command, folder, settings, size_limit=resource.RLIM_INFINITY):
    def limits():
        os.umask(0o022)
        resource.setrlimit(resource.RLIMIT_FSIZE, (size_limit, size_limit))
    return subprocess.run(command, cwd=folder, preexec_fn=limits, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                          text=True, env=dict(os.environ, MPLCONFIGDIR=settings, PYTHONPATH=SCRIPTS,
                                              PYTHONDONTWRITEBYTECODE="1"))


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

    def test_the_registration_is_said_in_one_line_from_the_hosts_listing(self):
        listing = ("bundle: B\npackage name: Kelvane\neffect com.x.k\n  name: K\n  category: 0x2 dynamics\n"
                   "  component 1\n    field 0: audio in\n      input stem format {}\n"
                   "parameters (stereo instance at 48000 Hz):\n  dbMain           \"Level\" 0.5 (0.50)\n"
                   "  dbVocal          \"Vocal Mode\" 0 (Off)\n    a continued line\n")
        for formats, said in ((["mono"], "mono"), (["mono", "stereo"], "mono and stereo")):
            text = listing.format("\n      input stem format ".join(formats))
            self.assertEqual(report.registration_summary(text), f'the effect "K" (com.x.k, dynamics) for {said} tracks, '
                                                                 "with the parameters dbMain and dbVocal")

    def test_the_plot_marks_where_gain_is_not_drawn_across_the_windows_it_spans(self):
        for time, gain, stretches in (([0.025, 0.075, 0.125, 0.175], [1, nan, nan, 2], [(0.05, 0.15)]),
                                      ([0.025, 0.075, 0.1], [nan, 3, nan], [(0.0, 0.05), (0.0875, 0.1)])):
            self.assertEqual([(round(a, 6), round(b, 6)) for a, b in gaps(time, gain)], stretches)

    def test_the_plots_help_reads_whole_and_says_what_each_argument_is(self):
        text = subprocess.run([PLOT, "--help"], stdout=subprocess.PIPE, text=True, check=True).stdout
        self.assertTrue(text.split("\n\n")[1].endswith("."), text)
        for name in ("LEVELS.csv", "OUT.png", "--seconds S", "--bypass START:END", "--automation T:V,...",
                     "--title TEXT"):
            self.assertRegex(text, rf"\n  {re.escape(name)}\s+\w")

    def test_the_plot_replaces_its_output_whole_or_leaves_it_as_it_was(self):
        stopped = ("import os, signal, sys, plot_levels; fsync = os.fsync; sys.argv[1:] = ['levels.csv', 'old.png']; "
                   "os.fsync = lambda fd: (os.kill(os.getpid(), signal.SIGTERM), fsync(fd)); plot_levels.main()")
        with tempfile.TemporaryDirectory() as folder, tempfile.TemporaryDirectory() as settings:
            for name, content in (("levels.csv", "time_s,input_dbfs,output_dbfs,gain_db\n0.025,-20,-10,10\n"),
                                  ("old.png", "old"), ("target.png", "target")):
                with open(os.path.join(folder, name), "w") as file:
                    file.write(content)
            os.symlink("target.png", os.path.join(folder, "link.png"))
            os.mkdir(os.path.join(folder, "folder"))
            names, plot, unlimited = sorted(os.listdir(folder)), [PLOT, "levels.csv"], resource.RLIM_INFINITY
            cannot = "plot_levels: cannot write "
            # (command, limit on the size of a file, status, what it says): each leaves old.png as it was.
            for command, size_limit, status, said in (
                    (plot + ["old.png"], 100, 1, cannot + "'old.png': file too large"),
                    (["/usr/bin/python3", "-c", stopped], unlimited, -signal.SIGTERM, ""),
                    (plot + ["folder"], unlimited, 1, cannot + "'folder': is a directory"),
                    (plot + ["folder/"], unlimited, 1, cannot + "'folder/': is a directory"),
                    (["/usr/bin/python3", "-S"] + plot + ["old.png"], unlimited, 1,
                     "plot_levels: matplotlib is not installed (Debian package python3-matplotlib)")):
                with self.subTest(said or "stopped"):
                    done = run_plot(command, folder, settings, size_limit)
                    self.assertEqual((done.returncode, done.stderr), (status, said + "\n" if said else ""))
                    with open(os.path.join(folder, "old.png")) as file:
                        self.assertEqual(file.read(), "old")
                    self.assertEqual(sorted(os.listdir(folder)), names)
            for name in ("old.png", "link.png"):
                self.assertEqual(run_plot(plot + [name], folder, settings).returncode, 0)
                with open(os.path.join(folder, name), "rb") as file:
                    self.assertEqual(file.read(8), b"\x89PNG\r\n\x1a\n")
                self.assertEqual(os.lstat(os.path.join(folder, name)).st_mode, 0o100644)
            with open(os.path.join(folder, "target.png")) as file:
                self.assertEqual(file.read(), "target")
            self.assertEqual(sorted(os.listdir(folder)), names)

    def test_the_plot_takes_back_only_the_file_it_made(self):
        with tempfile.TemporaryDirectory() as folder:
            for name in ("made", "replaced since"):
                open(os.path.join(folder, name), "w").close()
            directory, made = os.open(folder, os.O_RDONLY), os.open(os.path.join(folder, "made"), os.O_RDONLY)
            for name in ("replaced since", "made"):
                take_back(directory, name, made)
            os.close(made)
            os.close(directory)
            self.assertEqual(os.listdir(folder), ["replaced since"])

    def test_the_renders_are_compared_by_their_audio_in_any_container_and_the_first_difference_is_named(self):
        audio = numpy.array([(i / 10, -i / 10) for i in range(10)], numpy.float32)
        audio.view(numpy.uint32)[3, 0] = 0x7FC00001  # a quiet NaN
        changed, other_nan, negative_zero = audio.copy(), audio.copy(), audio.copy()
        changed[7, 1] = 0.5
        # The signalling NaN of the same payload: only the quiet bit differs, which a conversion would set.
        other_nan.view(numpy.uint32)[3, 0] = 0x7F800001
        negative_zero[0, 0] = -0.0
        pcm = audio.copy()
        pcm[3, 0] = 0.25
        pcm_changed = pcm.copy()
        pcm_changed[9, 0] += 2 ** -23  # the least significant bit of 24
        # (audio a, its sample format, audio b, its rate, its sample format): what the comparison says.
        cases = ((audio, "FLOAT", audio, 48000, "FLOAT", None),
                 (audio, "FLOAT", changed, 48000, "FLOAT", "frame 7 (0.000145833 s)"),
                 (audio, "FLOAT", other_nan, 48000, "FLOAT", "frame 3 (6.25e-05 s)"),
                 (audio, "FLOAT", negative_zero, 48000, "FLOAT", "frame 0 (0 s)"),
                 (audio, "FLOAT", audio[:4], 48000, "FLOAT", "frame 4 (8.33333e-05 s)"),
                 (audio[:8], "FLOAT", audio, 48000, "FLOAT", "frame 8 (0.000166667 s)"),
                 (audio, "FLOAT", audio, 44100, "FLOAT", "formats differ (48000 Hz, 2 channels, FLOAT against "
                                                          "44100 Hz, 2 channels, FLOAT)"),
                 (audio, "FLOAT", audio[:, :1], 48000, "FLOAT", "1 channel"),
                 (pcm, "FLOAT", pcm, 48000, "PCM_24", "formats differ"),
                 (pcm, "PCM_24", pcm, 48000, "PCM_24", None),
                 (pcm, "PCM_24", pcm_changed, 48000, "PCM_24", "frame 9 (0.0001875 s)"))
        with tempfile.TemporaryDirectory() as folder:
            a, b = os.path.join(folder, "a"), os.path.join(folder, "b")
            for container_a, container_b in itertools.product(("WAV", "RF64", "W64"), repeat=2):
                for audio_a, subtype_a, audio_b, rate_b, subtype_b, expected in cases:
                    soundfile.write(a, audio_a, 48000, subtype_a, format=container_a)
                    soundfile.write(b, audio_b, rate_b, subtype_b, format=container_b)
                    # Blocks of 4 frames put the differences past the first block.
                    difference = report.audio_difference(a, b, block=4)
                    with self.subTest(container_a=container_a, container_b=container_b, expected=expected):
                        if expected is None:
                            self.assertIsNone(difference)
                        else:
                            self.assertIn(expected, str(difference))
            # libsndfile's PEAK chunk holds the time of writing, which is no part of the audio.
            float_wav(a, audio[:, :1].tolist(), 1234, channels=1)
            float_wav(b, audio[:, :1].tolist(), 5678, channels=1)
            self.assertIsNone(report.audio_difference(a, b))

    def test_the_report_names_the_outputs_container_and_size_only_when_it_is_rf64(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "kelvane-output.wav")
            for container, subtype, expected in (("WAV", "FLOAT", "`kelvane-output.wav` (32-bit float)"),
                                                 ("WAV", "PCM_24", "`kelvane-output.wav` (24-bit PCM)"),
                                                 ("RF64", "FLOAT", "`kelvane-output.wav` (32-bit float, RF64: a WAV "
                                                                   "file holds at most 4 GiB, this one is 184 bytes)")):
                soundfile.write(path, numpy.zeros((10, 2), numpy.float32), 48000, subtype, format=container)
                self.assertEqual(report.output_text(path), expected)
        for size, expected in ((1, "1 byte"), (184, "184 bytes"), (5 << 20, "5.0 MiB"), (4 << 30, "4.00 GiB"),
                               ((4 << 30) + (1 << 20), "4.01 GiB"), (int(9.5 * (1 << 30)), "9.50 GiB")):
            self.assertEqual(report.job_output.size_text(size), expected)

    def test_a_render_that_cannot_be_read_is_named_with_the_reason_in_one_line(self):
        with tempfile.TemporaryDirectory() as folder:
            missing, text = os.path.join(folder, "missing.wav"), os.path.join(folder, "text.wav")
            with open(text, "w") as file:
                file.write("not audio\n")
            descriptors = len(os.listdir("/proc/self/fd"))
            with self.assertRaisesRegex(report.AudioError, f"^'{missing}': no such file or directory$"):
                report.audio_difference(missing, text)
            with self.assertRaisesRegex(report.AudioError, f"^'{text}': format not recognised$"):
                report.audio_difference(text, text)
            self.assertEqual(len(os.listdir("/proc/self/fd")), descriptors)
            with self.assertRaisesRegex(SystemExit, f"^main_job_report: cannot read '{text}': format not recognised$"):
                report.output_text(text)
