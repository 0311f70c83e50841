#!/usr/bin/env python3
"""What Mosswick.exe holds over a long conversation, and how often it wakes
when nothing happens.

The program runs under Wine with its window shown, in the first of 30
namespaces of a bed of its own; a scripted peer in each of the other 29 has
announced itself, so the program knows 30 users. The peers, in turn, send
RATE chat lines a second for MINUTES minutes, and acknowledge whatever the
program sends them. Every 10 seconds the Wine process of Mosswick.exe
(found in its namespace by name) is sampled from /proc: CPU time, VmRSS,
VmHWM, threads, open file descriptors, and the context switches of all its
threads;
and through the test driver (process-counts) what Windows counts for it:
handles, GDI and USER objects, and its entries in the system's handle list.
Growth is the mean of the last minute's samples less the first minute's,
per hour.

Then the output area is cleared (IDM_CLEAR; timed until the program has
used no CPU for two seconds) and, 10 s later, the program idles for IDLE
minutes with nothing sent, sampled from /proc only: wake-ups are the
voluntary and involuntary context switches of all its threads, per minute,
beside its CPU time per minute. Baseline: Wine's own Notepad started the same way in the same
namespace and prefix, idle with its window shown, measured the same way (its
memory and descriptors too).

Needs root (namespaces); starts its own Xvfb when DISPLAY is not set.
MW_BUILD_WIN names the Windows build.

  bench/resource_soak.py [--minutes 10] [--idle-minutes 2] [--rate 20]
"""
import argparse
import os
import select
import statistics
import subprocess
import sys
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
os.environ.setdefault("MW_SYSTEST_DIR", str(ROOT / "build" / "bench-soak"))
sys.path.insert(0, str(ROOT / "tests" / "system"))
sys.path.insert(0, str(ROOT / "bench"))

import harness as h  # noqa: E402
import wire  # noqa: E402
from bench_bed import bench_bed  # noqa: E402

USERS = wire.MAX_USERS
PROGRAM_SLOT = 1
PEER_SLOTS = range(2, USERS + 1)
SAMPLE_EVERY = 10
SETTLE = 10
TEXT = "耐久試験 line %06d"


# ---------------------------------------------------------------- /proc

def find_process(namespace, name, timeout=60):
    """The pid of the process called `name` in the network namespace."""
    def look():
        pids = subprocess.run(["ip", "netns", "pids", namespace], capture_output=True, text=True).stdout.split()
        for pid in pids:
            try:
                if Path(f"/proc/{pid}/comm").read_text().strip() == name:
                    return int(pid)
            except OSError:
                continue
        return None
    pid = h.wait_until(look, timeout)
    if pid is None:
        raise RuntimeError(f"no process {name} in {namespace}")
    return pid


def status_fields(path):
    fields = {}
    for line in Path(path).read_text().splitlines():
        key, _, value = line.partition(":")
        fields[key] = value.split()
    return fields


def switches(pid):
    """{thread id: voluntary + involuntary context switches}."""
    counts = {}
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            fields = status_fields(task / "status")
        except OSError:
            continue  # the thread has just ended
        counts[task.name] = int(fields["voluntary_ctxt_switches"][0]) + int(fields["nonvoluntary_ctxt_switches"][0])
    return counts


def switches_between(before, after):
    """Context switches between two samples: threads that were there both
    times by their difference, new ones by their whole count."""
    return sum(count - before.get(tid, 0) for tid, count in after.items())


