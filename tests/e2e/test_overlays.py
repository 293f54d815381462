"""The greeting logos, the title between its flashes and the slime bands,
checked on screen at their times."""

import time
import unittest

import harness
from harness import Show


def bright(p):
    return p[0] > 200 and p[1] > 200 and p[2] > 200


def coloured(p):
    return max(p) - min(p) > 60 and max(p) > 120


def jump(show, seconds):
    show.key("t")
    show.wait_for(r"Enter new time: ", after=len(show.lines) - 1)
    show.type_line(str(seconds))


def shots_until(show, end):
    """Screenshots taken back to back until the demo time passes end."""
    shots = []
    while True:
        t, _ = show.status_time()
        if t > end:
            return shots
        shots.append((t, show.screenshot()))


class Overlays(unittest.TestCase):
    def test_logos_title_and_flashes(self):
        with Show() as show:
            show.status_time(timeout=90)
            jump(show, 21)
            show.wait_until_demo_time(22.0)
            first = show.screenshot()
            first_colour = first.count(coloured)
            self.assertGreater(first_colour, 300, "the first logo and its glow")

            show.wait_until_demo_time(24.5)
            all_six = show.screenshot()
            self.assertGreater(all_six.count(coloured), first_colour * 2, "six logos")

            # The first title flash: some frame between 25.25 and 25.65 is white.
            show.wait_until_demo_time(25.2)
            peak = max(s.count(bright) for _, s in shots_until(show, 25.7))
            self.assertGreater(peak, 20000, "white flash over the picture")

            show.wait_until_demo_time(27.0)
            title = show.screenshot()
            # The title unfolds from its centre column: the middle band has it.
            middle = title.region_mean(300, 250, 500, 350)
            self.assertGreater(sum(middle), 60)

            show.wait_until_demo_time(29.4)
            after = show.screenshot()
            self.assertLess(after.count(coloured), all_six.count(coloured))
            self.assertEqual(show.quit(), 0)

    def test_slime_bands_move(self):
        with Show() as show:
            show.status_time(timeout=90)
            jump(show, 90)
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
