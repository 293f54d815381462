"""The middle of the show on screen: the cube-mapped room behind its bands,
the box rain under the circling light with its shadows and torus, and what
happens when their models or pictures are missing."""

import os
import unittest

import harness
from harness import Show


def count(shot, predicate, box=(0, 0, 800, 600), step=4):
    x0, y0, x1, y1 = box
    return sum(1 for y in range(y0, y1, step) for x in range(x0, x1, step) if predicate(shot.pixel(x, y)))


def box_white(p):
    """The toon-shaded boxes' lit faces: neutral grey to white, brighter than
    the source text over the scope's faint echo, without the floor's blue."""
    return min(p) > 115 and max(p) - min(p) < 20


def floor_blue(p):
    """The tiles' blue-violet: blue above both red and green."""
    return p[2] > 60 and p[2] > p[0] + 20 and p[2] > p[1] + 20


def shots_until(show, end):
    """(demo time, screenshot) pairs taken back to back until the time."""
    shots = []
    while show.latest_demo_time() < end:
        shots.append((show.latest_demo_time(), show.screenshot()))
    return shots


def top_of_boxes(shot):
    """The highest screen row showing box pixels."""
    for y in range(0, 600, 2):
        if any(box_white(shot.pixel(x, y)) for x in range(0, 800, 3)):
            return y
    return 600


class LightScene(unittest.TestCase):
    def test_floor_boxes_light_and_shadows_then_the_rain(self):
        # Pictures first, judgement after: reading pixels is slow, the show
        # does not wait. A status line's time is a lower bound for the
        # picture taken after it, off by at most a few frames.
        with Show() as show:
            show.status_time(timeout=90)
            show.jump_to(71.5)
            show.wait_until_demo_time(72.0)
            hanging = show.screenshot()
            # The boxes fall from 73 s and land within half a second.
            around_the_fall = shots_until(show, 74.5)
            lying = [s for t, s in shots_until(show, 76.7) if t > 75.0]
            show.wait_until_demo_time(77.05)
            held = [s for t, s in shots_until(show, 77.6) if t > 77.0]
            show.wait_until_demo_time(88.5)
            after = show.screenshot()
            self.assertEqual(show.quit(), 0)

        self.assertGreater(count(hanging, floor_blue, (0, 300, 800, 600)), 1500, "the floor")
        self.assertGreater(count(hanging, box_white, step=2), 100, "the boxes")
        high = top_of_boxes(hanging)
        # The light circles once every four seconds, overhead: its marker
        # passes through the picture on the far side of the circle.
        marker = lambda p: p[0] > 180 and 80 < p[1] < 170 and 80 < p[2] < 170
        self.assertTrue(any(count(s, marker, (0, 0, 800, 300), step=2) > 1 for _, s in around_the_fall),
                        "the light's marker")
        tops = {top_of_boxes(s) for t, s in around_the_fall if t > 73.0}
        self.assertGreater(len(tops), 1, "the boxes move")

        self.assertTrue(lying and held, "pictures after the landing and inside the restart window")
        landed = lying[-1]
        self.assertGreater(top_of_boxes(landed), high + 40, "they fell to the floor")
        # Where the boxes lie the light's depth map darkens the floor.
        shade = count(landed, lambda p: max(p) < 30, (100, 250, 700, 600), step=2)
        self.assertGreater(shade, 150, "shadows on the floor")
        # Some faces are dark when the light is behind them: one clear
        # picture of the held boxes is enough.
        self.assertLess(min(top_of_boxes(s) for s in held), top_of_boxes(landed) - 40,
                        "back up at their start poses")
        # The floor filled the bottom of the picture; later only the
        # dancer's trousers share its blue.
        self.assertLess(count(after, floor_blue, (0, 450, 800, 600)), 1000, "the segment is gone after 87 s")


class Room(unittest.TestCase):
    def test_room_with_highlights_under_moving_bands(self):
        with Show() as show:
            show.status_time(timeout=90)
            # From just before the room, as the show plays: a jump straight
            # into it would skip the opening camera's hand-over.
            show.jump_to(28)
            show.wait_until_demo_time(31.0)
            first = show.screenshot()
            show.wait_until_demo_time(32.0)
            second = show.screenshot()
            self.assertGreater(count(first, lambda p: max(p) > 40), 4000, "the room fills the picture")
            self.assertGreater(count(first, lambda p: min(p) > 200, step=2), 30, "cube-map highlights")
            changed = sum(1 for y in range(0, 600, 8) for x in range(0, 800, 8)
                          if abs(sum(first.pixel(x, y)) - sum(second.pixel(x, y))) > 60)
            self.assertGreater(changed, 300, "the bands and the camera move")
            self.assertEqual(show.quit(), 0)


class MissingParts(unittest.TestCase):
    def test_missing_models_are_named_and_the_show_runs(self):
        def without_models(folder):
            os.remove(os.path.join(folder, "ddata", "blobroom.3ds"))
            os.remove(os.path.join(folder, "demodata", "torus.3ds"))

        with Show(prepare=without_models) as show:
            show.wait_for(r"^Could not read model: ddata/blobroom\.3ds$")
            show.wait_for(r"^Could not read model: demodata/torus\.3ds$")
            show.status_time(timeout=90)
            show.jump_to(72)
            show.wait_until_demo_time(72.5)
            self.assertEqual(show.quit(), 0)

    def test_a_missing_overlay_picture_stops_start_up(self):
        def without_overlay(folder):
            os.remove(os.path.join(folder, "ddata", "kantig-overlay-igen.png"))

        with Show(prepare=without_overlay) as show:
            show.wait_for(r"^Texutre image file not found: ddata/kantig-overlay-igen\.png$")
            self.assertGreater(show.wait_exit(), 0)
            self.assertNotIn("FPS:", show.output())


if __name__ == "__main__":
    harness.main()
