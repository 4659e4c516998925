# The results folder's rules: what the job takes for its own, what its mark proves, what a run removes and what
# it only names, the swap and what it says when it does not go through, and how its scripts end on a failure.
# Every test works in a temporary folder of its own and never in the folder it runs from.

import errno
import hashlib
import io
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import unittest.mock

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")
sys.path.insert(0, SCRIPTS)

import job_output  # noqa: E402
from results import Refusal, checks, keeper, mark  # noqa: E402
from results.mark import MARK  # noqa: E402


NOBODY, NOGROUP = 65534, 65534


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


def contents(folder):
    """Every entry below `folder`, each file with its checksum: what a run must leave as it was."""
    found = {}
    for base, folders, files in os.walk(folder):
        for name in folders + files:
            path = os.path.join(base, name)
            relative = os.path.relpath(path, folder)
            if os.path.islink(path):
                found[relative] = "-> " + os.readlink(path)
            elif os.path.isfile(path):
                with open(path, "rb") as file:
                    found[relative] = hashlib.sha256(file.read()).hexdigest()
            else:
                found[relative] = "folder"
    return found


def opened(folder):
    return os.open(folder, os.O_RDONLY | os.O_DIRECTORY)


def refusal(folder, trust_ctime=False):
    descriptor = opened(folder)
    try:
        checks.check(descriptor, folder, trust_ctime)
        return None
    except Refusal as refused:
        return str(refused)
    finally:
        os.close(descriptor)


def write_mark(folder, kind="results", name=None):
    descriptor = opened(folder)
    try:
        mark.mark(descriptor, folder, kind, name)
    finally:
        os.close(descriptor)


def claim(folder, name):
    descriptor = opened(folder)
    try:
        mark.claim(descriptor, folder, name)
    finally:
        os.close(descriptor)


