"""Runs the system tests (all of them, or the names given) and prints one
summary line: passed, failed and skipped tests."""
import sys
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent


class CountingResult(unittest.TextTestResult):
    """Counts each test once, whatever its subtests did."""

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.passed_ids, self.failed_ids, self.skipped_ids = set(), set(), set()

    def addSuccess(self, test):
        super().addSuccess(test)
        self.passed_ids.add(test.id())

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self.failed_ids.add(test.id())

    def addError(self, test, err):
        super().addError(test, err)
        self.failed_ids.add(test.id())

    def addSubTest(self, test, subtest, err):
        super().addSubTest(test, subtest, err)
        if err is not None:
            self.failed_ids.add(test.id())

    def addSkip(self, test, reason):
        super().addSkip(test, reason)
        self.skipped_ids.add(test.id())

    def addUnexpectedSuccess(self, test):
        super().addUnexpectedSuccess(test)
        self.failed_ids.add(test.id())


def main(names):
    sys.path.insert(0, str(HERE))
    loader = unittest.TestLoader()
    if names:
        suite = loader.loadTestsFromNames(names)
    else:
        suite = loader.discover(start_dir=str(HERE), pattern="test_*.py", top_level_dir=str(HERE))
    runner = unittest.TextTestRunner(verbosity=2, resultclass=CountingResult, stream=sys.stdout)
    start = time.monotonic()
    result = runner.run(suite)
    passed = len(result.passed_ids - result.failed_ids)
    print(f"system tests: {passed} passed, {len(result.failed_ids)} failed, {len(result.skipped_ids)} skipped "
          f"in {time.monotonic() - start:.0f}s")
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
