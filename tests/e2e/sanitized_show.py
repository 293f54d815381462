"""The whole show on the address and undefined-behaviour sanitizer build:
every segment (by jumps), every developer key once, the camera recordings,
then Escape. Any report from the sanitizers, or a leak of our own, fails it;
leaks inside the system's GL, X and font libraries are suppressed by name in
tests/lsan-show.supp."""

import os
import re
import unittest

import harness
from harness import Show

HERE = os.path.dirname(os.path.abspath(__file__))
REPORT = re.compile(r"ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|SUMMARY: UndefinedBehaviorSanitizer")

# One point in every segment and across every window edge worth crossing.
JUMPS = [17, 22, 25, 29, 33, 45, 57, 59, 65, 71, 74, 77, 81, 86, 88, 95, 99, 101, 110, 114, 119]


def sanitizer_env():
    supp = os.path.join(HERE, "..", "lsan-show.supp")
    return {
        "ASAN_OPTIONS": "detect_leaks=1:abort_on_error=0",
        "LSAN_OPTIONS": "suppressions=%s:print_suppressions=0" % os.path.abspath(supp),
        "UBSAN_OPTIONS": "print_stacktrace=1",
    }


class SanitizedShow(unittest.TestCase):
    def test_whole_show_with_every_key(self):
        with Show(env=sanitizer_env()) as show:
            show.status_time(timeout=300)
            for key in ["3", "1", "2", "w", "a", "s", "d", "Left", "Right", "Up", "Down", "r", "f", "z", "x"]:
                show.key(key)
            self.answer(show, "c", r"Enter new speed: $", "7")
            self.answer(show, "o", r"Enter filename:$", "sanitized.pos")
            show.key("m")
            show.key("p")
            self.answer(show, "i", r"Enter filename:$", "points.pos")
            show.key("p")
            show.key("l")
            show.wait_for(r"\*\* ResetAndLoad \*\*")
            show.key("k")
            show.wait_for(r"\*\* ReadTime \*\*")
            show.key("0")
            show.wait_for(r"\*\*\* Time resets \*\*\*")
            for seconds in JUMPS:
                show.jump_to(seconds)
                show.wait_until_demo_time(seconds + 1.5, timeout=300)
            status = show.quit(timeout=120)
            reports = REPORT.findall(show.stderr.decode("latin-1"))
            self.assertEqual(reports, [], show.stderr.decode("latin-1")[-6000:])
            self.assertEqual(status, 0, show.stderr.decode("latin-1")[-3000:])

    @staticmethod
    def answer(show, key, prompt, text):
        before = len(show.lines)
        show.key(key)
        show.wait_for(prompt, after=before)
        show.type_line(text)


if __name__ == "__main__":
    harness.main()
