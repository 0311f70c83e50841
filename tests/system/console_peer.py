"""The native console peer (build/native/mosswick-console) in a namespace of
the test network: its own directory with its Mosswick.ini, commands written
to its standard input, every line it prints kept in order for tests to wait
on.

What it prints: "[name] NAME" once the socket is set up; "[state] started" or
"[state] ended"; "[users] N" and then N lines "  name<TAB>status<TAB>address"
whenever the user list changes; each chat line as the output area shows it
("7 name > text"); "[popup] name > text"; each whiteboard stroke received as
"[board] name colour RRGGBB width W points N (x,y)-(x,y)" (its first and last
points; one point alone, none for no points) and a clear as "[board] name
clear"; "[error] ..." and message boxes as "[notice] ...", "[info] ...".
Texts are UTF-8."""
import collections
import re
import shutil
import subprocess
import threading
import time

import harness as h

CONSOLE_EXE = h.ROOT / "build" / "native" / "mosswick-console"
QUIT_WAIT = 20

# A chat line: an optional "[date time] " stamp, the number, the name, " > ".
CHAT_LINE = re.compile(r"^(?:\[[0-9/: ]+\] )?(-?\d+) (.*?) > (.*)$")

# A whiteboard line: the sender, then "clear" or the stroke's fields.
BOARD_LINE = re.compile(r"^\[board\] (.*?) (?:(clear)|colour ([0-9a-f]{6}) width (\d+) points (\d+)"
                        r"(?: \((\d+),(\d+)\)(?:-\((\d+),(\d+)\))?)?)$")

# What a console peer printed for one whiteboard datagram. colour is
# "rrggbb"; first and last are (x, y) points, None when the stroke has none.
BoardLine = collections.namedtuple("BoardLine", "sender clear colour width count first last")


def parse_board(line):
    """The BoardLine of a printed whiteboard line, or None."""
    match = BOARD_LINE.match(line)
    if not match:
        return None
    sender, clear, colour, width, count, x1, y1, x2, y2 = match.groups()
    if clear:
        return BoardLine(sender, True, None, None, 0, None, None)
    first = (int(x1), int(y1)) if x1 is not None else None
    last = (int(x2), int(y2)) if x2 is not None else first
    return BoardLine(sender, False, colour, int(width), int(count), first, last)


def board_colour(colour):
    """"rrggbb" for a colour given as that text or as an (r, g, b) tuple."""
    if isinstance(colour, str):
        return colour.lower()
    red, green, blue = colour
    return f"{red:02x}{green:02x}{blue:02x}"


def board_receivers(to):
    """The address list of /stroketo and /clearto: one address or several."""
    return to if isinstance(to, str) else ",".join(to)


def console_exe():
    """A copy of the console peer for this run, safe from rebuilds under way."""
    copy = h.WORK / "bin" / CONSOLE_EXE.name
    if not copy.exists():
        copy.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(CONSOLE_EXE, copy)
    return copy


def console_ini(name, hosts, start_send=True, **keys):
    """A Mosswick.ini for a console peer: its name, the host address list and
    any further Client_Definition keys."""
    client = {"Name": name, "Start_Send": "Yes" if start_send else "No", **keys}
    broadcast = {"Number": len(hosts)}
    broadcast.update({f"Address{i + 1:02d}": host for i, host in enumerate(hosts)})
    return h.ini_text({"Client_Definition": client, "Broadcast_Definition": broadcast})


def parse_chat(line):
    """(number, name, text) of a chat line, or None."""
    match = CHAT_LINE.match(line)
    return (int(match.group(1)), match.group(2), match.group(3)) if match else None


