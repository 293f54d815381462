"""Chunks of a capture, from outside: the frames of the parts of a range,
each rendered by a capture of its own, are byte for byte those of one
capture of the range - across the box rain's start, in the dance, deep in
the scope's echo and in the opening scope, where the show's state carries
over from frame to frame - while a plain capture from a chunk's start is
not; the joined video holds exactly the range's frames and the same sound
as one capture; and what cannot be chunked or joined is refused."""

import os
import re
import shutil
import subprocess
import unittest

import harness
from harness import RunFolder, probe, stills


class Chunks(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.run_folder = RunFolder()
        cls.done = {}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.run_folder.workdir, ignore_errors=True)

    def capture(self, video, fps, start, end, *extra, png=None):
        """Runs the capture once for each set of arguments (later tests reuse
        the files) and returns what it printed on its error output."""
        args = (video + ".mp4", "--fps", str(fps), "--from", str(start), "--to", str(end),
                "--png", png or video) + extra
        if args not in self.done:
            code, _, err = self.run_folder.run(*args)
            self.assertEqual(code, 0, err)
            self.done[args] = err
        return self.done[args]

    def assert_chunks_match_the_whole(self, label, fps, start, end, chunks):
        whole = label + "-whole"
        self.capture(whole, fps, start, end)
        logs = [self.capture("%s-part%d" % (label, k), fps, start, end, "--chunk", "%d/%d" % (k, chunks),
                             png=label + "-parts")
                for k in range(1, chunks + 1)]
        expected, got = stills(self.run_folder.path(whole)), stills(self.run_folder.path(label + "-parts"))
        self.assertEqual(sorted(expected), sorted(got))
        differing = [name for name in expected if expected[name] != got[name]]
        self.assertEqual(differing, [], "%s: %d of %d frames differ" % (label, len(differing), len(expected)))
        return logs

    def test_across_the_box_rains_start(self):
        self.assert_chunks_match_the_whole("rain", 60, 72, 76, 2)

    def test_inside_the_dance(self):
        self.assert_chunks_match_the_whole("dance", 30, 88, 92, 2)

    def test_deep_in_the_scopes_echo_it_steps_undrawn_then_pre_rolls(self):
        logs = self.assert_chunks_match_the_whole("echo", 60, 60, 74, 2)
        # The second chunk (67 s on) steps through 60 frames undrawn, draws
        # the echo from black for 360, checks it white, and encodes 420.
        self.assertIn("chunk 2/2  stepping to the pre-roll 60/60", logs[1])
        self.assertIn("pre-roll 360/360 (not encoded)", logs[1])
        self.assertRegex(logs[1], r"chunk 2/2  \[#+\] 420/420 frames")
        self.assertNotIn("capturing again", logs[1])

    def test_in_the_opening_scope(self):
        self.assert_chunks_match_the_whole("opening", 30, 6, 17, 4)

    def test_a_plain_capture_from_a_chunks_start_is_not_the_same(self):
        # What the pre-roll is for: the boxes have fallen since 73 s, the echo
        # has grown since 72 s.
        self.capture("rain-whole", 60, 72, 76)
        self.capture("rain-late", 60, 74, 74.1)
        whole, late = stills(self.run_folder.path("rain-whole")), stills(self.run_folder.path("rain-late"))
        self.assertTrue(all(late[name] != whole[name] for name in late))

    def assert_joined_parts_hold_the_ranges_frames_and_its_sound(self, label, chunks, frames):
        parts = ["%s-part%d.mp4" % (label, k) for k in range(1, chunks + 1)]
        joined_name = label + "-joined.mp4"
        # Given out of order: the join puts them in order by their tags.
        code, out, err = self.run_folder.run("--join", joined_name, *reversed(parts))
        self.assertEqual(code, 0, err)
        self.assertIn("%d parts joined" % chunks, out)
        joined = self.run_folder.path(joined_name)
        video = [s for s in probe(joined)["streams"] if s["codec_type"] == "video"][0]
        self.assertEqual((video["width"], video["height"], video["codec_name"]), (800, 600, "h264"))
        # Every frame of each part, copied in order: none lost or doubled.
        sums = [sum_ for part in parts for sum_ in frame_sums(self.run_folder.path(part))]
        self.assertEqual(len(sums), frames)
        self.assertEqual(frame_sums(joined), sums)
        # The sound is that of one capture of the range, so nothing changes
        # at the seams.
        self.assertEqual(sound(joined), sound(self.run_folder.path(label + "-whole.mp4")))
        # And it plays through.
        subprocess.run(["ffmpeg", "-v", "error", "-xerror", "-i", joined, "-f", "null", "-"], check=True)

    def test_joined_parts_hold_the_ranges_frames_and_its_sound(self):
        self.assert_chunks_match_the_whole("rain", 60, 72, 76, 2)
        self.assert_joined_parts_hold_the_ranges_frames_and_its_sound("rain", 2, 240)
        self.assert_chunks_match_the_whole("opening", 30, 6, 17, 4)
        self.assert_joined_parts_hold_the_ranges_frames_and_its_sound("opening", 4, 330)

    def test_what_cannot_be_chunked_or_joined_is_refused_in_one_line(self):
        for chunk in ["3/2", "0/2", "1/0", "2"]:
            code, _, err = self.run_folder.run("bad.mp4", "--chunk", chunk, "--to", "1")
            self.assertEqual(code, 2, chunk)
            self.assertIn("--chunk needs K/N, whole numbers with 1 <= K <= N", err)
        self.capture("gap", 10, 20, 21.2, "--chunk", "1/3")
        self.capture("gap3", 10, 20, 21.2, "--chunk", "3/3")
        for parts, message in [(["gap.mp4", "gap3.mp4"], "the parts do not follow each other"),
                               (["gap.mp4", "gap.mp4"], "the parts do not follow each other"),
                               (["gap.mp4", "missing.mp4"], "cannot read missing.mp4"),
                               (["gap.mp4", "scripts/flash.txt"], "is not a video ffprobe can read")]:
            code, _, err = self.run_folder.run("--join", "joined.mp4", *parts)
            self.assertEqual(code, 1, parts)
            self.assertIn(message, err)
            self.assertEqual(len(err.strip().splitlines()), 1, err)
        code, _, err = self.run_folder.run("bad.mp4", "--fps", "10", "--to", "0.2", "--chunk", "5/4")
        self.assertEqual(code, 2)
        code, _, err = self.run_folder.run("bad.mp4", "--fps", "10", "--to", "0.2", "--chunk", "1/4")
        self.assertEqual(code, 1)
        self.assertTrue(re.search(r"chunk 1/4 of 2 frames holds no frame", err), err)


def frame_sums(path):
    lines = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-map", "0:v", "-f", "framemd5", "-"],
                           stdout=subprocess.PIPE, text=True, check=True).stdout.splitlines()
    return [line.split(",")[-1].strip() for line in lines if not line.startswith("#")]


def sound(path):
    return subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-map", "0:a", "-f", "s16le", "-"],
                          stdout=subprocess.PIPE, check=True).stdout


if __name__ == "__main__":
    harness.main()
