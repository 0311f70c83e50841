#!/usr/bin/env python3
"""Sustained receive of chat lines through a whole peer, against a raw UDP
echo over the same veth link, measured in the same run.

Two namespaces of the test network (a bed of its own, removed at the end):
a scripted sender in the first, the receiver in the second.

  echo     a tiny UDP echo (Python, its own process) answers each datagram
           with 25 bytes, the size of an acknowledgement: the baseline
  console  the console peer (build/native/mosswick-console) receives chat
           datagrams and prints each line into a file; counted there after
           each measurement
  program  Mosswick.exe under Wine receives them with Log_Save=Yes; counted
           in Mosslog.txt

The sender keeps at most WINDOW datagrams unanswered (1: each line waits for
the acknowledgement of the one before) and stops at the first that is not
answered within two seconds, so a figure is only given for a run in which
every line was shown. Lines per second = lines / (first send to last
acknowledgement); the ratio is that over the echo's round trips per second
with the same window. With --rates the sender also sends at fixed rates
without waiting and reports the share of lines shown.

Needs root (namespaces). Starts its own Xvfb when DISPLAY is not set.

  bench/chat_receive.py [--lines N] [--program-lines N] [--windows 1,8]
                        [--rates 2000,5000] [--program-rates 50,100]
                        [--skip-program] [--set KEY=VALUE] [--record]
"""
import argparse
import os
import shutil
import signal
import socket
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
os.environ.setdefault("MW_SYSTEST_DIR", str(ROOT / "build" / "bench-chat"))
sys.path.insert(0, str(ROOT / "tests" / "system"))

import console_peer as cp  # noqa: E402
import harness as h  # noqa: E402
import wire  # noqa: E402
from bench_bed import bench_bed  # noqa: E402

SENDER, RECEIVER = 1, 2
SENDER_NAME = "bench"
ANSWER_WAIT = 2.0
TEXT = "受信ベンチマーク line %06d"
ECHO = r"""
import socket, sys
sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
sock.bind(("", int(sys.argv[1])))
print("ready", flush=True)
answer = b"x" * 25
while True:
    data, source = sock.recvfrom(2048)
    sock.sendto(answer, source)
"""


def chat_datagram(index):
    number = 1001 + index % 31766  # 1001 to 32766, as a sender's counter runs
    text = (TEXT % index).encode("cp932")
    return wire.chat(h.slot_address(SENDER), index % 65536, number, text)


class Sender:
    """The scripted sender on the program's port in the first namespace."""

    def __init__(self, bed):
        self.peer = bed.peer(SENDER)
        self.target = (h.slot_address(RECEIVER), h.PORT)

    def close(self):
        self.peer.close()

    def introduce(self, alive):
        """Announces itself until the receiver acknowledges: from then on the
        receiver has it in its table and shows its lines."""
        hello = wire.own_entry_datagram(wire.KIND_START, self.peer.address, 60000, SENDER_NAME.encode())
        if self.peer.exchange(hello, self.target[0], wire.acknowledges(hello), alive=alive) is None:
            raise RuntimeError("the receiver never acknowledged the announcement")
        self.peer.drain()

    def run_windowed(self, make, count, window, answered):
        """Sends make(i) for i < count with at most `window` unanswered.
        answered(answer, unanswered) names the datagram number an answer
        stands for (`unanswered` holds them oldest first). Returns the seconds
        from the first send to the last answer, or None when an answer did
        not come."""
        sock = self.peer.sock
        unanswered = []
        sent = 0
        start = time.perf_counter()
        while sent < count or unanswered:
            while sent < count and len(unanswered) < window:
                datagram = make(sent)
                sock.sendto(datagram, self.target)
                unanswered.append(wire.Header(datagram).all_count)
                sent += 1
            sock.settimeout(ANSWER_WAIT)
            try:
                answer = sock.recv(2048)
            except socket.timeout:
                return None
            number = answered(answer, unanswered)
            if number in unanswered:
                unanswered.remove(number)
        return time.perf_counter() - start

    def run_rate(self, make, count, rate):
        """Sends at a fixed rate without waiting; returns the seconds taken."""
        sock = self.peer.sock
        start = time.perf_counter()
        for i in range(count):
            due = start + i / rate
            while time.perf_counter() < due:
                pass
            sock.sendto(make(i), self.target)
        return time.perf_counter() - start


