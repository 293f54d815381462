"""The greeting logos, the title between its flashes and the slime bands,
checked on screen at their times."""

import os
import time
import unittest

import harness
from harness import Show


# Where the logos stand on the 800 x 600 screen, away from the model in the
# middle: (x0, y0, x1, y1) with y down.
LUMBRA = (20, 30, 280, 170)
KVELL = (520, 30, 780, 170)
TRINNA = (20, 420, 280, 580)
OSTRA = (520, 420, 780, 580)
TITLE_LEFT = (10, 240, 200, 340)


def lit(shot, box):
    """Share of the box's pixels that are not dark."""
    x0, y0, x1, y1 = box
    pixels = [shot.pixel(x, y) for y in range(y0, y1, 4) for x in range(x0, x1, 4)]
    return sum(1 for p in pixels if max(p) > 80) / len(pixels)


def shots_until(show, end):
    """Screenshots taken back to back, without waiting for status lines,
    until the demo time passes end."""
    shots = []
    deadline = time.time() + 30
    while show.latest_demo_time() <= end and time.time() < deadline:
        shots.append(show.screenshot())
    return shots


class Overlays(unittest.TestCase):
    def test_logos_title_and_flashes(self):
        def without_room(folder):
            # The room follows the title; without it the screen behind the
            # logos stays black, so their leaving can be seen.
            os.remove(os.path.join(folder, "ddata", "blobroom.3ds"))

        with Show(prepare=without_room) as show:
            show.status_time(timeout=90)
            show.jump_to(21)
            show.wait_until_demo_time(21.9)
            first = show.screenshot()
            self.assertGreater(lit(first, LUMBRA), 0.05, "the first logo and its glow")
            for box in (KVELL, TRINNA):
                self.assertLess(lit(first, box), 0.01, "later logos not yet on")

            show.wait_until_demo_time(24.5)
            all_six = show.screenshot()
            for box in (LUMBRA, KVELL, TRINNA, OSTRA):
                self.assertGreater(lit(all_six, box), 0.05, "all logos on")
            self.assertLess(lit(all_six, TITLE_LEFT), 0.01, "no title yet")

            # The first title flash lifts the whole picture: some frame taken
            # while it is up (25.25 to 25.65) is light everywhere.
            show.wait_until_demo_time(25.15)
            lifted = max(s.count(lambda p: min(p) > 60) for s in shots_until(show, 25.7))
            self.assertGreater(lifted, 20000, "white flash over the picture")

            # The title unfolds from its centre column across the screen.
            show.wait_until_demo_time(27.0)
            self.assertGreater(lit(show.screenshot(), TITLE_LEFT), 0.1, "the title")

            # The second flash takes over at 29.09 and falls; its window
            # closes at 30.09, and by then the logos and the title are gone.
            show.wait_until_demo_time(29.3)
            self.assertGreater(show.screenshot().count(lambda p: min(p) > 150), 20000)
            show.wait_until_demo_time(30.3)
            after = show.screenshot()
            for box in (LUMBRA, KVELL, TRINNA, OSTRA, TITLE_LEFT):
                self.assertLess(lit(after, box), 0.01, "logos and title gone")
            self.assertEqual(show.quit(), 0)

    def test_slime_bands_move(self):
        with Show() as show:
            show.status_time(timeout=90)
            show.jump_to(90)
            show.wait_until_demo_time(90.5)
            a = show.screenshot()
            time.sleep(1.0)
            b = show.screenshot()
            green = a.count(lambda p: p[1] > p[0] + 20 and p[1] > p[2])
            self.assertGreater(green, 10000, "slime covers the screen")
            changed = sum(1 for y in range(0, 600, 8) for x in range(0, 800, 8)
                          if a.pixel(x, y) != b.pixel(x, y))
            self.assertGreater(changed, 500, "the bands move")
            self.assertEqual(show.quit(), 0)


if __name__ == "__main__":
    harness.main()
