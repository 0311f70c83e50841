#!/usr/bin/env python3
"""Whole-program timings of Mosswick.exe under Wine, each beside a baseline
measured in the same run, in two namespaces of a bed of its own.

  chat     a line typed at one copy (set-text IDC_INPUT, then the command
           IDM_SEND, through the test driver) until it is in the other
           copy's Mosslog.txt, cut in two where its datagram arrives on the
           other copy's link (a packet socket there). Baselines: a raw UDP
           round trip between the two namespaces (Python sockets, a Python
           echo) and one driver call that touches no window (screen-size),
           what typing through the driver costs by itself.
  startup  from starting Mosswick.exe (its wineserver already up) until it
           acknowledges a KIND_START that a scripted peer sends every 10 ms.
           Baseline: the test driver started the same way with no arguments
           (it prints its usage and exits): Wine's own start-up.
  popup    a scripted peer sends a KIND_POPUP; the time until the X server
           maps the popup's window (xev on the root window), and until the
           driver's `windows` lists it as a visible popup (polled back to
           back, so that figure is as coarse as one driver call). Baseline:
           the time until a KIND_CHECK from the same peer is acknowledged,
           the receive path without a window.

Logs are polled every millisecond from a thread of their own. Medians and
99th percentiles in milliseconds. Needs root (namespaces); starts its own
Xvfb when DISPLAY is not set. MW_BUILD_WIN names the Windows build.

  bench/program_timings.py [--lines 200] [--starts 10] [--popups 30]
                           [--only chat,startup,popup]
"""
import argparse
import math
import os
import statistics
import subprocess
import sys
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
os.environ.setdefault("MW_SYSTEST_DIR", str(ROOT / "build" / "bench-timings"))
sys.path.insert(0, str(ROOT / "tests" / "system"))
sys.path.insert(0, str(ROOT / "bench"))

import harness as h  # noqa: E402
import popup_windows as pw  # noqa: E402
from sniffer import Sniffer  # noqa: E402
import wire  # noqa: E402
from bench_bed import bench_bed  # noqa: E402
from chat_receive import ECHO  # noqa: E402

NAMES = {1: "一号", 2: "二号"}
PEER_NAME = b"timer"
TEXT = "遅延計測 line %04d"


def percentile(values, share):
    ordered = sorted(values)
    return ordered[max(0, math.ceil(share * len(ordered)) - 1)]


def row(what, seconds, baseline=None):
    """A table row: median and 99th percentile in ms, and the median's ratio
    to the baseline's."""
    median = statistics.median(seconds)
    ratio = f"{median / statistics.median(baseline):.2f}" if baseline else "1"
    return f"| {what} | {len(seconds)} | {ms(median)} | {ms(percentile(seconds, 0.99))} | {ratio} |"


def ms(seconds):
    return f"{seconds * 1000:.2f}" if seconds < 0.01 else f"{seconds * 1000:.1f}"


TABLE_HEAD = ["| measurement | samples | median ms | 99th percentile ms | ratio |", "|---|---:|---:|---:|---:|"]


class TimedProgram(h.Program):
    """A Program that notes the moment its wineserver is up: start() starts
    the program itself right after."""

    def _start_server(self):
        super()._start_server()
        self.started_at = time.monotonic()


class LogWatch:
    """Notes when each line first appears in each of the logs."""

    def __init__(self, paths):
        self.seen = {path: {} for path in paths}
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def close(self):
        self._stop.set()
        self._thread.join()

    def _run(self):
        read = {path: 0 for path in self.seen}
        while not self._stop.is_set():
            for path, lines in self.seen.items():
                size = path.stat().st_size if path.exists() else 0
                if size > read[path]:
                    now = time.monotonic()
                    with open(path, "rb") as log:
                        log.seek(read[path])
                        chunk = log.read(size - read[path])
                    whole = chunk[:chunk.rfind(b"\r\n") + 2]
                    read[path] += len(whole)
                    for line in whole.split(b"\r\n")[:-1]:
                        lines.setdefault(line.split(b" ", 1)[-1], now)  # without the line's number
            time.sleep(0.001)

    def when(self, path, line, timeout=10):
        return h.wait_until(lambda: self.seen[path].get(line), timeout, interval=0.002)