def acknowledged(answer, _unanswered):
    header = wire.Header(answer)
    return header.all_count if header.kind == wire.KIND_RESP else None


def echoed(_answer, unanswered):
    """The echo answers in order: an answer stands for the oldest datagram."""
    return unanswered[0]


def measure_echo(bed, count, windows):
    """Round trips per second through the echo, for each window."""
    echo = subprocess.Popen(bed.command(RECEIVER, [sys.executable, "-c", ECHO, h.PORT]), env=bed.env(),
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True)
    sender = Sender(bed)
    try:
        if echo.stdout.readline().strip() != "ready":
            raise RuntimeError("the echo did not start")
        rates = {}
        for window in windows:
            seconds = sender.run_windowed(chat_datagram, count, window, echoed)
            if seconds is None:
                raise RuntimeError(f"the echo lost a datagram (window {window})")
            rates[window] = count / seconds
        return rates
    finally:
        sender.close()
        echo.kill()
        echo.wait()


def measure_receiver(bed, shown, alive, count, windows, rates):
    """Lines per second for each window (None when a line was not
    acknowledged) and the share shown at each fixed rate; `shown()` counts
    the lines the receiver has shown so far."""
    sender = Sender(bed)
    results = {"windows": {}, "rates": {}}
    try:
        sender.introduce(alive)
        total = 0
        for window in windows:
            before = shown()
            seconds = sender.run_windowed(lambda i: chat_datagram(total + i), count, window, acknowledged)
            total += count
            h.wait_until(lambda: shown() - before >= count, 30)
            got = shown() - before
            results["windows"][window] = (count / seconds if seconds and got == count else None, got)
        for rate in rates:
            before = shown()
            sender.run_rate(lambda i: chat_datagram(total + i), count, rate)
            total += count
            sender.peer.drain()
            h.wait_until(lambda: shown() - before >= count, 15)
            results["rates"][rate] = (shown() - before) / count
        return results
    finally:
        sender.close()