class ConsolePeer:
    """One console peer, run through tools/netbed.sh in namespace `slot` of
    the bed named `netbed` (None: the runner's bed)."""

    def __init__(self, name, slot, ini, netbed=None):
        self.name = name
        self.slot = slot
        self.address = h.slot_address(slot)
        self.netbed = netbed
        self.dir = h.WORK / "runs" / f"console-{name}-{netbed or h.netbed_prefix()}{slot}"
        if self.dir.exists():
            shutil.rmtree(self.dir)
        self.dir.mkdir(parents=True)
        (self.dir / "Mosswick.ini").write_bytes(ini)
        self.process = None
        self.lines = []
        self._changed = threading.Condition()
        self._reader = None
        self._stderr = None

    @property
    def log_path(self):
        return self.dir / "Mosslog.txt"

    def start(self):
        command = [str(h.NETBED), "exec", str(self.slot), str(console_exe()), "--dir", str(self.dir)]
        self._stderr = open(self.dir / "stderr.txt", "wb")
        self.process = subprocess.Popen(command, env=h.netbed_env(self.netbed), stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=self._stderr, start_new_session=True)
        self._reader = threading.Thread(target=self._read, name=f"console {self.name}", daemon=True)
        self._reader.start()
        return self

    def _read(self):
        for raw in self.process.stdout:
            line = raw.decode("utf-8", errors="replace").rstrip("\r\n")
            with self._changed:
                self.lines.append(line)
                self._changed.notify_all()
        with self._changed:
            self._changed.notify_all()

    def running(self):
        return self.process is not None and self.process.poll() is None

    def send(self, command):
        """Types one line (UTF-8) at the console."""
        self.process.stdin.write(command.encode("utf-8") + b"\n")
        self.process.stdin.flush()

    def send_lines(self, commands):
        """Types many lines at once."""
        self.process.stdin.write(b"".join(c.encode("utf-8") + b"\n" for c in commands))
        self.process.stdin.flush()

    def mark(self):
        """The number of lines printed so far: waits can start from here."""
        with self._changed:
            return len(self.lines)

    def wait_for(self, condition, timeout):
        """Waits until condition(lines) gives a true value and returns it;
        None when the time runs out or the peer has exited."""
        deadline = time.monotonic() + timeout
        with self._changed:
            while True:
                value = condition(self.lines)
                if value:
                    return value
                left = deadline - time.monotonic()
                if left <= 0 or (self._reader is not None and not self._reader.is_alive()):
                    return None
                self._changed.wait(min(left, 1.0))

    def wait_line(self, match, timeout, since=0):
        """The first line from index `since` on for which match(line) holds
        (a string matches itself), or None."""
        test = match if callable(match) else (lambda line: line == match)

        def found(lines):
            return next((line for line in lines[since:] if test(line)), None)

        return self.wait_for(found, timeout)

    def wait_ready(self, timeout=h.START_WAIT):
        """Waits for the socket to be set up; fails with what the peer said
        when it does not come."""
        if self.wait_line(lambda line: line.startswith("[name] "), timeout) is None:
            raise AssertionError(f"console peer {self.name} did not start: {self.describe()}")
        return self

    # The user list

    @staticmethod
    def user_lists(lines):
        """Every complete user list printed, in order: lists of
        (name, status, address)."""
        lists = []
        index = 0
        while index < len(lines):
            line = lines[index]
            index += 1
            if not line.startswith("[users] "):
                continue
            count = int(line.split()[1])
            rows = lines[index:index + count]
            if len(rows) < count or not all(row.startswith("  ") for row in rows):
                continue
            lists.append([tuple(row[2:].split("\t")) for row in rows])
            index += count
        return lists

    def users(self):
        """The latest user list (None before the first)."""
        with self._changed:
            lists = self.user_lists(self.lines)
        return lists[-1] if lists else None

    def wait_users(self, condition, timeout=30, since=0):
        """Waits until the latest list printed since `since` satisfies
        condition(rows) (a list compares equal); returns the list or None."""
        test = condition if callable(condition) else (lambda rows: rows == condition)

        def latest(lines):
            lists = self.user_lists(lines[since:])
            return lists[-1] if lists and test(lists[-1]) else None

        return self.wait_for(latest, timeout)

    # Chat

    def chat_lines(self, since=0):
        """(number, name, text) of every chat line printed since `since`."""
        with self._changed:
            lines = list(self.lines[since:])
        return [chat for chat in map(parse_chat, lines) if chat]

    # The whiteboard

    def send_stroke(self, colour, width, points, to=None):
        """Draws a stroke (colour "rrggbb" or (r, g, b); points (x, y), 1 to
        100 of them) on everyone's whiteboard, or on those at the address or
        addresses `to`."""
        where = "/stroke" if to is None else f"/stroketo {board_receivers(to)}"
        self.send(f"{where} {board_colour(colour)} {width} " + " ".join(f"{x},{y}" for x, y in points))

    def send_clear(self, to=None):
        """Clears everyone's whiteboard, or those at the address or addresses `to`."""
        self.send("/clear" if to is None else f"/clearto {board_receivers(to)}")

    def board_lines(self, since=0):
        """The BoardLine of every whiteboard line printed since `since`."""
        with self._changed:
            lines = list(self.lines[since:])
        return [board for board in map(parse_board, lines) if board]

    def wait_board_lines(self, count, timeout=30, since=0):
        """Waits until `count` whiteboard lines have been printed since `since`
        and returns them all; None when they do not come."""

        def enough(lines):
            boards = [board for board in map(parse_board, lines[since:]) if board]
            return boards if len(boards) >= count else None

        return self.wait_for(enough, timeout)

    # The end

    def quit(self, timeout=QUIT_WAIT):
        """/quit, and the exit status (None when it had to be killed)."""
        if self.running():
            try:
                self.send("/quit")
                self.process.stdin.close()
            except OSError:
                pass
            try:
                return self.process.wait(timeout)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(10)
                return None
        return self.process.returncode if self.process else None

    def stop(self):
        self.quit()
        if self._reader is not None:
            self._reader.join(5)
        if self._stderr:
            self._stderr.close()
            self._stderr = None

    def describe(self):
        """The last lines printed and the standard error, for failure messages."""
        with self._changed:
            tail = self.lines[-15:]
        errors = (self.dir / "stderr.txt").read_bytes()[-2000:].decode(errors="replace") if self.dir.exists() else ""
        state = "running" if self.running() else f"exited with {self.process.returncode if self.process else '-'}"
        return f"{state}; output tail {tail!r}; stderr {errors!r}"


def start_console(test_case, name, slot, ini, netbed=None, class_level=False):
    """Starts a console peer that the test's (or the class's) cleanups stop."""
    peer = ConsolePeer(name, slot, ini, netbed)
    (test_case.addClassCleanup if class_level else test_case.addCleanup)(peer.stop)
    return peer.start()