# ---------------------------------------------------------------- chat

def udp_round_trips(bed, count):
    echo = subprocess.Popen(bed.command(2, [sys.executable, "-c", ECHO, h.PORT]), env=bed.env(),
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True)
    peer = bed.peer(1)
    try:
        if echo.stdout.readline().strip() != "ready":
            raise RuntimeError("the echo did not start")
        times = []
        for i in range(count):
            start = time.monotonic()
            peer.send(b"K001 round trip %d" % i, h.slot_address(2))
            if peer.receive(2) is None:
                raise RuntimeError("the echo lost a datagram")
            times.append(time.monotonic() - start)
        return times
    finally:
        peer.close()
        echo.kill()
        echo.wait()


def start_two_copies(bed):
    programs = {}
    for slot, other in ((1, 2), (2, 1)):
        ini = h.ini_text({"Client_Definition": {"Name": NAMES[slot], "Start_Send": "Yes", "Log_Save": "Yes"},
                          "Broadcast_Definition": {"Number": 1, "Address01": h.slot_address(other)}})
        programs[slot] = h.Program(f"timings-copy{slot}", slot, ini, netbed=bed.prefix).start()
        programs[slot].main_window()
    for slot, program in programs.items():
        if not h.wait_until(lambda: len(program.list_rows("IDC_USERLIST")) == 2, 60, interval=0.5):
            raise RuntimeError(f"copy {slot} does not list the other")
    return programs


def measure_chat(bed, count):
    udp = udp_round_trips(bed, count)
    programs = start_two_copies(bed)
    sender, receiver = programs[1], programs[2]
    watch = LogWatch([receiver.log_path])
    link = Sniffer(2, bed.prefix)
    try:
        driver = []
        for _ in range(count):
            start = time.monotonic()
            sender.drive("screen-size")
            driver.append(time.monotonic() - start)
        command, on_wire, received, typed = [], [], [], []
        prefix = f"{NAMES[1]} > ".encode("cp932")
        for i in range(count):
            text = (TEXT % i).encode("cp932")
            sender.set_text("IDC_INPUT", text)
            start = time.monotonic()
            sender.command("IDM_SEND")
            command.append(time.monotonic() - start)
            shown = watch.when(receiver.log_path, prefix + text)
            arrived = next((d.moment for d in link.arrivals(wire.KIND_CHAT) if text in d.payload), None)
            if shown is None or arrived is None:
                raise RuntimeError(f"line {i} was not seen arriving and logged")
            on_wire.append(arrived - start)
            received.append(shown - arrived)
            typed.append(shown - start)
        return [row("UDP round trip between the namespaces (baseline)", udp),
                row("one driver call, no window touched (baseline)", driver),
                row("driver call `command IDM_SEND` by itself", command, driver),
                row("start of `command IDM_SEND` → datagram on copy 2's link", on_wire, driver),
                row("datagram on copy 2's link → line in copy 2's log", received, udp),
                row("typed: start of `command IDM_SEND` → line in copy 2's log", typed, driver)]
    finally:
        link.close()
        watch.close()
        for program in programs.values():
            program.stop()


# ---------------------------------------------------------------- start-up

def measure_startup(bed, count):
    ini = h.ini_text({"Client_Definition": {"Name": NAMES[1], "Start_Send": "No"}})
    peer = bed.peer(2)
    hello = wire.own_entry_datagram(wire.KIND_START, peer.address, 60000, PEER_NAME)
    program_times, wine_times = [], []
    try:
        for i in range(count + 1):  # the first of each is a warm-up
            program = TimedProgram("timings-start", 1, ini, netbed=bed.prefix)
            try:
                program.start()
                peer.drain()
                answer = peer.exchange(hello, h.slot_address(1), wire.acknowledges(hello), resend=0.01,
                                       alive=program.running)
                if answer is None:
                    raise RuntimeError("the program never acknowledged the announcement")
                if i:
                    program_times.append(time.monotonic() - program.started_at)
            finally:
                program.stop()
            trivial = TimedProgram("timings-wine", 1, netbed=bed.prefix)
            trivial.exe = h.driver_exe()
            try:
                trivial.start()
                trivial.wait_exit()
                if i:
                    wine_times.append(time.monotonic() - trivial.started_at)
            finally:
                trivial.stop()
        return [row("trivial Windows program: start to exit (baseline)", wine_times),
                row("Mosswick.exe: start to KIND_START acknowledged", program_times, wine_times)]
    finally:
        peer.close()


