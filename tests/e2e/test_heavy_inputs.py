"""Inputs far heavier than the show ships with: a flash script of a thousand
flashes saved while the show runs, reloaded without a visible stall and
firing; a scroller file of one 500 KB line, or of random bytes, under which
the light scene runs on with its text."""

import os
import random
import tempfile
import time
import unittest

import harness
from harness import Show, count, near

BEAT = 5.0 / 11.0


def thousand_flashes():
    """One long white flash at 40 s to see, and 999 short ones after it."""
    lines = ["40 42 0.1 0.3 1.5 1"]
    lines += ["%.4f %.4f 0.02 0.05 0 0.5" % (45 + i * BEAT / 8, 45 + i * BEAT / 8 + 0.04) for i in range(999)]
    return "\n".join(lines) + "\n"


def frame_log(path):
    with open(path) as f:
        return [tuple(map(float, line.split())) for line in f if line.strip()]


def scroller_file(content):
    def prepare(folder):
        with open(os.path.join(folder, "main.cpp"), "wb") as f:
            f.write(content)
    return prepare


def floor_and_text(shot):
    """The light scene's blue floor, and the scroller's pale glyphs over the
    dark wall above it."""
    floor = count(shot, lambda p: p[2] > 60 and p[2] > p[0] + 20 and p[2] > p[1] + 20, (0, 300, 800, 600))
    glyphs = count(shot, lambda p: 60 < min(p) and max(p) - min(p) < 25, (50, 0, 800, 150), step=2)
    return floor, glyphs


class HeavyInputs(unittest.TestCase):
    def test_a_thousand_flashes_saved_while_running_reload_without_a_stall_and_fire(self):
        with tempfile.TemporaryDirectory() as scratch:
            log = os.path.join(scratch, "frames.txt")
            with Show(env={"VELMO_FRAME_LOG": log}) as show:
                show.wait_until_demo_time(1.0)
                show.jump_to(36.0)
                saved_at = show.wait_until_demo_time(37.0)
                before = len(show.lines)
                path = os.path.join(show.folder, "scripts", "flash.txt")
                with open(path + ".saving", "w") as f:
                    f.write(thousand_flashes())
                os.replace(path + ".saving", path)
                show.wait_for(r"^Changed: scripts/flash\.txt$", after=before)
                show.wait_for(r"^Adding Flash, Start: 40 End: 42 ", after=before)
                show.wait_until_demo_time(40.6)
                shot = show.screenshot()
                self.assertTrue(near(shot.pixel(400, 100), (255, 255, 255), 12), "the new flash fires")
                self.assertEqual(show.quit(), 0)
            around = [ms for t, ms in frame_log(log) if saved_at - 0.5 <= t <= saved_at + 3.0]
            self.assertTrue(around)
            self.assertLess(max(around), 100.0, "the frame that reloads a thousand flashes")

    def test_the_light_scene_runs_on_under_a_500_kb_line_and_under_random_bytes(self):
        rng = random.Random(11)
        for name, content in [("one 500 KB line", b"// one line\n" + b"y" * 500000 + b"\n" + b"int x;\n" * 40),
                              ("random bytes", bytes(rng.randrange(256) for _ in range(100000)))]:
            with Show(prepare=scroller_file(content)) as show:
                show.wait_until_demo_time(1.0)
                show.jump_to(73.0)
                show.wait_until_demo_time(75.0)
                floor, glyphs = floor_and_text(show.screenshot())
                self.assertGreater(floor, 1000, name)
                self.assertGreater(glyphs, 20, "%s: the scroller shows it" % name)
                show.wait_until_demo_time(76.0)
                self.assertEqual(show.quit(), 0, name)


if __name__ == "__main__":
    harness.main()
