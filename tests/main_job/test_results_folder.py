# The results folder's rules: what the job takes for its own, which work folders it removes, the swap, and
# how its scripts end on a write that fails.

import errno
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import unittest.mock

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")
sys.path.insert(0, SCRIPTS)

import results_folder as rules  # noqa: E402


def make(folder, entries):
    """Files (with their content) and folders (names ending in '/') under `folder`."""
    for name, content in entries.items():
        path = os.path.join(folder, name)
        if name.endswith("/"):
            os.makedirs(path, exist_ok=True)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as file:
                file.write(content)


def read(path):
    with open(path) as file:
        return file.read()


def refusal(folder):
    try:
        rules.check(folder)
        return None
    except rules.Refusal as refused:
        return str(refused)


class ResultsFolder(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.folder = os.path.join(self.tmp.name, "out")
        os.mkdir(self.folder)
        self.addCleanup(self.tmp.cleanup)

    def test_a_folder_is_taken_only_while_it_holds_what_a_run_wrote_unchanged(self):
        legacy = {name + ("/" if name == "chunks" else ""): "" for name in rules.LEGACY}
        results = {"report.md": "# report\n", "chunks/": "", "chunks/elck.chunk": "0123"}
        # label | what the folder holds (marked by a run, or as an earlier version left it) | a change after | refusal
        rows = (
            ("empty", {}, None, None),
            ("marked", results, None, None),
            ("one added", results, {"notes.txt": "mine"}, "holds 'notes.txt', which the main job did not write"),
            ("one added in a folder", results, {"chunks/mine": ""}, "holds 'chunks/mine'"),
            ("edited, same size", results, {"report.md": "# REPORT\n"},
             "holds 'report.md', which changed since the main job wrote it"),
            ("grown", results, {"chunks/elck.chunk": "01234"}, "'chunks/elck.chunk', which changed since"),
            ("touched only", results, lambda: os.utime(os.path.join(self.folder, "report.md"), (1, 1)), None),
            ("a file made a folder", results, {"report.md": None}, "holds 'report.md'"),
            ("earlier version, whole", legacy, None, None),
            ("earlier version, with its demo", legacy, {"demo-input.wav": ""}, None),
            ("earlier version, a part", {}, {"report.md": "", "levels.png": ""},
             "holds an incomplete earlier result of the main job (it lacks 'chunks')"),
            ("earlier version, one more", legacy, {"notes.txt": ""}, "holds 'notes.txt'"),
        )
        for label, entries, then, expected in rows:
            with self.subTest(label):
                subprocess.run(["rm", "-rf", self.folder], check=True)
                os.mkdir(self.folder)
                make(self.folder, entries)
                if entries is results:
                    rules.mark(self.folder)
                if callable(then):
                    then()
                for name, content in (then or {}).items() if isinstance(then, dict) else ():
                    if content is None:
                        os.remove(os.path.join(self.folder, name))
                        os.mkdir(os.path.join(self.folder, name))
                    else:
                        make(self.folder, {name: content})
                refused = refusal(self.folder)
                if expected is None:
                    self.assertIsNone(refused)
                else:
                    self.assertIn(expected, refused or "taken")

    def test_a_mark_of_an_earlier_version_lists_names_alone(self):
        make(self.folder, {"report.md": "edited", rules.MARK: "header\n.kelvane-results\nreport.md\n"})
        self.assertIsNone(refusal(self.folder))
        make(self.folder, {"levels.png": ""})
        self.assertIn("holds 'levels.png'", refusal(self.folder))
        # Set aside, such results go only as they were when claimed: a file changed since stays.
        make(self.folder, {"levels.txt": "kept as it was", rules.MARK: "header\n.kelvane-results\nreport.md\nlevels.txt\n"})
        rules.claim(self.folder)
        make(self.folder, {"levels.txt": "changed after the claim"})
        self.assertEqual(rules.remove_results(self.folder), ["levels.png", "levels.txt"])

    def test_the_walk_stops_at_the_first_entry_of_someone_else(self):
        make(self.folder, {"a/": "", "a/deep/": "", "b.txt": ""})
        listed = []
        scandir = rules.os.scandir
        with unittest.mock.patch.object(rules.os, "scandir", lambda path: listed.append(path) or scandir(path)):
            self.assertIn("holds 'a'", refusal(self.folder))
        self.assertEqual(listed, [os.path.join(self.folder, "")])

    def a_run(self, results=None):
        """A run on the results folder, with its work folder holding `results`, marked, ready to swap."""
        said = []
        run = rules.Run(self.folder, said.append)
        run.start()
        self.addCleanup(run.finish)
        run.make_work()
        if results is not None:
            make(run.work, results)
            rules.mark(run.work)
        return run, said

    @staticmethod
    def kill(run):
        """What kill -9 does to a run: its locks go with it, nothing else."""
        for descriptor in (run.out_lock, run.work_lock):
            if descriptor is not None:
                os.close(descriptor)
        run.out_lock = run.work_lock = run.work = None
        run.made_out = False

    def test_only_folders_that_carry_their_own_claim_are_the_jobs(self):
        run, _ = self.a_run({"report.md": "new"})
        work = run.work
        shutil.copytree(work, work + "-copy", symlinks=True)
        subprocess.run(["cp", "-a", work, os.path.join(self.tmp.name, "copied")], check=True)
        os.symlink(work, os.path.join(self.tmp.name, "link"))
        make(self.tmp.name, {"bare/": "", "bare/report.md": ""})
        make(self.tmp.name, {"linked-mark/": ""})
        os.symlink(os.path.join(work, rules.MARK), os.path.join(self.tmp.name, "linked-mark", rules.MARK))
        os.rename(work, os.path.join(self.tmp.name, "renamed"))
        run.finish()
        # folder | the claim it holds on itself
        rows = (("renamed", "results"), ("renamed-copy", None), ("copied", None), ("link", None), ("bare", None),
                ("linked-mark", None), ("missing", None))
        os.rename(work + "-copy", os.path.join(self.tmp.name, "renamed-copy"))
        for folder, expected in rows:
            with self.subTest(folder):
                self.assertEqual(rules.claim_of(os.path.join(self.tmp.name, folder)), expected)

    def test_the_sweep_removes_only_what_stopped_runs_claimed_and_keeps_what_else_they_hold(self):
        parent = self.tmp.name
        previous, _ = self.a_run({"report.md": "old", "chunks/": "", "chunks/elck.chunk": "0123"})
        previous.swap()
        previous.finish()
        # Runs side by side, each holding the lock on its work folder (the one on the results folder let go for
        # the next); two of them are then killed, one after it marked its results.
        runs = []
        for results in (None, {"report.md": "new"}, None):
            runs.append(self.a_run(results)[0])
            runs[-1].out_lock = os.close(runs[-1].out_lock)
        killed, complete, live = runs
        make(complete.work, {"chunks/img2.jpg": "a photo"})
        made_by_killed, complete_name = [os.path.basename(killed.work)], os.path.basename(complete.work)
        self.kill(killed)
        self.kill(complete)
        # Look-alikes, each with the user's content: a copy of real results, folders of the user's own.
        subprocess.run(["cp", "-a", self.folder, os.path.join(parent, ".out.old-backup")], check=True)
        make(parent, {".out.old-backup/my-notes.txt": "mine", ".out.old-20251206/diary.txt": "",
                      ".out.new-my_pic/img1.jpg": "", ".res.new-photos/img.jpg": ""})
        lookalikes = {name: sorted(os.listdir(os.path.join(parent, name)))
                      for name in (".out.old-backup", ".out.old-20251206", ".out.new-my_pic", ".res.new-photos")}
        sweeper, said = self.a_run()
        removed = sorted(made_by_killed + [complete_name])
        self.assertIn(f"run: removed {', '.join(removed)} beside '{self.folder}', left by runs stopped by force",
                      said)
        kept = [name for name in os.listdir(parent) if name.startswith("out.kelvane-")]
        self.assertEqual(len(kept), 1)
        self.assertEqual(os.listdir(os.path.join(parent, kept[0])), ["chunks"])
        self.assertEqual(read(os.path.join(parent, kept[0], "chunks", "img2.jpg")), "a photo")
        self.assertIn(f"run: 'chunks/img2.jpg', found in '{parent}/{complete_name}', left by a run stopped by force "
                      f"and not as the main job wrote it, is kept in '{parent}/{kept[0]}'", said)
        for name, entries in lookalikes.items():
            self.assertEqual(sorted(os.listdir(os.path.join(parent, name))), entries)
        self.assertTrue(os.path.isdir(live.work))
        self.assertEqual(read(os.path.join(self.folder, "report.md")), "old")

    def test_a_claimed_folder_the_sweep_cannot_remove_is_named_with_why(self):
        killed, _ = self.a_run()
        left = killed.work
        self.kill(killed)
        denied = PermissionError(errno.EACCES, "Permission denied", "f.txt")
        with unittest.mock.patch.object(rules.shutil, "rmtree", side_effect=denied):
            _, said = self.a_run()
        self.assertEqual(said, [f"run: cannot remove '{left}', left by a run stopped by force: permission denied; "
                                "remove it yourself"])

    def test_the_swap_exchanges_the_folders_or_renames_twice_and_removes_only_the_unchanged_results(self):
        for fallback in ("", "1"):
            with self.subTest(fallback=fallback), unittest.mock.patch.dict(
                    os.environ, {"KELVANE_TEST_SWAP_FALLBACK": fallback}):
                subprocess.run(["rm", "-rf", self.folder], check=True)
                first, _ = self.a_run({"report.md": "old", "chunks/": "", "chunks/elck.chunk": "0123"})
                first.swap()
                first.finish()
                inode = os.stat(self.folder).st_ino
                second, said = self.a_run({"report.md": "new"})
                second.swap()
                second.finish()
                self.assertEqual(read(os.path.join(self.folder, "report.md")), "new")
                self.assertNotEqual(os.stat(self.folder).st_ino, inode)
                self.assertEqual((sorted(os.listdir(self.tmp.name)), said), (["out"], []))

    def test_previous_results_are_removed_entry_by_entry_and_what_else_they_hold_kept_beside(self):
        first, _ = self.a_run({"report.md": "old", "levels.csv": "1", "chunks/": "", "chunks/elck.chunk": "0123"})
        first.swap()
        first.finish()
        second, said = self.a_run({"report.md": "new"})
        # Added and changed after the swap's check, as it renames.
        check = rules.check
        changes = {"my-notes.txt": "mine", "chunks/img2.jpg": "", "levels.csv": "2"}
        with unittest.mock.patch.object(rules, "check", lambda folder: check(folder) or make(folder, changes)):
            second.swap()
        kept = os.path.join(self.tmp.name, [name for name in os.listdir(self.tmp.name) if name != "out"][0])
        self.assertEqual(sorted(path for path, _ in rules.entries_of(kept)),
                         ["chunks", "chunks/img2.jpg", "levels.csv", "my-notes.txt"])
        self.assertEqual(said, [f"run: 'chunks/img2.jpg', 'levels.csv', 'my-notes.txt', found in '{self.folder}' "
                                f"as the run replaced it and not as the main job wrote them, are kept in '{kept}'"])

    def test_the_swap_leaves_a_folder_that_changed_or_moved_as_it_is_and_keeps_the_results_beside(self):
        moved = os.path.join(self.tmp.name, "moved")
        # what the user did during the run | what the refusal says
        rows = ((lambda: make(self.folder, {"my-notes.txt": "mine"}),
                 f"as '{self.folder}' holds 'my-notes.txt', which the main job did not write"),
                (lambda: make(self.folder, {"chunks/img2.jpg": ""}), "holds 'chunks/img2.jpg'"),
                (lambda: os.rename(self.folder, moved) or make(self.folder, {"thesis.txt": "years"}),
                 f"as '{self.folder}' is no longer the folder this run started with"))
        for change, expected in rows:
            with self.subTest(expected):
                subprocess.run(["rm", "-rf", self.tmp.name + "/"], check=True)
                os.mkdir(self.tmp.name)
                run, _ = self.a_run({"report.md": "new"})
                before = sorted(os.listdir(self.tmp.name))
                change()
                with self.assertRaises(rules.Refusal) as refused:
                    run.swap()
                run.finish()
                kept = [name for name in os.listdir(self.tmp.name) if name.startswith("out.kelvane-")]
                self.assertIn(expected, str(refused.exception))
                self.assertIn(f"the new results are in '{self.tmp.name}/{kept[0]}'", str(refused.exception))
                self.assertEqual(read(os.path.join(self.tmp.name, kept[0], "report.md")), "new")
                self.assertFalse(os.path.exists(os.path.join(self.folder, "report.md")))
                self.assertEqual(len(os.listdir(self.tmp.name)), len(before) + (1 if os.path.exists(moved) else 0))

    def test_results_a_killed_swap_left_aside_are_put_back_before_anything_else(self):
        first, _ = self.a_run({"report.md": "old"})
        first.swap()
        first.finish()
        aside = os.path.join(self.tmp.name, ".out.old-1a2b3c4d")
        os.rename(self.folder, aside)
        subprocess.run(["cp", "-a", aside, os.path.join(self.tmp.name, ".out.old-backup")], check=True)
        _, said = self.a_run()
        self.assertEqual(read(os.path.join(self.folder, "report.md")), "old")
        self.assertEqual([name[:9] for name in sorted(os.listdir(self.tmp.name))], [".out.new-", ".out.old-", "out"])
        self.assertTrue(os.path.isfile(os.path.join(self.tmp.name, ".out.old-backup", "report.md")))
        self.assertEqual(said, [f"run: put back the previous results in '{self.folder}', which a run stopped by "
                                "force while it swapped them had left aside"])

    def test_a_results_folder_inside_earlier_results_or_holding_them_is_refused(self):
        legacy = {name + ("/" if name == "chunks" else ""): "" for name in rules.LEGACY}
        make(self.folder, {"report.md": ""})
        rules.mark(self.folder)
        make(self.tmp.name, {"legacy/": "", "holder/": ""})
        make(os.path.join(self.tmp.name, "legacy"), legacy)
        os.symlink(self.folder, os.path.join(self.tmp.name, "holder", "res"))
        shutil.copytree(self.folder, os.path.join(self.tmp.name, "holder", "copy"))
        # results folder | the refusal
        rows = (("out/sub", f"'{self.folder}/sub' is inside '{self.folder}', the main job's earlier results"),
                ("out/chunks/deeper", f"is inside '{self.folder}'"),
                ("legacy/chunks", "is inside '" + os.path.join(self.tmp.name, "legacy") + "'"),
                ("holder", "holds 'copy', the main job's earlier results"), ("elsewhere", None))
        for folder, expected in rows:
            with self.subTest(folder):
                path = os.path.join(self.tmp.name, folder)
                try:
                    rules.check_not_nested(path)
                    if os.path.isdir(path):
                        rules.check(path)
                    refused = None
                except rules.Refusal as refusal:
                    refused = str(refusal)
                self.assertEqual(expected is None, refused is None, refused)
                self.assertIn(expected or "", refused or "")
                self.assertNotIn("did not write", refused or "")

    def test_the_space_the_results_need_is_compared_with_the_disk_before_the_renders(self):
        run, _ = self.a_run()
        hour = rules.results_bytes(3600 * 48000 * 2 * 4, 3600)
        self.assertEqual(hour, 2 * 1382400000 + 72001 * rules.LEVELS_ROW_BYTES + rules.SMALL_FILES_BYTES)
        # A disk with 4.1 MB free: outputs of a second | the demo's input, already on it | refused
        rows = ((500_000, 0, False), (1_100_000, 0, True), (1_000_000, 500_000, False))
        disk = unittest.mock.Mock(f_bavail=1000, f_frsize=4096)
        with unittest.mock.patch.object(rules.os, "statvfs", return_value=disk):
            for output, demo, refused in rows:
                with self.subTest(output=output, demo=demo):
                    try:
                        run.room(output, 1, demo)
                        said = None
                    except rules.Refusal as refusal:
                        said = str(refusal)
                    self.assertEqual(said is not None, refused, said)
        with unittest.mock.patch.object(rules.os, "statvfs", return_value=disk), self.assertRaises(rules.Refusal) as no:
            run.room(1_100_000, 1, 0)
        self.assertEqual(str(no.exception), f"the results need about 4.2 MB and the disk of '{self.folder}' has "
                         "4.1 MB free; free some room or name another results folder in KELVANE_OUT")
        for count, container, expected in ((1844, "WAV", "a WAV file of 1.8 kB"),
                                           (999, "WAV", "a WAV file of 999 bytes"),
                                           (8_600_000_000, "RF64", "an RF64 file (a WAV file holds at most 4 GiB) "
                                                                   "of 8.6 GB")):
            self.assertEqual(rules.output_text(container, count), "the output will be " + expected)

    def test_a_full_disk_is_said_the_same_way_whichever_step_found_it(self):
        make(self.folder, {"report.md": ""})
        full = (f"run: the disk of '{self.folder}' is full (no space left on device); the previous results are as "
                "they were")
        for text, expected in (("plot_levels: cannot write 'levels.png': no space left on device", full),
                               ("tee: report.md: No space left on device", full),
                               ("x: cannot write 'y': disk quota exceeded", full.replace(
                                   "no space left on device", "disk quota exceeded")),
                               ("kelvane_host: cannot read 'a.wav': input/output error",
                                "kelvane_host: cannot read 'a.wav': input/output error")):
            done = subprocess.run(["/usr/bin/python3", "-B", os.path.join(SCRIPTS, "results_folder.py"), "failed",
                                   self.folder, text], stderr=subprocess.PIPE, text=True)
            self.assertEqual((done.returncode, done.stderr), (1, expected + "\n"))

    def test_a_write_that_fails_ends_in_one_line_naming_the_file_and_why(self):
        for name in (os.path.join(self.folder, rules.MARK), os.path.join(self.tmp.name, "levels.png")):
            os.symlink("/dev/full", name)
        levels, plot = os.path.join(self.tmp.name, "levels.csv"), os.path.join(self.tmp.name, "levels.png")
        make(self.tmp.name, {"levels.csv": "time_s,input_dbfs,output_dbfs,gain_db\n0.025,-20,-10,10\n"})
        printing = "import job_output; job_output.run('printing', lambda: print('x' * 100000))"
        rows = ((["results_folder.py", "mark", self.folder], f"run: cannot write '{self.folder}/.kelvane-results'"),
                (["plot_levels.py", levels, plot], f"plot_levels: cannot write '{plot}'"),
                (["-c", printing], "printing: cannot write the standard output"))
        for command, expected in rows:
            with self.subTest(command[0]):
                script = [os.path.join(SCRIPTS, command[0])] if command[0].endswith(".py") else command[:1]
                with open("/dev/full", "w") as full:
                    done = subprocess.run(["/usr/bin/python3", "-B"] + script + command[1:], stdout=full, text=True,
                                          stderr=subprocess.PIPE, cwd=SCRIPTS,
                                          env=dict(os.environ, MPLCONFIGDIR=self.tmp.name))
                self.assertEqual((done.returncode, done.stderr), (1, expected + ": no space left on device\n"))

if __name__ == "__main__":
    unittest.main()