# ---------------------------------------------------------------- popup

class WindowMaps:
    """The moments the X server maps a top-level window, from xev."""

    def __init__(self):
        self.times = []
        self._xev = subprocess.Popen(["xev", "-root", "-event", "substructure"], stdin=subprocess.DEVNULL,
                                     stdout=subprocess.PIPE, text=True)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self._xev.stdout:
            if line.startswith("MapNotify event"):
                self.times.append(time.monotonic())

    def first_after(self, moment, timeout=10):
        return h.wait_until(lambda: next((t for t in self.times if t > moment), None), timeout, interval=0.002)

    def close(self):
        self._xev.kill()
        self._xev.wait()


def driver_sees_popup(program, timeout=10):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if pw.popups(program):
            return time.monotonic()
    return None


def measure_popup(bed, count):
    ini = h.ini_text({"Client_Definition": {"Name": NAMES[1], "Start_Send": "No"}})
    program = h.Program("timings-popup", 1, ini, netbed=bed.prefix).start()
    peer = bed.peer(2)
    maps = WindowMaps()
    own = h.slot_address(1)
    try:
        program.main_window()
        hello = wire.own_entry_datagram(wire.KIND_START, peer.address, 60000, PEER_NAME)
        if peer.exchange(hello, own, wire.acknowledges(hello), alive=program.running) is None:
            raise RuntimeError("the program never acknowledged the announcement")
        checked, acknowledged, mapped, listed = [], [], [], []
        for i in range(count):
            time.sleep(0.5)
            peer.drain()
            check = wire.own_entry_datagram(wire.KIND_CHECK, peer.address, 61000 + i, PEER_NAME)
            start = time.monotonic()
            peer.send(check, own)
            if peer.wait_for(wire.acknowledges(check), 10) is None:
                raise RuntimeError("a user check was not acknowledged")
            checked.append(time.monotonic() - start)

            time.sleep(0.5)
            peer.drain()
            popup = wire.popup(peer.address, 62000 + i, ("ポップアップ %d" % i).encode("cp932"))
            start = time.monotonic()
            peer.send(popup, own)
            if peer.wait_for(wire.acknowledges(popup), 10) is None:
                raise RuntimeError("a popup was not acknowledged")
            acknowledged.append(time.monotonic() - start)
            shown = maps.first_after(start)
            seen = driver_sees_popup(program)
            if shown is None or seen is None:
                raise RuntimeError(f"popup {i} did not open")
            mapped.append(shown - start)
            listed.append(seen - start)
            for handle, _ in pw.popups(program):
                pw.press(program, handle, pw.CLOSE)
            if not h.wait_until(lambda: not pw.popups(program), 10):
                raise RuntimeError(f"popup {i} did not close")
        return [row("KIND_CHECK sent → acknowledged (baseline)", checked),
                row("KIND_POPUP sent → acknowledged", acknowledged, checked),
                row("KIND_POPUP sent → its window mapped by the X server", mapped, checked),
                row("KIND_POPUP sent → listed by the driver's `windows`", listed, checked)]
    finally:
        maps.close()
        peer.close()
        program.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--lines", type=int, default=200, help="chat lines (and baseline samples)")
    parser.add_argument("--starts", type=int, default=10, help="starts of each program, after one warm-up")
    parser.add_argument("--popups", type=int, default=30, help="popups (and user checks)")
    parser.add_argument("--only", default="chat,startup,popup", help="which measurements, comma-separated")
    args = parser.parse_args()
    parts = set(args.only.split(","))
    with bench_bed("program_timings", 2) as bed:
        for name, measure, count in (("chat", measure_chat, args.lines), ("startup", measure_startup, args.starts),
                                     ("popup", measure_popup, args.popups)):
            if name in parts:
                print("\n".join(["", f"{name}:", *TABLE_HEAD, *measure(bed, count)]), flush=True)

if __name__ == "__main__":
    main()
