"""The character section on screen: the turning cartoon model over its
background picture with the feedback scope (58 to 70 s), the dancing
cartoon character (87 to 100 s), the scope running on to 116 s, and the
character's start-up messages, also with its files missing or broken."""

import os
import struct
import time
import unittest
import zlib

import harness
from harness import Show


def black_png(path):
    """A tiny opaque black PNG, so a picture's place shows only the scene."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + b"\0\0\0" * 8 for _ in range(8))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 8, 8, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def samples(shot, step=4):
    return [(x, y, shot.pixel(x, y)) for y in range(0, 600, step) for x in range(0, 800, step)]


def share(shot, predicate, step=4):
    pixels = samples(shot, step)
    return sum(1 for _, _, p in pixels if predicate(p)) / len(pixels)


def warm(p):
    """The model's orange, pink and cream: the water behind it is never this red."""
    return p[0] > 160


def water(p):
    return p[2] > p[0] + 30


def denim(p):
    """The dancer's trousers: the slime has no blue in it."""
    return p[2] > p[0] + 60 and p[2] > p[1] - 10


def outlined_rows(shot):
    """Rows where the trousers begin, from the left, right after dark pixels."""
    rows = 0
    for y in range(0, 600, 2):
        xs = [x for x in range(8, 800) if denim(shot.pixel(x, y))]
        if xs and min(max(shot.pixel(x, y)) for x in range(xs[0] - 5, xs[0])) < 60:
            rows += 1
    return rows


def changed(a, b, predicate, step=2):
    return sum(1 for y in range(0, 600, step) for x in range(0, 800, step)
               if predicate(a.pixel(x, y)) != predicate(b.pixel(x, y)))


def config_entries(show_folder):
    with open(os.path.join(show_folder, "skeleton", "skeleton.cfg")) as f:
        return sum(1 for line in f if "=" in line and not line.startswith("#"))


class CharacterSection(unittest.TestCase):
    def test_turning_model_and_dancing_character(self):
        with Show() as show:
            show.status_time(timeout=90)
            self.assertIn("Loading cal3d character from skeleton/skeleton.cfg", show.output())
            subloading = [l for l in show.lines if l.startswith("    subloading ")]
            self.assertEqual(len(subloading), config_entries(harness.ARGS.show))
            self.assertNotIn("LoadCFG error: ", show.output())

            show.jump_to(59)
            show.wait_until_demo_time(60)
            a = show.screenshot()
            time.sleep(1.0)
            b = show.screenshot()
            self.assertGreater(share(a, water), 0.5, "the background picture fills the screen")
            self.assertGreater(share(a, warm), 0.02, "the cartoon model stands in front of it")
            self.assertGreater(changed(a, b, warm), 300, "the model turns")

            show.jump_to(86)  # before 87, so the camera windows open in turn
            show.wait_until_demo_time(90)
            c = show.screenshot()
            time.sleep(0.25)
            d = show.screenshot()
            self.assertGreater(share(c, denim), 0.005, "the character in front of the slime")
            self.assertGreater(outlined_rows(c), 20, "cartoon outlines round the character")
            self.assertGreater(changed(c, d, denim), 100, "the dancer's pose changes")
            self.assertEqual(show.quit(), 0)

    def test_scope_runs_on_and_a_missing_mesh_is_reported(self):
        def prepare(folder):
            # Black pictures leave the model, the character and the faint
            # scope alone on screen.
            black_png(os.path.join(folder, "ddata", "nybak1.png"))
            black_png(os.path.join(folder, "ddata", "slime.png"))
            with open(os.path.join(folder, "skeleton", "skeleton.cfg"), "a") as f:
                f.write("mesh=missing.cmf\n")

        def lit(p):
            return max(p) > 6

        with Show(prepare=prepare) as show:
            show.status_time(timeout=90)
            self.assertEqual(sum(1 for l in show.lines if l.startswith("LoadCFG error: ")), 1)
            show.jump_to(59.5)
            show.wait_until_demo_time(60.5)
            scope = show.screenshot()
            time.sleep(0.5)
            later = show.screenshot()
            self.assertGreater(share(scope, lambda p: lit(p) and not warm(p)), 0.05, "the scope and its echo")
            self.assertGreater(changed(scope, later, lit, step=4), 50, "the echo moves")

            show.jump_to(86)  # before 87, so the camera windows open in turn
            show.wait_until_demo_time(90)
            self.assertGreater(share(show.screenshot(), denim), 0.005, "built from the meshes that loaded")

            show.wait_until_demo_time(100.5)
            self.assertLess(share(show.screenshot(), denim), 0.001, "the character has gone")
            # By now the echo has spread over the whole overlay: a faint veil
            # over the black, once the flash at 100 s is over.
            show.wait_until_demo_time(101.2)
            self.assertGreater(share(show.screenshot(), lit), 0.5, "the scope still draws")
            self.assertEqual(show.quit(), 0)

    def test_missing_configuration_leaves_the_show_running(self):
        def prepare(folder):
            os.remove(os.path.join(folder, "skeleton", "skeleton.cfg"))

        with Show(prepare=prepare) as show:
            show.status_time(timeout=90)
            self.assertIn("Cannot load correctly model config file.", show.lines)
            show.jump_to(90)
            self.assertGreaterEqual(show.wait_until_demo_time(90.5), 90.5)
            self.assertEqual(show.quit(), 0)
            self.assertIn(b"opening failed!", show.stderr)


if __name__ == "__main__":
    harness.main()
