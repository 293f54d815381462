"""The capture from outside: a short range rendered with no X display into an
MP4 that ffprobe reads as asked, the right background on each side of the
16.46 s cut, frame-for-frame repeatable captures, Ctrl-C leaving a playable
file, and clear failures."""

import os
import re
import shutil
import signal
import subprocess
import unittest

import harness
from harness import RunFolder, near, probe, stills

GREY = (102, 102, 102)
FPS = 10
FROM, TO = 15.6, 17.2


def png_pixel(path, x, y):
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                         stdout=subprocess.PIPE, check=True).stdout
    i = (y * 800 + x) * 3
    return tuple(raw[i:i + 3])


class Capture(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.run_folder = RunFolder()
        cls.result = cls.run_folder.run("out.mp4", "--fps", str(FPS), "--from", str(FROM), "--to", str(TO),
                                        "--png", "stills")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.run_folder.workdir, ignore_errors=True)

    def test_short_range_headless_gives_the_asked_video_with_sound(self):
        code, out, err = self.result
        self.assertEqual(code, 0, err)
        self.assertRegex(err, r"\[#+\] 16/16 frames  [\d.]+ fps  \d+:\d\d left")
        self.assertRegex(err, r"Captured 16 frames \(1\.6 s of show\) in [\d.]+ s: [\d.]+ x real time")
        info = probe(self.run_folder.path("out.mp4"))
        self.assertEqual(sorted(s["codec_type"] for s in info["streams"]), ["audio", "video"])
        video = [s for s in info["streams"] if s["codec_type"] == "video"][0]
        self.assertEqual({k: video[k] for k in ("width", "height", "codec_name", "pix_fmt", "r_frame_rate")},
                         {"width": 800, "height": 600, "codec_name": "h264", "pix_fmt": "yuv420p",
                          "r_frame_rate": "%d/1" % FPS})
        self.assertAlmostEqual(float(video["duration"]), TO - FROM, delta=1.0 / FPS)
        self.assertAlmostEqual(float(info["format"]["duration"]), TO - FROM, delta=1.0 / FPS)

    def test_grey_before_the_cut_black_after(self):
        folder = self.run_folder.path("stills")
        self.assertEqual(len(os.listdir(folder)), 16)
        grey = png_pixel(os.path.join(folder, "frame_000160.png"), 5, 5)
        black = png_pixel(os.path.join(folder, "frame_000170.png"), 5, 5)
        self.assertTrue(near(grey, GREY), grey)
        self.assertTrue(near(black, (0, 0, 0)), black)

    def test_two_captures_of_a_range_match_frame_for_frame(self):
        code, _, err = self.run_folder.run("again.mp4", "--fps", str(FPS), "--from", str(FROM), "--to", str(TO),
                                           "--png", "again")
        self.assertEqual(code, 0, err)
        first = stills(self.run_folder.path("stills"))
        second = stills(self.run_folder.path("again"))
        self.assertEqual(sorted(first), sorted(second))
        for name in first:
            self.assertTrue(first[name] == second[name], name + " differs")

    def test_ctrl_c_stops_cleanly_and_leaves_a_playable_file(self):
        process = self.run_folder.start("long.mp4", "--fps", "10", "--from", "0", "--to", "60")
        try:
            # Wait for the bar, so ffmpeg runs and frames flow.
            for line in process.stderr:
                if re.search(r"\d+/600 frames", line):
                    break
            ffmpeg = children(process.pid)
            self.assertEqual(len(ffmpeg), 1)
            self.assertNotEqual(os.getpgid(ffmpeg[0]), os.getpgid(process.pid),
                                "ffmpeg must not share the terminal's Ctrl-C")
            os.killpg(os.getpgid(process.pid), signal.SIGINT)  # what the terminal does
            _, err = process.communicate(timeout=120)
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
        self.assertEqual(process.returncode, 130, err)
        frames = int(re.search(r"holds the first (\d+) of 600 frames", err).group(1))
        self.assertGreater(frames, 0)
        info = probe(self.run_folder.path("long.mp4"))
        video = [s for s in info["streams"] if s["codec_type"] == "video"][0]
        self.assertEqual(int(video["nb_frames"]), frames)
        self.assertTrue(any(s["codec_type"] == "audio" for s in info["streams"]))

    def test_failures_say_why_and_exit_non_zero(self):
        for args, env, code, message in [
                (("no/such/folder/out.mp4", "--to", "1"), {}, 1, "cannot write no/such/folder/out.mp4"),
                (("out2.mp4", "--to", "1"), {"PATH": "/nonexistent"}, 1, "ffmpeg not found"),
                (("out3.mp4", "--fps", "fast"), {}, 2, "--fps needs a number"),
                (("out4.mp4", "--from", "500"), {}, 1, "--from must lie within the soundtrack"),
                # ffmpeg itself failing: an output it cannot make (no such muxer).
                (("out5.unknownformat", "--to", "0.5"), {}, 1, "is not complete")]:
            result, _, err = self.run_folder.run(*args, **env)
            self.assertEqual(result, code, err)
            self.assertIn(message, err)
            if code == 2:
                self.assertIn("usage: capture OUTPUT.mp4", err)


def children(pid):
    found = []
    for task in os.listdir("/proc/%d/task" % pid):
        with open("/proc/%d/task/%s/children" % (pid, task)) as f:
            found += [int(p) for p in f.read().split()]
    return found


if __name__ == "__main__":
    harness.main()
