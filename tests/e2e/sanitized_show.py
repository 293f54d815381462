"""The whole show on the address and undefined-behaviour sanitizer build:
every segment (by jumps), every developer key once, pause and beat steps in
the box rain, the camera recordings, then Escape; and a short capture. Any
report from the sanitizers, or a leak of our own, fails it. Leaks inside
the system libraries named in tests/lsan-show.supp are allowed, found by
address too: Mesa has no frame pointers, so its quick stacks misname it."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest

import harness
from harness import Show

HERE = os.path.dirname(os.path.abspath(__file__))
# A leak check that fails on its own reports nothing either: that fails too.
REPORT = re.compile(r"ERROR: AddressSanitizer|runtime error:|SUMMARY: UndefinedBehaviorSanitizer|"
                    r"LeakSanitizer has encountered a fatal error")
LEAK = re.compile(r"(?:Direct|Indirect) leak of .*\n((?:[ \t]+#\d+ .*\n?)+)")
FRAME = re.compile(r"#\d+ 0x([0-9a-f]+)")
SUPPRESSIONS = os.path.join(HERE, "..", "lsan-show.supp")


def own_leaks(stderr, maps_text):
    """The leak records none of whose frames lies, by address, in a library
    of the suppression list (mapped as /proc/<pid>/maps said)."""
    with open(SUPPRESSIONS) as listing:
        libraries = [line.strip()[len("leak:"):] for line in listing if line.startswith("leak:")]
    system = [tuple(int(x, 16) for x in f[0].split("-")) for f in map(str.split, maps_text.splitlines())
              if len(f) >= 6 and any(lib in f[5] for lib in libraries)]
    return [record for record in LEAK.findall(stderr)
            if not any(start <= int(a, 16) < end for a in FRAME.findall(record) for start, end in system)]


# One point in every segment and across every window edge worth crossing.
JUMPS = [17, 22, 25, 29, 33, 45, 57, 59, 65, 71, 74, 77, 81, 86, 88, 95, 99, 101, 110, 114, 119]


def sanitizer_env():
    return {
        "ASAN_OPTIONS": "detect_leaks=1:abort_on_error=0",
        # Leaks are judged from the report: the exit status stays the show's.
        "LSAN_OPTIONS": "suppressions=%s:print_suppressions=0:exitcode=0" % os.path.abspath(SUPPRESSIONS),
        "UBSAN_OPTIONS": "print_stacktrace=1",
    }


class SanitizedShow(unittest.TestCase):
    def test_whole_show_with_every_key(self):
        with Show(env=sanitizer_env()) as show:
            show.status_time(timeout=300)
            for key in ["3", "1", "2", "w", "a", "s", "d", "Left", "Right", "Up", "Down", "r", "f", "z", "x"]:
                show.key(key)
            for key, prompt, answer in [("c", r"Enter new speed: $", "7"), ("o", r"Enter filename:$", "sanitized.pos"),
                                        ("m", None, None), ("p", None, None),
                                        ("i", r"Enter filename:$", "points.pos"), ("p", None, None)]:
                show.press(key, prompt) if prompt else show.key(key)
                if answer:
                    show.type_line(answer)
            show.press("l", r"\*\* ResetAndLoad \*\*")
            show.press("k", r"\*\* ReadTime \*\*")
            show.press("0", r"\*\*\* Time resets \*\*\*")
            for seconds in JUMPS:
                show.jump_to(seconds)
                show.wait_until_demo_time(seconds + 1.5, timeout=300)
                if seconds == 74:
                    self.pause_and_step(show)
            with open("/proc/%d/maps" % show.process.pid) as maps:
                maps_text = maps.read()
            status = show.quit(timeout=120)
            stderr = show.stderr.decode("latin-1")
            self.assertEqual(REPORT.findall(stderr), [], stderr[-6000:])
            self.assertEqual(own_leaks(stderr, maps_text), [], stderr[-6000:])
            self.assertEqual(status, 0, show.stderr.decode("latin-1")[-3000:])

    def test_short_capture_across_the_box_rain(self):
        capture = os.path.join(os.path.dirname(os.path.abspath(harness.ARGS.binary)), "capture")
        workdir = tempfile.mkdtemp(prefix="capture-asan-")
        try:
            folder = os.path.join(workdir, "show")
            shutil.copytree(harness.ARGS.show, folder, symlinks=True)
            env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
            env.update(sanitizer_env())
            result = subprocess.run([capture, "out.mp4", "--fps", "10", "--from", "72.8", "--to", "73.8"],
                                    cwd=folder, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                    timeout=600)
        finally:
            shutil.rmtree(workdir, ignore_errors=True)
        stderr = result.stderr.decode("latin-1")
        self.assertEqual(REPORT.findall(stderr), [], stderr[-6000:])
        self.assertNotIn("leak of", stderr, stderr[-6000:])
        self.assertEqual(result.returncode, 0, stderr[-3000:])

    @staticmethod
    def pause_and_step(show):
        """Pause inside the box rain (the physics must not step by a zero
        frame time), walk the beat grid both ways, resume."""
        show.press("space", r"\*\* Paused \*\*")
        for key in ["period", "comma", "bracketright", "bracketleft"]:
            show.press(key, r"\*\* Bar \d+ beat \d+: ")
            show.status_time(timeout=300)
        show.press("space", r"\*\* Resumed \*\*")


if __name__ == "__main__":
    harness.main()
