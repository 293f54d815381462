"""The scenes on screen, on one run of the show as it plays: the opening
cartoon model, the cube-mapped room behind its bands, the turning model
over its picture, the box rain under the circling light with its shadows,
the dancing character and the slime bands."""

import os
import time
import unittest

import harness
from harness import ShowCase, changed, count, denim, near, share, shots_until


is_orange = lambda p: p[0] > 150 and 40 < p[1] < 200 and p[2] < 90


def box_white(p):
    """The toon-shaded boxes' lit faces: neutral grey to white, brighter than
    the source text over the scope's faint echo, without the floor's blue."""
    return min(p) > 115 and max(p) - min(p) < 20


def floor_blue(p):
    """The tiles' blue-violet: blue above both red and green."""
    return p[2] > 60 and p[2] > p[0] + 20 and p[2] > p[1] + 20


def top_of_boxes(shot):
    """The highest screen row showing box pixels."""
    return next((y for y in range(0, 600, 2) if any(box_white(shot.pixel(x, y)) for x in range(0, 800, 3))), 600)


def height_of_boxes(shot):
    """The mean screen row of the box pixels: steadier than the highest."""
    rows = [y for y in range(0, 600, 3) for x in range(0, 800, 3) if box_white(shot.pixel(x, y))]
    return sum(rows) / len(rows) if rows else 600


warm = lambda p: p[0] > 160  # the turning model's colours; its water is never this red
water = lambda p: p[2] > p[0] + 30


def outlined_rows(shot):
    """Rows where the trousers begin, from the left, right after dark pixels."""
    rows = 0
    for y in range(0, 600, 2):
        xs = [x for x in range(8, 800) if denim(shot.pixel(x, y))]
        if xs and min(max(shot.pixel(x, y)) for x in range(xs[0] - 5, xs[0])) < 60:
            rows += 1
    return rows


class Scenes(ShowCase):
    def test_1_cartoon_model_between_its_cuts(self):
        self.show.jump_to(20)
        self.assertLess(self.show.wait_until_demo_time(20.3), 23.0)
        shot = self.show.screenshot()
        self.assertGreater(count(shot, is_orange), 300, "the model's orange knot should fill part of the view")
        self.assertTrue(near(shot.pixel(400, 5), (0, 0, 0), 10))

    def test_2_room_with_highlights_under_moving_bands(self):
        # From just before the room, as the show plays: a jump straight into
        # it would skip the opening camera's hand-over.
        self.show.jump_to(28)
        self.show.wait_until_demo_time(31.0)
        first = self.show.screenshot()
        self.show.wait_until_demo_time(32.0)
        second = self.show.screenshot()
        self.assertGreater(count(first, lambda p: max(p) > 40), 4000, "the room fills the picture")
        self.assertGreater(count(first, lambda p: min(p) > 200, step=2), 30, "cube-map highlights")
        moved = sum(1 for y in range(0, 600, 8) for x in range(0, 800, 8)
                    if abs(sum(first.pixel(x, y)) - sum(second.pixel(x, y))) > 60)
        self.assertGreater(moved, 300, "the bands and the camera move")

    def test_3_turning_model_over_its_picture_and_the_character_loaded_whole(self):
        show = self.show
        self.assertIn("Loading cal3d character from skeleton/skeleton.cfg", show.output())
        with open(os.path.join(harness.ARGS.show, "skeleton", "skeleton.cfg")) as f:
            entries = sum(1 for line in f if "=" in line and not line.startswith("#"))
        self.assertEqual(len([l for l in show.lines if l.startswith("    subloading ")]), entries)
        self.assertNotIn("LoadCFG error: ", show.output())

        show.jump_to(59)
        show.wait_until_demo_time(60)
        a = show.screenshot()
        time.sleep(1.0)
        b = show.screenshot()
        self.assertGreater(share(a, water), 0.5, "the background picture fills the screen")
        self.assertGreater(share(a, warm), 0.02, "the cartoon model stands in front of it")
        self.assertGreater(changed(a, b, warm), 300, "the model turns")

    def test_4_floor_boxes_light_and_shadows_then_the_rain(self):
        # Pictures first, judgement after: reading pixels is slow. A status line's
        # time is a lower bound for the next picture, off by a few frames.
        show = self.show
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

        self.assertGreater(count(hanging, floor_blue, (0, 300, 800, 600)), 1500, "the floor")
        self.assertGreater(count(hanging, box_white, step=2), 100, "the boxes")
        high = height_of_boxes(hanging)
        # The light circles once every four seconds, overhead: its marker
        # passes through the picture on the far side of the circle.
        marker = lambda p: p[0] > 180 and 80 < p[1] < 170 and 80 < p[2] < 170
        self.assertTrue(any(count(s, marker, (0, 0, 800, 300), step=2) > 1 for _, s in around_the_fall),
                        "the light's marker")
        self.assertGreater(len({height_of_boxes(s) for t, s in around_the_fall if t > 73.0}), 1, "the boxes move")

        self.assertTrue(lying and held, "pictures after the landing and inside the restart window")
        landed = lying[-1]
        self.assertGreater(height_of_boxes(landed), high + 40, "they fell to the floor")
        # Where the boxes lie the light's depth map darkens the floor.
        self.assertGreater(count(landed, lambda p: max(p) < 30, (100, 250, 700, 600), step=2), 150,
                           "shadows on the floor")
        self.assertLess(min(top_of_boxes(s) for s in held), top_of_boxes(landed) - 40,
                        "back up at their start poses")
        # The floor filled the bottom of the picture; later only the
        # dancer's trousers share its blue.
        self.assertLess(count(after, floor_blue, (0, 450, 800, 600)), 1000, "the segment is gone after 87 s")

    def test_5_dancing_character_and_slime_bands(self):
        # Reached by playing on from before 87 s, so the camera windows open in
        # turn. The jump is needed even after the light scene's test: judging
        # its pictures can take the show past the dancer's last second.
        show = self.show
        show.jump_to(86)
        show.wait_until_demo_time(90)
        c = show.screenshot()
        time.sleep(0.25)
        d = show.screenshot()
        time.sleep(0.75)
        e = show.screenshot()
        self.assertGreater(share(c, denim), 0.005, "the character in front of the slime")
        self.assertGreater(outlined_rows(c), 20, "cartoon outlines round the character")
        self.assertGreater(changed(c, d, denim), 100, "the dancer's pose changes")
        self.assertGreater(count(c, lambda p: p[1] > p[0] + 20 and p[1] > p[2]), 10000, "slime covers the screen")
        moved = sum(1 for y in range(0, 600, 8) for x in range(0, 800, 8) if c.pixel(x, y) != e.pixel(x, y))
        self.assertGreater(moved, 500, "the bands move")
        self.assertEqual(show.quit(), 0)


if __name__ == "__main__":
    harness.main()
