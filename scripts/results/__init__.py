"""The rules of the main job's results folder (scripts/run.sh), one home each: `mark` (the mark a run writes in
the folders it makes, and what it proves), `checks` (what a results folder may hold and be named, the room the
results need) and `keeper` (one run's life: its locks, its work folder, the swap). scripts/results_folder.py is
their command line."""

import errno

ADVICE = "move it away or name another results folder in KELVANE_OUT"
FULL = {errno.ENOSPC, errno.EDQUOT}


class Refusal(Exception):
    """What stops a run: `what` is the fact, the message adds what the user can do."""

    def __init__(self, what, advice=ADVICE):
        super().__init__(f"{what}; {advice}" if advice else what)
        self.what = what
