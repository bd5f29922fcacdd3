"""The shipped library's source text, proplib.txt, as the generators rewrite it: where it
lies, how wide a property text may be, and the closing step each generator shares (check
the text against what is on disk, or put the new text in place synced, all or nothing)."""

import os

HERE = os.path.dirname(os.path.abspath(__file__))
LIB = os.path.join(HERE, "proplib.txt")
WIDTH = 300  # characters of a property text (the library's field width)


def read_lines():
    with open(LIB, encoding="utf-8") as fh:
        return fh.readlines()


def check_or_write(new, old, check, ok):
    """With `check`, compares the generated text with the file (the whole text: a
    generator may give chunks rather than lines); otherwise writes it when `ok`. Returns
    whether everything held."""
    if check:
        if "".join(new) != "".join(old):
            print("proplib.txt differs from the generated texts")
            ok = False
    elif ok:
        with open(LIB + ".tmp", "w", encoding="utf-8") as fh:
            fh.writelines(new)
            fh.flush()
            os.fsync(fh.fileno())
        os.replace(LIB + ".tmp", LIB)
        print("proplib.txt written")
    return ok
