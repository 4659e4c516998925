"""How the main job's Python scripts end on a failed write (a full disk, a folder that went away): one line
naming the file and the system's reason, status 1, never a traceback."""

import math
import os
import shlex
import sys
import unicodedata


def reason(error):
    """An OSError's reason as the system words it, in lower case: "no space left on device"."""
    text = os.strerror(error.errno) if error.errno else str(error)
    return text[:1].lower() + text[1:]


def size_text(size):
    """A size as every message of the job says it, in binary units."""
    if size < 1 << 20:
        return "1 byte" if size == 1 else f"{size} bytes"
    if size < 1 << 30:
        return f"{size / (1 << 20):.1f} MiB"
    # Rounded up, so that a file just past 4 GiB does not read as 4.00.
    return f"{math.ceil(size / (1 << 30) * 100) / 100:.2f} GiB"


ESCAPES = {"\a": "a", "\b": "b", "\t": "t", "\n": "n", "\v": "v", "\f": "f", "\r": "r", "\\": "\\"}


def plain(text):
    """Whether `text` can be shown as it is: no control character (which could start a line of its own or move
    the cursor) and nothing a file system handed over undecoded."""
    return not any(unicodedata.category(char) in ("Cc", "Cs") or char in "\u2028\u2029" for char in text)


def escaped(text, quote):
    """`text` with backslash escapes for what is not plain, as C and git write them; bytes a file system handed
    over undecoded as octal."""
    out = []
    for char in text:
        if char in ESCAPES or char == quote:
            out.append("\\" + ESCAPES.get(char, char))
        elif plain(char):
            out.append(char)
        else:
            out.extend(f"\\{byte:03o}" for byte in char.encode("utf-8", "surrogateescape"))
    return "".join(out)


def shown(text):
    """A name or path as every message of the job shows it: 'like this', or, when it holds a control character,
    a quote or a backslash, "like\\nthis" with escapes as git shows such paths: no name starts a line of its own."""
    if plain(text) and "'" not in text and "\\" not in text:
        return f"'{text}'"
    return f'"{escaped(text, chr(34))}"'


def shell_word(text):
    """`text` as one word of a command to paste into bash: quoted as usual, or as $'...' when it holds a
    control character."""
    return shlex.quote(text) if plain(text) else f"$'{escaped(text, chr(39))}'"


def run(program, main):
    """Runs main(); its standard output is flushed and checked before the program ends."""
    try:
        main()
        sys.stdout.flush()
    except OSError as error:
        # What could not be flushed would be tried again, and reported at length, as Python exits.
        os.dup2(os.open(os.devnull, os.O_WRONLY), sys.stdout.fileno())
        where = f"'{error.filename}'" if error.filename else "the standard output"
        sys.exit(f"{program}: cannot write {where}: {reason(error)}")