def measure_console(bed, count, windows, rates):
    """The console peer writes what it shows into a file, read only between
    measurements: a reader of its output in this process would share the
    interpreter with the sender and slow the sender's round trips, which the
    echo's are not."""
    work = h.WORK / "runs" / "bench-console"
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    (work / "Mosswick.ini").write_bytes(cp.console_ini("受け手", [], start_send=False))
    output = work / "output.txt"
    with open(output, "wb") as out:
        peer = subprocess.Popen(bed.command(RECEIVER, [cp.console_exe(), "--dir", work]), env=bed.env(),
                                stdin=subprocess.PIPE, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
    try:
        def printed():
            return output.read_bytes().decode("utf-8", errors="replace").splitlines()

        if not h.wait_until(lambda: any(line.startswith("[name] ") for line in printed()), h.START_WAIT):
            raise RuntimeError(f"the console peer did not start: {printed()[-5:]}")

        def shown():
            return sum(1 for line in printed() if (chat := cp.parse_chat(line)) and chat[1] == SENDER_NAME)

        return measure_receiver(bed, shown, lambda: peer.poll() is None, count, windows, rates)
    finally:
        try:
            peer.communicate(b"/quit\n", timeout=10)
        except subprocess.TimeoutExpired:
            os.killpg(peer.pid, signal.SIGKILL)
            peer.wait()


def measure_program(bed, count, windows, rates, settings):
    sections = {"Client_Definition": {"Name": "受け手", "Start_Send": "No", "Log_Save": "Yes"}}
    for key, value in settings.items():
        section, _, name = key.rpartition(".")
        sections.setdefault(section or "Client_Definition", {})[name] = value
    ini = h.ini_text(sections)
    program = h.Program("bench-receiver", RECEIVER, ini, netbed=bed.prefix).start()
    try:
        program.main_window()
        marker = f" {SENDER_NAME} > ".encode()

        def shown():
            return sum(1 for line in program.log_lines() if marker in line)

        return measure_receiver(bed, shown, program.running, count, windows, rates)
    finally:
        program.stop()


def report(args, echo, console, program):
    lines = [f"Lines: {args.lines} (console), {args.program_lines} (program); sender window as given.", "",
             "| receiver | window | lines/s | echo round trips/s | ratio |", "|---|---|---|---|---|"]
    for name, results in (("console peer", console), ("Mosswick.exe (Wine)", program)):
        if results is None:
            continue
        for window, (rate, shown) in results["windows"].items():
            figure = f"{rate:.0f}" if rate else f"not all shown ({shown})"
            ratio = f"{rate / echo[window]:.3f}" if rate else "-"
            lines.append(f"| {name} | {window} | {figure} | {echo[window]:.0f} | {ratio} |")
    for name, results in (("console peer", console), ("Mosswick.exe (Wine)", program)):
        if results and results["rates"]:
            shares = ", ".join(f"{rate}/s: {share:.1%}" for rate, share in results["rates"].items())
            lines.append(f"\nFixed rates, share of lines shown ({name}): {shares}")
    return "\n".join(lines)


def console_kind():
    if cp.CONSOLE_EXE.parent.name == "native":
        return "the native debug build (address and undefined-behaviour sanitizers)"
    return f"{cp.CONSOLE_EXE.relative_to(ROOT)} (optimised, no sanitizers)"


def record(text, command):
    results = ROOT / "bench" / "RESULTS.md"
    existing = results.read_text(encoding="utf-8") if results.exists() else "# Benchmark results\n"
    machine = f"{os.cpu_count()} CPUs, {os.uname().release}"
    section = (f"\n## Chat receive through whole peers ({time.strftime('%Y-%m-%d')})\n\n"
               f"Command: `{command}` (as root; {machine}). The console peer is {console_kind()}; the program runs under Wine and logs every "
               f"line to Mosslog.txt.\n\n{text}\n")
    results.write_text(existing.rstrip("\n") + "\n" + section, encoding="utf-8")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--lines", type=int, default=20000, help="lines per measurement (echo, console)")
    parser.add_argument("--program-lines", type=int, default=3000, help="lines per measurement (program)")
    parser.add_argument("--windows", default="1,8", help="unanswered datagrams allowed, comma-separated")
    parser.add_argument("--rates", default="", help="fixed send rates (lines/s) for the console peer")
    parser.add_argument("--program-rates", default="", help="fixed send rates (lines/s) for the program")
    parser.add_argument("--skip-program", action="store_true", help="leave out Mosswick.exe under Wine")
    parser.add_argument("--console", default=None, metavar="PATH",
                        help="the console peer to measure (default build/native/mosswick-console, the "
                             "sanitizer build; an optimised one: build/native-opt, see bench/RESULTS.md)")
    parser.add_argument("--set", action="append", default=[], metavar="KEY=VALUE",
                        help="a key of the program's INI: KEY (Client_Definition) or SECTION.KEY, "
                             "e.g. ChatMsg_Recieve=None, Window_Information.End_Status=TaskToray")
    parser.add_argument("--record", action="store_true", help="append the figures to bench/RESULTS.md")
    args = parser.parse_args()
    if args.console:
        cp.CONSOLE_EXE = Path(args.console).resolve()
    windows = [int(w) for w in args.windows.split(",") if w]
    rates = [int(r) for r in args.rates.split(",") if r]
    program_rates = [int(r) for r in args.program_rates.split(",") if r]

    with bench_bed("chat_receive", 2, wine=not args.skip_program) as bed:
        echo = measure_echo(bed, args.lines, windows)
        print("echo round trips/s: " + ", ".join(f"window {w}: {r:.0f}" for w, r in echo.items()), flush=True)
        console = measure_console(bed, args.lines, windows, rates)
        program = None
        if not args.skip_program:
            settings = dict(item.split("=", 1) for item in args.set)
            program = measure_program(bed, args.program_lines, windows, program_rates, settings)
        text = report(args, echo, console, program)
        print(text)
        if args.record:
            record(text, " ".join(["bench/chat_receive.py", *sys.argv[1:]]).replace(" --record", ""))

if __name__ == "__main__":
    main()
