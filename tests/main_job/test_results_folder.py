# The results folder's rules: what the job takes for its own, which work folders it removes, the swap, and
# how its scripts end on a write that fails.

import fcntl
import os
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

    def test_the_walk_stops_at_the_first_entry_of_someone_else(self):
        make(self.folder, {"a/": "", "a/deep/": "", "b.txt": ""})
        listed = []
        scandir = rules.os.scandir
        with unittest.mock.patch.object(rules.os, "scandir", lambda path: listed.append(path) or scandir(path)):
            self.assertIn("holds 'a'", refusal(self.folder))
        self.assertEqual(listed, [os.path.join(self.folder, "")])

    def test_only_work_folders_no_live_run_holds_are_removed(self):
        parent = self.tmp.name
        names = [".out.new-abc123", ".out.old-XYZ789", ".out.new-live01", ".out.new-short", ".other.new-abc123",
                 "out.new-abc123"]
        for name in names:
            make(parent, {name + "/": "", name + "/kelvane-output.wav": "x", name + "/chunks/": ""})
        os.symlink(self.folder, os.path.join(parent, ".out.new-link01"))
        live = os.open(os.path.join(parent, ".out.new-live01"), os.O_RDONLY)
        fcntl.flock(live, fcntl.LOCK_EX)
        self.addCleanup(os.close, live)
        self.assertEqual(rules.sweep(self.folder), [".out.new-abc123", ".out.old-XYZ789"])
        self.assertEqual(sorted(os.listdir(parent)), sorted(set(names) - {".out.new-abc123", ".out.old-XYZ789"}
                                                           | {"out", ".out.new-link01"}))

    def test_the_swap_puts_the_work_in_place_and_keeps_the_previous_results_on_failure(self):
        make(self.folder, {"report.md": "old"})
        work = os.path.join(self.tmp.name, ".out.new-aaaaaa")
        make(work, {"report.md": "new"})
        spare = rules.swap(self.folder, work)
        self.assertEqual(read(os.path.join(self.folder, "report.md")), "new")
        self.assertEqual(read(os.path.join(spare, "report.md")), "old")
        self.assertEqual(os.path.basename(spare)[:9], ".out.old-")
        # The work folder gone, the rename fails: the previous results go back.
        with self.assertRaises(FileNotFoundError):
            rules.swap(self.folder, work)
        self.assertEqual(read(os.path.join(self.folder, "report.md")), "new")

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
