"""Beds of the test network: the one tools/run-system-tests.sh brought up, and
beds of their own that a test brings up and removes again, so that peers
that must not disturb each other (a lossy link, a crowd of 25) can run at the
same time.

Every bed has the same addresses (198.18.0.(10+i)) behind its own bridge;
beds are told apart by the prefix of their namespace names. Runs on one
machine take prefixes under the same locks the runner uses."""
import fcntl
import subprocess
import unittest

import harness as h

# The runner takes the first free one of mw, mwa ... mwe for its own bed.
OWN_PREFIXES = [f"mw{letter}" for letter in "fghijklmnopqrstuvwxyz"]


def _lock_path(prefix):
    return f"/run/mosswick-netbed-{prefix}.lock"


class Bed:
    """Namespaces 1..count named prefix1..prefixN."""

    def __init__(self, prefix, count, lock=None):
        self.prefix = prefix
        self.count = count
        self._lock = lock

    @classmethod
    def main(cls, needed):
        """The runner's bed; skips the test unless it has `needed` namespaces."""
        reason = h.netbed_skip_reason(needed)
        if reason:
            raise unittest.SkipTest(reason)
        return cls(h.netbed_prefix(), h.netbed_count())

    @classmethod
    def bring_up(cls, count, standalone=False):
        """A bed of its own, under the first free prefix; close() removes it.
        Skips where the runner could not make namespaces (`standalone`: the
        caller has run `netbed.sh check` itself)."""
        reason = None if standalone else h.netbed_skip_reason(1)
        if reason:
            raise unittest.SkipTest(reason)
        for prefix in OWN_PREFIXES:
            lock = open(_lock_path(prefix), "w")
            try:
                fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            except OSError:
                lock.close()
                continue
            bed = cls(prefix, count, lock)
            try:
                bed._netbed("up", str(count))
            except BaseException:
                bed.close()
                raise
            return bed
        raise unittest.SkipTest("every test network prefix is taken by other runs")

    def close(self):
        """Removes a bed of its own (every process in it ends); the runner's
        bed is left alone."""
        if self._lock is None:
            return
        try:
            self._netbed("down")
        finally:
            self._lock.close()
            self._lock = None

    def _netbed(self, *args):
        subprocess.run([str(h.NETBED), *args], check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       env=self.env())

    def env(self):
        return h.netbed_env(self.prefix)

    def namespace(self, slot):
        return h.namespace_name(slot, self.prefix)

    @staticmethod
    def address(slot):
        return h.slot_address(slot)

    def inside(self, slot):
        return h.inside_namespace(slot, self.prefix)

    def loss(self, slot, percent, direction="both"):
        h.set_loss(slot, percent, direction, self.prefix)

    def command(self, slot, argv):
        """argv run inside namespace `slot` with its host name (use with env())."""
        return [str(h.NETBED), "exec", str(slot), *map(str, argv)]

    def peer(self, slot):
        """A scripted peer on the program's port in namespace `slot`."""
        return h.Peer(slot, netbed=self.prefix)


def own_bed(test_case, count):
    """A bed of its own for a test (or, given a class, for a test class),
    removed by the test's cleanups."""
    bed = Bed.bring_up(count)
    add_cleanup = test_case.addClassCleanup if isinstance(test_case, type) else test_case.addCleanup
    add_cleanup(bed.close)
    return bed