class InATemporaryFolder(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.addCleanup(self.tmp.cleanup)
        self.parent = self.tmp.name
        self.folder = os.path.join(self.parent, "out")
        os.mkdir(self.folder)
        # A fault that reached for the current folder would reach this empty one.
        elsewhere = tempfile.TemporaryDirectory()
        self.addCleanup(elsewhere.cleanup)
        self.addCleanup(os.chdir, os.getcwd())
        os.chdir(elsewhere.name)

    def fresh(self):
        for name in os.listdir(self.parent):
            subprocess.run(["rm", "-rf", os.path.join(self.parent, name)], check=True)
        os.mkdir(self.folder)


class WhatAFolderHolds(InATemporaryFolder):
    def test_a_folder_is_taken_only_while_it_holds_what_a_run_wrote_unchanged(self):
        legacy = {name + ("/" if name == "chunks" else ""): "" for name in mark.LEGACY}
        results = {"report.md": "# report\n", "chunks/": "", "chunks/elck.chunk": "0123"}
        report = os.path.join(self.folder, "report.md")

        def edit_keeping_size_and_time():
            before = os.stat(report)
            make(self.folder, {"report.md": "# REPORT\n"})
            os.utime(report, ns=(before.st_atime_ns, before.st_mtime_ns))

        def replace(name, how):
            path = os.path.join(self.folder, name)
            shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
            how(path)

        # label | what the folder holds (marked by a run, or as an earlier version left it) | a change after | refusal
        rows = (
            ("empty", {}, None, None),
            ("marked", results, None, None),
            ("one added", results, {"notes.txt": "mine"}, "holds 'notes.txt', which the main job did not write"),
            ("one added in a folder", results, {"chunks/mine": ""}, "holds 'chunks/mine'"),
            ("edited, same size", results, {"report.md": "# REPORT\n"},
             "holds 'report.md', which changed since the main job wrote it"),
            ("edited, same size and time", results, edit_keeping_size_and_time, "'report.md', which changed since"),
            ("grown", results, {"chunks/elck.chunk": "01234"}, "'chunks/elck.chunk', which changed since"),
            ("touched only", results, lambda: os.utime(report, (1, 1)), None),
            ("a file made a folder", results, lambda: replace("report.md", os.mkdir), "holds 'report.md'"),
            ("a folder made a link", results, lambda: replace("chunks", lambda path: os.symlink(self.parent, path)),
             "holds 'chunks', which the main job did not write"),
            ("a file made a FIFO", results, lambda: replace("report.md", os.mkfifo), "holds 'report.md'"),
            ("earlier version, whole", legacy, None, None),
            ("earlier version, with its demo", legacy, {"demo-input.wav": ""}, None),
            ("earlier version, a part", {}, {"report.md": "", "levels.png": ""},
             "holds an incomplete earlier result of the main job (it lacks 'chunks')"),
            ("earlier version, one more", legacy, {"notes.txt": ""}, "holds 'notes.txt'"),
        )
        for label, entries, then, expected in rows:
            for trust_ctime in (False, True):
                with self.subTest(label, trust_ctime=trust_ctime):
                    self.fresh()
                    make(self.folder, entries)
                    if entries is results:
                        write_mark(self.folder)
                    if callable(then):
                        then()
                    else:
                        make(self.folder, then or {})
                    refused = refusal(self.folder, trust_ctime)
                    self.assertEqual(expected is None, refused is None, refused)
                    self.assertIn(expected or "", refused or "")

    def test_a_mark_that_is_not_a_plain_mark_is_refused_in_one_line_naming_it(self):
        path = os.path.join(self.folder, MARK)
        notes = os.path.join(self.parent, "notes.txt")

        def damage(old, new):
            return lambda: make(self.folder, {MARK: read(path).replace(old, new)})

        def append(data):
            with open(path, "ab") as file:
                file.write(data)

        # what takes the mark's place | what the refusal says of it
        rows = ((lambda: os.remove(path) or os.symlink(notes, path), "is a symbolic link, not the main job's mark"),
                (lambda: os.remove(path) or os.mkdir(path), "is a folder, not the main job's mark"),
                (lambda: os.remove(path) or os.mkfifo(path), "is not a plain file"),
                (lambda: make(self.folder, {MARK: ""}), "is empty, not the main job's mark"),
                (damage("report.md\t9", "report.md\t9x4"), "is damaged at line 3 ('report.md\\t9x4\\t"),
                (damage("\tclaim\tresults", "\tclaim\tmine"), "is damaged at line 4 ('\\tclaim\\tmine"),
                (damage("report.md", "../report.md"), "is damaged at line 3"),
                (lambda: make(self.folder, {MARK: "\n"}), "is not the main job's mark: it has no heading"),
                (lambda: append(b"\xff\n"), "is not text"))
        for change, expected in rows:
            with self.subTest(expected):
                self.fresh()
                make(self.parent, {"notes.txt": "my notes"})
                make(self.folder, {"report.md": "# report\n"})
                write_mark(self.folder)
                change()
                refused = refusal(self.folder) or "taken"
                self.assertTrue(refused.startswith(f"'{path}' {expected}"), refused)
                self.assertTrue(refused.endswith("; move the folder away or name another results folder in KELVANE_OUT"))
                self.assertEqual(read(notes), "my notes")

    def test_a_mark_is_never_written_through_a_link_or_another_name(self):
        make(self.parent, {"notes.txt": "my notes"})
        notes = os.path.join(self.parent, "notes.txt")
        for link in (os.symlink, os.link):
            with self.subTest(link.__name__):
                self.fresh()
                make(self.parent, {"notes.txt": "my notes"})
                link(notes, os.path.join(self.folder, MARK))
                descriptor = opened(self.folder)
                with self.assertRaises(Refusal):
                    mark.write_mark(descriptor, self.folder, [mark.MARK_HEADER], "results", "out")
                os.close(descriptor)
                self.assertEqual(read(notes), "my notes")

    def test_a_mark_of_an_earlier_version_lists_names_alone(self):
        make(self.folder, {"report.md": "edited", MARK: "header\n.kelvane-results\nreport.md\n"})
        self.assertIsNone(refusal(self.folder))
        make(self.folder, {"levels.png": ""})
        self.assertIn("holds 'levels.png'", refusal(self.folder))
        # Claimed, such results get their checksums: a file changed since stays, one unchanged goes, one that
        # came after the check is not claimed, and stays.
        make(self.folder, {"levels.txt": "kept as it was",
                           MARK: "header\n.kelvane-results\nreport.md\nlevels.txt\n\tclaim\tresults\t5\t6\n"})
        claim(self.folder, "out")
        make(self.folder, {"levels.txt": "changed after the claim"})
        descriptor = opened(self.folder)
        entries = mark.read_mark(descriptor, self.folder).entries
        self.assertEqual(mark.remove_listed(descriptor, entries, False), ["levels.png", "levels.txt"])
        os.close(descriptor)

    def test_the_walk_stops_at_the_first_entry_of_someone_else(self):
        make(self.folder, {"a/": "", "a/deep/": "", "a/deep/deeper/": "", "b.txt": ""})
        listed = []
        scandir = os.scandir
        with unittest.mock.patch.object(mark.os, "scandir", lambda where: listed.append(where) or scandir(where)):
            self.assertIn("holds 'a'", refusal(self.folder))
        # The folder, and the first foreign one to tell whether it holds results; nothing deeper.
        self.assertEqual(len(listed), 2)

    def test_a_results_folder_named_as_a_work_folder_or_inside_one_is_refused(self):
        # results folder | the refusal, or None
        rows = ((".out.new-30777391", "is named as the main job names its hidden work folders"),
                (".res.old-abc_12", "is named as the main job names"),
                (".out.new-30777391/sub", f"is inside '{self.parent}/.out.new-30777391'"),
                (".out.new-toolongname", None), ("out.new-30777391", None), (".new-3077739", None))
        for name, expected in rows:
            with self.subTest(name):
                try:
                    checks.check_name(os.path.join(self.parent, name))
                    refused = None
                except Refusal as refused_here:
                    refused = str(refused_here)
                self.assertEqual(expected is None, refused is None, refused)
                self.assertIn(expected or "", refused or "")

    def test_a_results_folder_inside_earlier_results_or_holding_them_is_refused(self):
        legacy = {name + ("/" if name == "chunks" else ""): "" for name in mark.LEGACY}
        make(self.folder, {"report.md": ""})
        write_mark(self.folder)
        make(self.parent, {"legacy/": "", "holder/": ""})
        make(os.path.join(self.parent, "legacy"), legacy)
        os.symlink(self.folder, os.path.join(self.parent, "holder", "res"))
        shutil.copytree(self.folder, os.path.join(self.parent, "holder", "copy"))
        # results folder | the refusal
        rows = (("out/sub", f"'{self.folder}/sub' is inside '{self.folder}', the main job's earlier results"),
                ("out/chunks/deeper", f"is inside '{self.folder}'"),
                ("legacy/chunks", "is inside '" + os.path.join(self.parent, "legacy") + "'"),
                ("holder", "holds 'copy', the main job's earlier results"), ("elsewhere", None))
        for folder, expected in rows:
            with self.subTest(folder):
                path = os.path.join(self.parent, folder)
                try:
                    checks.check_not_nested(path)
                    refused = refusal(path) if os.path.isdir(path) else None
                except Refusal as refused_here:
                    refused = str(refused_here)
                self.assertEqual(expected is None, refused is None, refused)
                self.assertIn(expected or "", refused or "")
                self.assertNotIn("did not write", refused or "")

    def test_the_space_the_results_need_is_compared_with_the_disk_before_the_renders(self):
        descriptor = opened(self.folder)
        self.addCleanup(os.close, descriptor)
        hour = checks.results_bytes(3600 * 48000 * 2 * 4, 3600)
        self.assertEqual(hour, 2 * 1382400000 + 72001 * checks.LEVELS_ROW_BYTES + checks.SMALL_FILES_BYTES)
        # A disk with 4 MiB free: outputs of a second | the demo's input, already on it | the refusal
        rows = ((500_000, 0, None), (1_000_000, 500_000, None),
                (1_100_000, 0, f"the results need about 4.0 MiB and the disk of '{self.folder}' has 4.0 MiB free; "
                               "free some room or name another results folder in KELVANE_OUT"))
        disk = unittest.mock.Mock(f_bavail=1024, f_frsize=4096)
        for output, demo, expected in rows:
            with self.subTest(output=output, demo=demo), \
                    unittest.mock.patch.object(checks.os, "fstatvfs", return_value=disk):
                try:
                    checks.room(descriptor, self.folder, output, 1, demo)
                    said = None
                except Refusal as refused:
                    said = str(refused)
                self.assertEqual(said, expected)
        for count, container, expected in ((1844, "WAV", "a WAV file of 1844 bytes"),
                                           (230_400_044, "WAV", "a WAV file of 219.7 MiB"),
                                           (8_600_000_000, "RF64", "an RF64 file (a WAV file holds at most 4 GiB) "
                                                                   "of 8.01 GiB")):
            self.assertEqual(checks.output_text(container, count), "the output will be " + expected)


class WithRuns(InATemporaryFolder):
    def a_run(self, results=None):
        """A run on the results folder, with its work folder holding `results`, marked, ready to swap."""
        said = []
        run = keeper.Run(self.folder, said.append)
        run.start()
        self.addCleanup(run.finish)
        run.make_work()
        if results is not None:
            make(run.at(run.work), results)
            run.mark()
        return run, said

    def previous_results(self, results=None):
        first, _ = self.a_run(results or {"report.md": "old"})
        first.swap()
        first.finish()

    @staticmethod
    def kill(run):
        """What kill -9 does to a run: its locks go with it, nothing else."""
        for descriptor in (run.out_fd, run.work_fd, run.parent_fd):
            if descriptor is not None:
                os.close(descriptor)
        run.out_fd = run.work_fd = run.parent_fd = run.work = None
        run.made_out = False


class Runs(WithRuns):
    def test_what_dead_runs_left_is_named_with_the_command_and_never_touched(self):
        self.previous_results()
        # Runs side by side, each holding the lock on its work folder (the one on the results folder let go for
        # the next); two of them are then killed, one after it marked its results, and one is left alive.
        runs = []
        for results in (None, {"report.md": "new"}, None):
            runs.append(self.a_run(results)[0])
            os.close(runs[-1].out_fd)
            runs[-1].out_fd = None
        killed, complete, live = (run.at(run.work) for run in runs)
        make(killed, {"mine.txt": "the user's, in a dead run's folder"})
        self.kill(runs[0])
        self.kill(runs[1])
        # Look-alikes with the user's content: a copy of a dead run's folder under another name, one removed and
        # copied back under its own (ext4 hands the copy the same inode numbers), a copy of the results, the
        # user's own.
        shutil.copytree(killed, os.path.join(self.parent, ".out.new-mine123"), symlinks=True)
        saved = os.path.join(self.parent, "saved")
        subprocess.run(["cp", "-a", complete, saved], check=True)
        subprocess.run(["rm", "-rf", complete], check=True)
        subprocess.run(["cp", "-a", saved, complete], check=True)
        subprocess.run(["cp", "-a", self.folder, os.path.join(self.parent, ".out.old-backup")], check=True)
        make(self.parent, {".out.old-20251206/diary.txt": "", ".out.new-my_pic/img1.jpg": ""})
        before = contents(self.parent)
        sweeper, said = self.a_run()
        own = os.path.relpath(sweeper.at(sweeper.work), self.parent)
        self.assertEqual({name: value for name, value in contents(self.parent).items()
                          if not name.startswith(own)}, before)
        # The dead run's folder that holds the user's file is named by that file, never as a leftover.
        self.assertEqual(said, [f"run: '{complete}' holds results that a run of the main job stopped by force left "
                                f"beside '{self.folder}'; remove it once you have kept what you want of it: rm -rf -- "
                                f"{complete}",
                                "run: folders that stopped runs of the main job left beside "
                                f"'{self.folder}' also hold what those runs did not write, so they stay as they are: "
                                f"'{killed}/mine.txt'"])
        self.assertTrue(os.path.isdir(live))

    def test_many_dead_runs_are_named_in_a_line_for_each_kind_with_one_command_that_removes_just_those(self):
        dead = []
        for results in (None, None, None, {"report.md": "new"}):
            run = self.a_run(results)[0]
            os.close(run.out_fd)
            run.out_fd = None
            dead.append(run.at(run.work))
            self.kill(run)
        # One cut short by a power cut: its mark came back empty.
        with open(os.path.join(dead[2], MARK), "w"):
            pass
        _, said = self.a_run()
        work = sorted(dead[:2])
        self.assertEqual(said, [f"run: 2 folders beside '{self.parent}' were left by runs of the main job that were "
                                f"stopped, and hold only what they wrote: rm -rf -- {' '.join(work)}",
                                f"run: '{dead[3]}' holds results that a run of the main job stopped by force left "
                                f"beside '{self.folder}'; remove it once you have kept what you want of it: rm -rf -- "
                                f"{dead[3]}",
                                f"run: '{dead[2]}' was left by a run of the main job stopped as it wrote (its mark is "
                                "empty or cut short, as after a power cut); remove it if nothing in it is yours: rm -rf "
                                f"-- {dead[2]}"])
        subprocess.run(["bash", "-c", said[0].split(": ", 2)[2]], check=True)
        self.assertEqual([os.path.exists(path) for path in dead], [False, False, True, True])

    def test_what_is_left_of_replaced_results_is_said_without_calling_the_users_file_theirs(self):
        self.previous_results()
        second, said = self.a_run({"report.md": "new"})
        work = second.at(second.work)

        def a_file_of_the_users_then_a_refusal(*_):
            make(work, {"notes.txt": "mine"})
            raise PermissionError(errno.EACCES, "Permission denied")

        with unittest.mock.patch.object(keeper, "remove_listed", a_file_of_the_users_then_a_refusal):
            second.swap()
        self.assertEqual(said, [f"run: the new results are in '{self.folder}'; the previous ones could not all be "
                                f"removed (permission denied); '{work}' also holds 'notes.txt', which is not theirs "
                                f"and stays; what is left of them there: rm -f -- {work}/report.md"])

    def test_the_swap_exchanges_the_folders_or_renames_twice_and_removes_only_the_unchanged_results(self):
        for fallback in ("", "1"):
            with self.subTest(fallback=fallback), unittest.mock.patch.dict(
                    os.environ, {"KELVANE_TEST_SWAP_FALLBACK": fallback}):
                self.fresh()
                self.previous_results({"report.md": "old", "chunks/": "", "chunks/elck.chunk": "0123"})
                inode = os.stat(self.folder).st_ino
                second, said = self.a_run({"report.md": "new"})
                second.swap()
                second.finish()
                self.assertEqual(read(os.path.join(self.folder, "report.md")), "new")
                self.assertNotEqual(os.stat(self.folder).st_ino, inode)
                self.assertEqual((os.listdir(self.parent), said), (["out"], []))

    def test_previous_results_are_removed_entry_by_entry_and_what_else_they_hold_kept_beside(self):
        self.previous_results({"report.md": "old", "levels.csv": "1", "levels.txt": "same size",
                               "chunks/": "", "chunks/elck.chunk": "0123"})
        second, said = self.a_run({"report.md": "new"})
        # The fast path on inode and times is taken only where the time of status change is real (ext4, tmpfs).
        self.assertTrue(second.trust_ctime)

        def change():
            # Added and changed after the swap's check, as it renames; one edit keeps size and time of change.
            path = os.path.join(self.folder, "levels.txt")
            before = os.stat(path)
            make(self.folder, {"my-notes.txt": "mine", "chunks/img2.jpg": "", "levels.csv": "2",
                               "levels.txt": "SAME SIZE"})
            os.utime(path, ns=(before.st_atime_ns, before.st_mtime_ns))

        claimed = mark.claim
        with unittest.mock.patch.object(keeper, "claim", lambda *arguments: (claimed(*arguments), change())[0]):
            second.swap()
        kept = [name for name in os.listdir(self.parent) if name.startswith("out.kelvane-")][0]
        self.assertEqual(sorted(contents(os.path.join(self.parent, kept))),
                         ["chunks", "chunks/img2.jpg", "levels.csv", "levels.txt", "my-notes.txt"])
        self.assertEqual(read(os.path.join(self.parent, kept, "levels.txt")), "SAME SIZE")
        self.assertEqual(said, [f"run: 'chunks/img2.jpg', 'levels.csv', 'levels.txt', …, found in '{self.folder}' "
                                "as the run replaced it and not as the main job wrote them, are kept in "
                                f"'{self.parent}/{kept}'"])

    def test_the_swap_leaves_a_folder_that_changed_or_moved_as_it_is_and_keeps_the_results_beside(self):
        moved = os.path.join(self.parent, "moved")
        # what the user did during the run | what the refusal says
        rows = ((lambda: make(self.folder, {"my-notes.txt": "mine"}),
                 f"as '{self.folder}' holds 'my-notes.txt', which the main job did not write; it stays as it is"),
                (lambda: make(self.folder, {"chunks/img2.jpg": ""}), "holds 'chunks/img2.jpg'"),
                (lambda: os.rename(self.folder, moved) or make(self.folder, {"thesis.txt": "years"}),
                 f"as '{self.folder}' is no longer the folder this run started with; it stays as it is"))
        for change, expected in rows:
            with self.subTest(expected):
                self.fresh()
                run, _ = self.a_run({"report.md": "new"})
                change()
                user = contents(self.folder)
                with self.assertRaises(Refusal) as refused:
                    run.swap()
                run.finish()
                kept = [name for name in os.listdir(self.parent) if name.startswith("out.kelvane-")]
                self.assertIn(expected, str(refused.exception))
                self.assertIn(f"; the new results are in '{self.parent}/{kept[0]}'", str(refused.exception))
                self.assertEqual(read(os.path.join(self.parent, kept[0], "report.md")), "new")
                self.assertEqual(contents(self.folder), user)
                self.assertFalse([name for name in os.listdir(self.parent) if name.startswith(".out.")])

    def test_a_folder_put_in_the_work_folders_place_is_never_moved_nor_removed(self):
        run, _ = self.a_run({"report.md": "new"})
        work = run.at(run.work)
        os.rename(work, os.path.join(self.parent, "moved"))
        make(self.parent, {f"{run.work}/thesis.txt": "years"})
        before = contents(self.parent)
        with self.assertRaises(Refusal) as refused:
            run.swap()
        run.finish()
        self.assertIn(f"'{work}' is no longer the folder this run made", str(refused.exception))
        self.assertEqual(contents(self.parent), before)

    def test_a_mark_changed_after_the_claim_is_kept_with_the_folder_it_marks(self):
        self.previous_results()
        second, said = self.a_run({"report.md": "new"})
        claimed = mark.claim

        def claim_then_edit(folder, where, name):
            text = claimed(folder, where, name)
            with open(os.path.join(self.folder, MARK), "a") as file:
                file.write("my own line\n")
            return text

        with unittest.mock.patch.object(keeper, "claim", claim_then_edit):
            second.swap()
        kept = [name for name in os.listdir(self.parent) if name.startswith("out.kelvane-")][0]
        self.assertEqual(os.listdir(os.path.join(self.parent, kept)), [MARK])
        self.assertTrue(read(os.path.join(self.parent, kept, MARK)).endswith("my own line\n"))
        self.assertEqual(said, [f"run: '{MARK}', found in '{self.folder}' as the run replaced it and not as the main "
                                f"job wrote it, is kept in '{self.parent}/{kept}'"])

    def test_results_a_swap_cannot_move_aside_stay_where_they_are_and_it_says_so(self):
        run, _ = self.a_run({"report.md": "new"})
        make(self.folder, {"my-notes.txt": "mine"})
        work = run.at(run.work)
        rename_aside = run.rename_aside

        def refuse_visible(source, target):
            if "kelvane-" in target:
                raise PermissionError(errno.EACCES, "Permission denied", target)
            return rename_aside(source, target)

        with unittest.mock.patch.object(run, "rename_aside", refuse_visible), self.assertRaises(Refusal) as refused:
            run.swap()
        run.finish()
        self.assertRegex(str(refused.exception), f"; the new results stay in '{work}' \\(they could not be moved to "
                                                 f"'{self.parent}/out.kelvane-[0-9-]+': permission denied\\)$")
        self.assertEqual(read(os.path.join(work, "report.md")), "new")
        self.assertEqual(read(os.path.join(self.folder, "my-notes.txt")), "mine")

    def test_a_results_folder_made_in_the_gap_of_two_renames_stays_and_both_results_are_named(self):
        self.previous_results()
        second, _ = self.a_run({"report.md": "new"})
        sleep = keeper.time.sleep

        def gap(seconds):
            if not os.path.exists(self.folder):
                make(self.folder, {"thesis.txt": "years"})
            sleep(seconds)

        with unittest.mock.patch.dict(os.environ, {"KELVANE_TEST_SWAP_FALLBACK": "1"}), \
                unittest.mock.patch.object(keeper.time, "sleep", gap), self.assertRaises(Refusal) as refused:
            second.swap()
        second.finish()
        old = [name for name in os.listdir(self.parent) if name.startswith(".out.old-")][0]
        new = [name for name in os.listdir(self.parent) if name.startswith("out.kelvane-")][0]
        self.assertIn(f"'{self.folder}', made again meanwhile, stays as it is; the previous results are in "
                      f"'{self.parent}/{old}'; the new results are in '{self.parent}/{new}'", str(refused.exception))
        self.assertNotIn("as they were", str(refused.exception))
        self.assertEqual([read(os.path.join(self.parent, *path)) for path in
                          (("out", "thesis.txt"), (old, "report.md"), (new, "report.md"))], ["years", "old", "new"])

    def test_after_the_exchange_a_failure_says_where_the_previous_results_are(self):
        self.previous_results()
        second, said = self.a_run({"report.md": "new"})
        work = second.at(second.work)
        denied = PermissionError(errno.EACCES, "Permission denied")
        with unittest.mock.patch.object(keeper, "remove_listed", side_effect=denied):
            second.swap()
        second.finish()
        self.assertEqual(read(os.path.join(self.folder, "report.md")), "new")
        self.assertEqual(read(os.path.join(work, "report.md")), "old")
        self.assertEqual(said, [f"run: the new results are in '{self.folder}'; the previous ones could not all be "
                                f"removed (permission denied); what is left of them is in '{work}': rm -rf -- {work}"])

    def test_a_run_removes_of_its_work_folder_only_what_it_recorded_as_each_step_ended(self):
        run, said = self.a_run()
        work = run.at(run.work)
        make(work, {"render.txt": "step 5", "levels.csv": "step 7"})
        run.note()
        # After the last record: a step's output changed, the user's file, a half-written output of the step that
        # failed.
        make(work, {"levels.csv": "STEP 7", "my-notes.txt": "mine", "levels.png": "half"})
        run.finish()
        kept = [name for name in os.listdir(self.parent) if name.startswith("out.kelvane-")][0]
        self.assertEqual(contents(os.path.join(self.parent, kept)).keys(), {"levels.csv", "levels.png", "my-notes.txt"})
        self.assertEqual(said, [f"run: 'levels.csv', 'levels.png', 'my-notes.txt', found in its work folder '{work}' "
                                f"and not as the main job wrote them, are kept in '{self.parent}/{kept}'"])

    def test_a_work_folder_the_run_cannot_remove_keeps_its_claim_and_is_named(self):
        run, said = self.a_run({"report.md": "new"})
        work = run.at(run.work)
        rmdir = os.rmdir

        def refuse_the_work_folder(name, dir_fd=None):
            if name == run.work:
                raise PermissionError(errno.EACCES, "Permission denied")
            return rmdir(name, dir_fd=dir_fd)

        with unittest.mock.patch.object(keeper.os, "rmdir", refuse_the_work_folder):
            run.finish()
        self.assertEqual(said, [f"run: cannot remove its work folder '{work}' (permission denied): rm -rf -- {work}"])
        self.assertEqual(os.listdir(work), [MARK])
        _, said = self.a_run()
        self.assertTrue(said[0].startswith(f"run: '{work}' was left by a run of the main job that was stopped, and "
                                           "holds only what it wrote"), said)

    def test_results_a_killed_swap_left_aside_are_put_back_only_whole(self):
        aside = os.path.join(self.parent, ".out.old-1a2b3c4d")

        def left_aside():
            """The previous results as a run killed between the fallback's two renames leaves them."""
            self.previous_results()
            claim(self.folder, ".out.old-1a2b3c4d")
            os.rename(self.folder, aside)

        left_aside()
        _, said = self.a_run()
        self.assertEqual(read(os.path.join(self.folder, "report.md")), "old")
        self.assertEqual(said, [f"run: put back the previous results in '{self.folder}', which a run stopped by "
                                f"force while it swapped them had left aside in '{aside}'"])
        # what the user did to what was left aside | the refusal, or None | put back
        rows = ((lambda: make(aside, {"report.md": "OLD"}), f"cannot be put back: '{aside}' holds 'report.md', which "
                 "changed since", False),
                (lambda: make(aside, {"notes.txt": "mine"}), f"cannot be put back: '{aside}' holds 'notes.txt'", False),
                (lambda: os.rename(aside, aside.replace("1a2b3c4d", "mine1234")), None, False),
                (lambda: subprocess.run(["cp", "-a", aside, aside.replace("1a2b3c4d", "mine1234")], check=True), None,
                 True),
                (lambda: (subprocess.run(["cp", "-a", aside, aside.replace("1a2b3c4d", "2b3c4d5e")], check=True),
                          claim(aside.replace("1a2b3c4d", "2b3c4d5e"), ".out.old-2b3c4d5e")), f"'{aside}', "
                 f"'{aside.replace('1a2b3c4d', '2b3c4d5e')}' each hold results", False))
        for change, expected, put_back in rows:
            with self.subTest(expected, put_back=put_back):
                self.fresh()
                left_aside()
                change()
                before = contents(self.parent)
                run = keeper.Run(self.folder, [].append)
                try:
                    run.start()
                    refused = None
                except Refusal as refused_here:
                    refused = str(refused_here)
                run.finish()
                self.assertEqual(expected is None, refused is None, refused)
                self.assertIn(expected or "", refused or "")
                self.assertEqual(os.path.exists(os.path.join(self.folder, "report.md")), put_back)
                if not put_back:
                    self.assertEqual(contents(self.parent), before)

    def test_only_the_folder_that_was_checked_is_put_back(self):
        aside = os.path.join(self.parent, ".out.old-1a2b3c4d")
        self.previous_results()
        claim(self.folder, ".out.old-1a2b3c4d")
        os.rename(self.folder, aside)
        real_check = keeper.check

        def check_then_swap_in_another(descriptor, where, *rest):
            real_check(descriptor, where, *rest)
            os.rename(aside, aside + "-moved")
            make(aside, {"notes.txt": "mine"})

        run = keeper.Run(self.folder, [].append)
        self.addCleanup(run.finish)
        with unittest.mock.patch.object(keeper, "check", check_then_swap_in_another):
            with self.assertRaisesRegex(Refusal, "is no longer the folder this run made"):
                run.start()
        self.assertFalse(os.path.exists(self.folder))
        self.assertEqual(contents(aside), {"notes.txt": hashlib.sha256(b"mine").hexdigest()})


class AnotherUser(WithRuns):
    """A second user of the machine, played by nobody: what they own or can write is never trusted."""

    def refused_start(self):
        run = keeper.Run(self.folder, [].append)
        try:
            run.start()
            return None
        except Refusal as refused:
            return str(refused)
        finally:
            run.finish()

    def test_a_folder_another_user_owns_or_can_write_is_refused_before_anything_is_touched(self):
        out, parent = self.folder, self.parent
        # what is done to the results folder or its parent | what the one line says, or None when it is taken
        rows = ((lambda: os.chown(out, NOBODY, -1), f"'{out}' belongs to another user (nobody)"),
                (lambda: os.chmod(out, 0o777), f"'{out}' can be written by other users (mode 0777)"),
                (lambda: (os.chown(out, -1, NOGROUP), os.chmod(out, 0o775)), "can be written by the group nogroup, "
                 "which has other members (mode 0775)"),
                (lambda: (os.chown(out, -1, 4242), os.chmod(out, 0o2770)), None),
                (lambda: os.chmod(parent, 0o777), f"'{parent}' can be written by other users (mode 0777) and is not "
                 "sticky"),
                (lambda: os.chmod(parent, 0o1777), None),
                (lambda: (os.chmod(parent, 0o1777), os.chown(parent, NOBODY, -1)), "belongs to another user (nobody)"))
        for change, expected in rows:
            with self.subTest(expected):
                self.fresh()
                make(out, {"notes.txt": "mine"})
                change()
                before = contents(parent)
                refused = self.refused_start()
                os.chown(parent, 0, 0)
                os.chmod(parent, 0o700)
                self.assertIn(expected or "holds 'notes.txt'", refused or "")
                self.assertEqual(contents(parent), before)

    def test_what_another_user_left_is_never_the_jobs(self):
        aside = os.path.join(self.parent, ".out.old-1a2b3c4d")
        self.previous_results()
        claim(self.folder, ".out.old-1a2b3c4d")
        os.rename(self.folder, aside)
        subprocess.run(["chown", "-R", "nobody", aside], check=True)
        # The parent, made sticky, is as /tmp: their leftovers are there, and so is a mark of theirs.
        os.chmod(self.parent, 0o1777)
        make(self.parent, {MARK: "heading\n"})
        os.chown(os.path.join(self.parent, MARK), NOBODY, -1)
        before = contents(aside)
        run, said = self.a_run()
        self.assertEqual((os.listdir(self.folder), said, contents(aside)), ([], [], before))
        run.finish()
        # The same mark of the runner's own is the job's: the results folder is inside earlier results.
        os.chown(os.path.join(self.parent, MARK), 0, -1)
        self.assertIn("the main job's earlier results", self.refused_start())
        os.chown(os.path.join(self.parent, MARK), NOBODY, -1)
        make(self.folder, {MARK: "heading\n"})
        os.chown(os.path.join(self.folder, MARK), NOBODY, -1)
        self.assertIn(f"'{self.folder}/{MARK}' is another user's (nobody), not the main job's mark",
                      self.refused_start())

    def test_a_lock_another_program_holds_is_said_as_it_is_and_finished_results_are_kept(self):
        def locked_by_another_program():
            holder = subprocess.Popen(["flock", "-n", self.parent, "sleep", "30"])
            self.addCleanup(holder.wait)
            self.addCleanup(holder.kill)
            while f" {holder.pid} " not in read("/proc/locks"):
                time.sleep(0.01)
            return f"'{self.parent}' is locked by a program that is not a run of the main job: 'flock -n " \
                   f"{self.parent} sleep 30' (process {holder.pid}, user root)"

        run, said = self.a_run({"report.md": "new"})
        held = locked_by_another_program()
        with self.assertRaises(Refusal) as refused:
            run.swap()
        kept = [name for name in os.listdir(self.parent) if name.startswith("out.kelvane-")]
        self.assertEqual(str(refused.exception), f"the results were not put in place, as {held}; the new results "
                                                 f"are in '{self.parent}/{kept[0]}'")
        self.assertEqual(read(os.path.join(self.parent, kept[0], "report.md")), "new")
        started = time.monotonic()
        self.assertEqual(self.refused_start(), f"{held}; try again once it has let go")
        self.assertLess(time.monotonic() - started, 2)


class PowerCut(WithRuns):
    def test_the_work_folder_is_private_until_its_results_are_marked(self):
        os.chmod(self.folder, 0o750)
        run, _ = self.a_run()
        self.assertEqual(os.stat(run.at(run.work)).st_mode & 0o777, 0o700)
        make(run.at(run.work), {"report.md": "new"})
        run.mark()
        self.assertEqual(os.stat(run.at(run.work)).st_mode & 0o777, 0o750)

    def test_what_the_swap_puts_in_place_is_on_the_disk_before_it_and_the_swap_before_the_old_results_go(self):
        self.previous_results()
        run, _ = self.a_run({"report.md": "new", "chunks/elck.chunk": "0123"})
        events, real_sync, real_rename, real_clear = [], mark.sync, keeper.Run.rename, keeper.Run.clear

        def synced(descriptor):
            events.append(("sync", os.fstat(descriptor).st_ino))
            real_sync(descriptor)

        def renamed(self, source, target, *rest, **named):
            events.append(("rename", source, target))
            real_rename(self, source, target, *rest, **named)

        def cleared(self, *arguments):
            events.append(("clear",))
            real_clear(self, *arguments)

        inode = lambda *path: os.stat(os.path.join(*path)).st_ino  # noqa: E731
        with unittest.mock.patch.object(mark, "sync", synced), unittest.mock.patch.object(keeper, "sync", synced), \
                unittest.mock.patch.object(keeper.Run, "rename", renamed), \
                unittest.mock.patch.object(keeper.Run, "clear", cleared):
            work = run.at(run.work)
            run.mark()
            results = [inode(work, *name) for name in (("report.md",), ("chunks", "elck.chunk"), ("chunks",), (MARK,))]
            run.swap()
        exchange = next(number for number, event in enumerate(events) if event[0] == "rename")
        for wanted in results + [inode(self.folder)]:
            self.assertIn(("sync", wanted), events[:exchange])
        self.assertIn(("sync", inode(self.parent)), events[exchange:events.index(("clear",))])


class Keeper(InATemporaryFolder):
    """The keeper as run.sh drives it: requests on its input, answers on its output, what it says on stderr."""

    def serve(self, requests, answers=None):
        answers, errors = answers or io.StringIO(), io.StringIO()
        with unittest.mock.patch.object(sys, "stdin", io.StringIO("".join(line + "\n" for line in requests))), \
                unittest.mock.patch.object(sys, "stdout", answers), unittest.mock.patch.object(sys, "stderr", errors):
            keeper.serve(self.folder, io.StringIO())
        return answers.getvalue().split(), errors.getvalue()

    def test_a_fault_is_said_in_one_line_and_nothing_further_is_touched(self):
        broken = ValueError("invalid literal for int() with base 10: '28x4'")
        with unittest.mock.patch.object(keeper, "ctime_is_real", side_effect=broken):
            answers, said = self.serve(["work", "mark", "swap"])
        self.assertEqual((answers[:2], answers[2:]), (["ok", "empty"], ["no", "no", "no"]))
        self.assertEqual(said, "run: ValueError: invalid literal for int() with base 10: '28x4' (a fault of the job; "
                               "nothing further was touched)\n")
        # The work folder it made stays, for a later run to name: after a fault the keeper removes nothing.
        self.assertEqual(len([name for name in os.listdir(self.parent) if name.startswith(".out.new-")]), 1)

    def test_an_answer_the_job_is_no_longer_there_to_read_is_not_a_failed_swap(self):
        class GoneBeforeTheSwapsAnswer(io.StringIO):
            def write(self, text):
                answered = [line for line in self.getvalue().splitlines() if line.startswith("ok")]
                if len(answered) == 3 and text.startswith("ok"):
                    raise BrokenPipeError(errno.EPIPE, "Broken pipe")
                return super().write(text)

        answers, said = self.serve(["work", "mark", "swap"], GoneBeforeTheSwapsAnswer())
        self.assertEqual((answers[:2], len(answers), said), (["ok", "empty"], 6,
                                                             f"run: the new results are in '{self.folder}'\n"))
        self.assertEqual(sorted(os.listdir(self.folder)), [MARK, "chunks"])


class Scripts(InATemporaryFolder):
    def test_a_full_disk_is_said_the_same_way_whichever_step_found_it(self):
        full = (f"run: the disk of '{self.folder}' is full (no space left on device); the previous results are as "
                "they were")
        for text, previous, expected in (
                ("plot_levels: cannot write 'levels.png': no space left on device", "results", full),
                ("tee: report.md: No space left on device", "results", full),
                ("x: cannot write 'y': no space left on device", "empty",
                 full.replace("the previous results are as they were", "no results were written")),
                ("x: cannot write 'y': disk quota exceeded", "results",
                 full.replace("no space left on device", "disk quota exceeded")),
                ("kelvane_host: cannot read 'a.wav': input/output error", "results",
                 "kelvane_host: cannot read 'a.wav': input/output error")):
            done = subprocess.run(["/usr/bin/python3", "-B", os.path.join(SCRIPTS, "results_folder.py"), "failed",
                                   self.folder, previous, text], stderr=subprocess.PIPE, text=True)
            self.assertEqual((done.returncode, done.stderr), (1, expected + "\n"))

    def test_names_are_shown_quoted_so_that_none_starts_a_line_of_its_own(self):
        undecoded = b"a\xff".decode("utf-8", "surrogateescape")
        # name | as the job's messages show it | as a word of a command to paste into bash
        for name, shown, word in (("/tmp/out", "'/tmp/out'", "/tmp/out"), ("my out", "'my out'", "'my out'"),
                                  ("it's", '"it\'s"', "'it'\"'\"'s'"), ("a\\b", '"a\\\\b"', "'a\\b'"),
                                  ("q\nrun: rm -rf ~ #", '"q\\nrun: rm -rf ~ #"', "$'q\\nrun: rm -rf ~ #'"),
                                  ("tab\there", '"tab\\there"', "$'tab\\there'"), (undecoded, '"a\\377"', "$'a\\377'"),
                                  ("日本", "'日本'", "'日本'")):
            with self.subTest(name):
                self.assertEqual((job_output.shown(name), job_output.shell_word(name)), (shown, word))
                self.assertEqual(subprocess.run(["bash", "-c", f"printf %s {word}"], capture_output=True).stdout,
                                 os.fsencode(name))

    def test_a_write_that_fails_ends_in_one_line_naming_the_file_and_why(self):
        os.symlink("/dev/full", os.path.join(self.folder, MARK))
        printing = "import job_output; job_output.run('printing', lambda: print('x' * 100000))"
        rows = ((["results_folder.py", "mark", self.folder], f"run: '{self.folder}/.kelvane-results' is a symbolic "
                 "link, not the main job's mark; move the folder away or name another results folder in KELVANE_OUT"),
                (["-c", printing], "printing: cannot write the standard output: no space left on device"))
        for command, expected in rows:
            with self.subTest(command[0]):
                script = [os.path.join(SCRIPTS, command[0])] if command[0].endswith(".py") else command[:1]
                with open("/dev/full", "w") as full:
                    done = subprocess.run(["/usr/bin/python3", "-B"] + script + command[1:], stdout=full, text=True,
                                          stderr=subprocess.PIPE, cwd=SCRIPTS,
                                          env=dict(os.environ, MPLCONFIGDIR=self.parent))
                self.assertEqual((done.returncode, done.stderr), (1, expected + "\n"))


if __name__ == "__main__":
    unittest.main()
