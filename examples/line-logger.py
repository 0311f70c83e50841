#!/usr/bin/env python3
"""Keeps a record of the Mosswick chat: runs mosswick-console and writes
every chat line and popup message it shows to a file, one per line in UTF-8,
each with the moment it was seen, until it is stopped. Ctrl+C or SIGTERM
makes it leave the chat cleanly (/quit) and exit 0.

    examples/line-logger.py [--dir DIR] FILE

DIR holds the Mosswick.ini the console peer joins with (default: the current
directory). FILE is appended to; a line of it reads

    2026-12-09 08:15:02<TAB>1 青井 > おはようございます
    2026-12-09 08:15:40<TAB>[popup] 蓮見 > 会議は 3 時から

The console peer is $MOSSWICK_CONSOLE, else mosswick-console on PATH, else
build/native/mosswick-console of this repository. What the console says of
itself (its start, the user list, whiteboard strokes, message boxes) is not
recorded; message boxes and the console's errors go to standard error."""
import argparse
import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

# Lines the console prints about itself rather than about a message, by
# their first word. A user list is "[users] N" and N rows beginning with two
# spaces.
OWN_TAGS = ("[name] ", "[state] ", "[board] ", "[users] ")
BOX_TAGS = ("[error] ", "[warning] ", "[notice] ", "[info] ", "[message] ")
QUIT_WAIT = 20


def console_path():
    if os.environ.get("MOSSWICK_CONSOLE"):
        return os.environ["MOSSWICK_CONSOLE"]
    found = shutil.which("mosswick-console")
    if found:
        return found
    return str(Path(__file__).resolve().parents[1] / "build" / "native" / "mosswick-console")


class Sorter:
    """Tells the message lines from the console's own, line by line."""

    def __init__(self):
        self.rows_left = 0

    def is_message(self, line):
        if self.rows_left > 0:
            if line.startswith("  "):
                self.rows_left -= 1
                return False
            self.rows_left = 0
        if line.startswith("[users] "):
            count = line[len("[users] "):]
            self.rows_left = int(count) if count.isdigit() else 0
            return False
        return not line.startswith(OWN_TAGS + BOX_TAGS)


def main():
    parser = argparse.ArgumentParser(description="Writes the chat lines and popups of the Mosswick chat to a file.")
    parser.add_argument("--dir", default=".", help="the directory holding Mosswick.ini (default: here)")
    parser.add_argument("file", help="the file the lines are appended to")
    args = parser.parse_args()

    # Its own session: a Ctrl+C at the terminal reaches the logger alone,
    # which then tells the console to leave.
    console = subprocess.Popen([console_path(), "--dir", args.dir], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               start_new_session=True)
    stopping = False

    def stop(*_):
        nonlocal stopping
        if stopping:
            return
        stopping = True
        # A console that does not leave in time is ended, so that its output
        # closes and the loop below finishes.
        signal.signal(signal.SIGALRM, lambda *_: console.kill())
        signal.alarm(QUIT_WAIT)
        try:
            console.stdin.write(b"/quit\n")
            console.stdin.close()
        except OSError:
            pass  # the console has gone already

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)

    sorter = Sorter()
    with open(args.file, "a", encoding="utf-8", buffering=1) as out:
        for raw in console.stdout:
            line = raw.decode("utf-8", errors="replace").rstrip("\r\n")
            if sorter.is_message(line):
                out.write(time.strftime("%Y-%m-%d %H:%M:%S") + "\t" + line + "\n")
            elif line.startswith(BOX_TAGS):
                print(f"line-logger: console: {line}", file=sys.stderr)
    status = console.wait()
    # 0 after a clean leave; 1 when the console could not start or had to be
    # ended.
    return 1 if status < 0 else status


if __name__ == "__main__":
    sys.exit(main())
