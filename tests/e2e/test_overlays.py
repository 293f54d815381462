"""The overlays on one run of the show without its optional models and with
black pictures behind the character section, so that what lies over them
stands alone: the greeting logos and the title between its flashes, the
feedback scope and its echo running on to the end, and the character built
from the meshes that loaded."""

import os
import time
import unittest

import harness
from harness import ShowCase, changed, count, denim, share, shots_until

# Where the logos stand on the 800 x 600 screen, away from the model in the
# middle: (x0, y0, x1, y1) with y down.
LUMBRA = (20, 30, 280, 170)
KVELL = (520, 30, 780, 170)
TRINNA = (20, 420, 280, 580)
OSTRA = (520, 420, 780, 580)
TITLE_LEFT = (10, 240, 200, 340)


def black_png(path):
    """A tiny opaque black PNG, so a picture's place shows only the scene."""
    harness.write_png(path, [b"\0\0\0" * 8] * 8)


def lit(p):
    return max(p) > 80


def faint(p):
    return max(p) > 6


class OverlaysAlone(ShowCase):
    @staticmethod
    def prepare(folder):
        # The room follows the title; without it the screen behind the logos
        # stays black, so their leaving can be seen.
        os.remove(os.path.join(folder, "ddata", "blobroom.3ds"))
        os.remove(os.path.join(folder, "demodata", "torus.3ds"))
        black_png(os.path.join(folder, "ddata", "nybak1.png"))
        black_png(os.path.join(folder, "ddata", "slime.png"))
        with open(os.path.join(folder, "skeleton", "skeleton.cfg"), "a") as f:
            f.write("mesh=missing.cmf\n")

    def test_1_missing_parts_are_named(self):
        self.show.wait_for(r"^Could not read model: ddata/blobroom\.3ds$")
        self.show.wait_for(r"^Could not read model: demodata/torus\.3ds$")
        self.assertEqual(sum(1 for l in self.show.lines if l.startswith("LoadCFG error: ")), 1)

    def test_2_logos_title_and_flashes(self):
        # Pictures first, judgement after: reading pixels is slow, the show
        # does not wait.
        show = self.show
        show.jump_to(21)
        show.wait_until_demo_time(21.9)
        first = show.screenshot()
        show.wait_until_demo_time(24.5)
        all_six = show.screenshot()
        # The first title flash (25.25 to 25.65) lifts the whole picture.
        around_the_flash = shots_until(show, 25.7)
        show.wait_until_demo_time(27.0)
        title = show.screenshot()
        # The second flash takes over at 29.09 and falls; its window closes
        # at 30.09, and by then the logos and the title are gone.
        show.wait_until_demo_time(29.3)
        second_flash = show.screenshot()
        show.wait_until_demo_time(30.3)
        after = show.screenshot()

        self.assertGreater(share(first, lit, LUMBRA), 0.05, "the first logo and its glow")
        for box in (KVELL, TRINNA):
            self.assertLess(share(first, lit, box), 0.01, "later logos not yet on")
        for box in (LUMBRA, KVELL, TRINNA, OSTRA):
            self.assertGreater(share(all_six, lit, box), 0.05, "all logos on")
        self.assertLess(share(all_six, lit, TITLE_LEFT), 0.01, "no title yet")
        lifted = max(count(s, lambda p: min(p) > 60) for _, s in around_the_flash)
        self.assertGreater(lifted, 20000, "white flash over the picture")
        self.assertGreater(share(title, lit, TITLE_LEFT), 0.1, "the title unfolds across the screen")
        self.assertGreater(count(second_flash, lambda p: min(p) > 150), 20000)
        for box in (LUMBRA, KVELL, TRINNA, OSTRA, TITLE_LEFT):
            self.assertLess(share(after, lit, box), 0.01, "logos and title gone")

    def test_3_scope_and_its_echo_over_the_black_picture(self):
        # The echo adds two 72 % copies of itself each frame, so it spreads
        # until it covers the screen in a faint, even veil; how soon depends
        # on the frame rate. Its spreading is seen from the first pictures
        # of its window on, not at a fixed time.
        show = self.show
        show.jump_to(59.5)
        shots = [s for t, s in shots_until(show, 61.5) if t >= 59.5]
        first = shots[0]
        self.assertGreater(share(first, lambda p: faint(p) and p[0] <= 160), 0.05, "the scope and its echo")
        self.assertGreater(max(changed(first, s, faint, step=8) for s in shots[::4]), 50, "the echo spreads")
        self.assertGreater(share(shots[-1], faint), share(first, faint) + 0.1, "the echo grows over the picture")

    def test_4_the_light_scene_without_its_torus_then_the_character_from_the_meshes_that_loaded(self):
        show = self.show
        show.jump_to(72)
        self.assertGreaterEqual(show.wait_until_demo_time(72.5), 72.5)
        show.jump_to(86)  # before 87, so the camera windows open in turn
        show.wait_until_demo_time(90)
        self.assertGreater(share(show.screenshot(), denim), 0.005, "built from the meshes that loaded")
        show.wait_until_demo_time(100.5)
        self.assertLess(share(show.screenshot(), denim), 0.001, "the character has gone")
        # By now the echo has spread over the whole overlay: a faint veil
        # over the black, once the flash at 100 s is over.
        show.wait_until_demo_time(101.2)
        self.assertGreater(share(show.screenshot(), faint), 0.5, "the scope still draws")
        self.assertEqual(show.quit(), 0)


if __name__ == "__main__":
    harness.main()