def cpu_seconds(pid):
    """User and system time of the process so far."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def sample(pid, start):
    fields = status_fields(f"/proc/{pid}/status")
    return {"t": time.monotonic() - start, "cpu": cpu_seconds(pid), "rss": int(fields["VmRSS"][0]), "hwm": int(fields["VmHWM"][0]),
            "threads": int(fields["Threads"][0]), "fds": len(os.listdir(f"/proc/{pid}/fd")),
            "switches": switches(pid)}


# ---------------------------------------------------------------- peers

class Peers:
    """The 29 scripted peers: each acknowledges what the program sends it;
    acknowledgements the program sends are noted by (slot, allCount)."""

    def __init__(self, bed):
        self.peers = {slot: bed.peer(slot) for slot in PEER_SLOTS}
        self.by_fd = {peer.sock.fileno(): (slot, peer) for slot, peer in self.peers.items()}
        self.acknowledged = set()
        self.received = 0
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._answer, daemon=True)
        self._thread.start()

    def close(self):
        self._stop.set()
        self._thread.join()
        for peer in self.peers.values():
            peer.close()

    def _answer(self):
        while not self._stop.is_set():
            readable, _, _ = select.select(list(self.by_fd), [], [], 0.2)
            for fd in readable:
                slot, peer = self.by_fd[fd]
                data, source = peer.sock.recvfrom(65536)
                header = wire.Header(data)
                if header.kind == wire.KIND_RESP:
                    self.acknowledged.add((slot, header.all_count))
                else:
                    self.received += 1
                    peer.sock.sendto(wire.resp_of(data, peer.address), source)

    def introduce(self, own, name):
        """Each peer announces itself until the program acknowledges it."""
        hellos = {slot: wire.own_entry_datagram(wire.KIND_START, peer.address, 100, name(slot))
                  for slot, peer in self.peers.items()}
        deadline = time.monotonic() + h.START_WAIT
        while time.monotonic() < deadline:
            waiting = [slot for slot in hellos if (slot, 100) not in self.acknowledged]
            if not waiting:
                return
            for slot in waiting:
                self.peers[slot].send(hellos[slot], own)
            time.sleep(1)
        raise RuntimeError("the program did not acknowledge every announcement")

    def chat(self, own, index):
        """Line `index`, from the peers in turn; returns (slot, allCount)."""
        slot = PEER_SLOTS[index % len(PEER_SLOTS)]
        turn = index // len(PEER_SLOTS)
        all_count = 1000 + turn % 60000
        text = (TEXT % index).encode("cp932")
        self.peers[slot].send(wire.chat(self.peers[slot].address, all_count, 1001 + turn % 31766, text), own)
        return slot, all_count


def name_of(slot):
    return f"机{slot:02d}".encode("cp932")


# ---------------------------------------------------------------- phases

def windows_counts(program, class_name=h.MAIN_CLASS):
    """Handles, GDI and USER objects, and handles in the system's list, of
    the process that owns the window, from the driver."""
    counts = [int(v) for v in program.drive("process-counts", class_name).split()]
    return dict(zip(("handles", "gdi", "user", "listed"), counts))


def soak(program, pid, peers, minutes, rate):
    own = h.slot_address(PROGRAM_SLOT)
    samples, sent = [], []
    start = time.monotonic()
    count = int(minutes * 60 * rate)
    next_sample = 0.0
    for index in range(count + 1):
        due = start + index / rate
        while time.monotonic() - start >= next_sample:
            taken = sample(pid, start)
            taken.update(windows_counts(program))
            taken.update(sent=len(sent), acknowledged=sum(1 for s in sent if s in peers.acknowledged),
                         shown=len(program.log_lines()))
            samples.append(taken)
            print(line_of(taken), flush=True)
            next_sample += SAMPLE_EVERY
        if index == count:
            break
        time.sleep(max(0.0, due - time.monotonic()))
        sent.append(peers.chat(own, index))
    h.wait_until(lambda: all(s in peers.acknowledged for s in sent) and len(program.log_lines()) >= count, 60)
    unanswered = sum(1 for s in sent if s not in peers.acknowledged)
    return samples, count, unanswered, len(program.log_lines())


def line_of(taken):
    keys = ("cpu", "rss", "hwm", "threads", "fds", "handles", "gdi", "user", "listed", "sent", "acknowledged", "shown")
    shown = {key: round(taken[key], 1) for key in keys if key in taken}
    return f"{taken['t']:6.0f}s " + " ".join(f"{key}={value}" for key, value in shown.items())


def clear(program, pid):
    """IDM_CLEAR, then waits until the program has used no CPU for two
    seconds; returns the seconds that took."""
    start = time.monotonic()
    program.command("IDM_CLEAR")
    used = [cpu_seconds(pid)]
    while len(used) < 3 or used[-1] - used[-3] > 0.02:
        time.sleep(1)
        used.append(cpu_seconds(pid))
    if program.output_lines():
        raise RuntimeError("the output area is not empty after IDM_CLEAR")
    return time.monotonic() - start - 2


def idle(pid, minutes):
    """Context switches per minute over the idle minutes, the samples, and
    CPU seconds per minute."""
    start = time.monotonic()
    samples = [sample(pid, start)]
    while samples[-1]["t"] < minutes * 60:
        time.sleep(min(SAMPLE_EVERY, start + minutes * 60 - time.monotonic()))
        samples.append(sample(pid, start))
    minutes = samples[-1]["t"] / 60
    per_minute = switches_between(samples[0]["switches"], samples[-1]["switches"]) / minutes
    cpu_per_minute = (samples[-1]["cpu"] - samples[0]["cpu"]) / minutes
    return per_minute, samples, cpu_per_minute


def growth(samples, key):
    """(first minute's mean, last minute's mean, growth per hour)."""
    end = samples[-1]["t"]
    first = statistics.mean(s[key] for s in samples if s["t"] < 60)
    last = statistics.mean(s[key] for s in samples if s["t"] >= end - 60)
    return first, last, (last - first) / max(end - 60, 1) * 3600


def report(samples, cleared, clearing, program_idle, baseline, args, count, unanswered, shown):
    rows = ["| measure | first minute | last minute | growth per hour | after IDM_CLEAR | idle Notepad (baseline) |",
            "|---|---:|---:|---:|---:|---:|"]
    units = {"rss": ("VmRSS (MiB)", 1024), "hwm": ("VmHWM (MiB)", 1024), "threads": ("threads", 1),
             "fds": ("open file descriptors", 1), "handles": ("GetProcessHandleCount", 1),
             "gdi": ("GDI objects (GetGuiResources)", 1), "user": ("USER objects (GetGuiResources)", 1),
             "listed": ("handles in the system's list", 1)}
    notepad = baseline[1][-1]
    for key, (label, scale) in units.items():
        first, last, per_hour = growth(samples, key)
        after = f"{cleared[key] / scale:.1f}" if key in cleared else "-"
        base = f"{notepad[key] / scale:.1f}" if key in notepad else "-"
        rows.append(f"| {label} | {first / scale:.1f} | {last / scale:.1f} | {per_hour / scale:+.1f} | {after} | {base} |")
    lines = [f"{args.minutes} min at {args.rate} lines/s: {count} lines sent, {shown} in the log, "
             f"{unanswered} not acknowledged; CPU {samples[-1]['cpu'] - samples[0]['cpu']:.0f} s; "
             f"IDM_CLEAR then took {clearing:.1f} s", "", *rows, "",
             "| idle process | minutes | context switches per minute (all threads) | CPU ms per minute | threads |",
             "|---|---:|---:|---:|---:|",
             f"| Notepad (baseline) | {args.idle_minutes} | {baseline[0]:.1f} | {baseline[2] * 1000:.0f} "
             f"| {notepad['threads']} |",
             f"| Mosswick.exe, 30 users known | {args.idle_minutes} | {program_idle[0]:.1f} "
             f"| {program_idle[2] * 1000:.0f} | {program_idle[1][-1]['threads']} |"]
    for name, (_, taken, _) in (("Mosswick.exe", program_idle), ("Notepad", baseline)):
        steps = [switches_between(a["switches"], b["switches"]) for a, b in zip(taken, taken[1:])]
        lines.append(f"\n{name}, context switches in each {SAMPLE_EVERY} s of the idle: {steps}")
    return "\n".join(lines)


def run(bed, args):
    ini = h.ini_text({"Client_Definition": {"Name": "窓口", "Start_Send": "No", "Log_Save": "Yes"}})
    program = h.Program("soak", PROGRAM_SLOT, ini, netbed=bed.prefix).start()
    peers = Peers(bed)
    try:
        program.main_window()
        pid = find_process(bed.namespace(PROGRAM_SLOT), "Mosswick.exe")
        peers.introduce(h.slot_address(PROGRAM_SLOT), name_of)
        if not h.wait_until(lambda: len(program.list_rows("IDC_USERLIST")) == USERS, 60, interval=1):
            raise RuntimeError(f"the user area does not list {USERS} users")
        print(f"{USERS} users listed; Mosswick.exe is pid {pid}", flush=True)
        samples, count, unanswered, shown = soak(program, pid, peers, args.minutes, args.rate)
        clearing = clear(program, pid)
        print(f"IDM_CLEAR took {clearing:.1f} s", flush=True)
        time.sleep(SETTLE)
        cleared = sample(pid, time.monotonic())
        cleared.update(windows_counts(program))
        print("after IDM_CLEAR: " + line_of(cleared), flush=True)
        program_idle = idle(pid, args.idle_minutes)
        print(f"Mosswick.exe idle: {program_idle[0]:.1f} context switches per minute", flush=True)
    finally:
        peers.close()
        program.stop()

    notepad = h.Program("soak-notepad", PROGRAM_SLOT, netbed=bed.prefix)
    notepad.exe = "notepad.exe"
    notepad.start()
    try:
        notepad.drive("find", "Notepad", wait=h.START_WAIT)
        pid = find_process(bed.namespace(PROGRAM_SLOT), "notepad.exe")
        time.sleep(SETTLE)
        baseline = idle(pid, args.idle_minutes)
        baseline[1][-1].update(windows_counts(notepad, "Notepad"))
        print(f"Notepad idle: {baseline[0]:.1f} context switches per minute", flush=True)
    finally:
        notepad.stop()
    return report(samples, cleared, clearing, program_idle, baseline, args, count, unanswered, shown)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--minutes", type=float, default=10, help="minutes of chat lines")
    parser.add_argument("--idle-minutes", type=float, default=2, help="minutes of idle after them")
    parser.add_argument("--rate", type=float, default=20, help="chat lines per second")
    args = parser.parse_args()
    with bench_bed("resource_soak", USERS) as bed:
        print(run(bed, args))

if __name__ == "__main__":
    main()
