#!/usr/bin/env python3
"""Runs the show for a long time (30 minutes by default) on a virtual
display, restarting it with the 0 key every few minutes, and prints its
resident memory over time, so a leak shows as a rising column. With
--reloads N it instead saves "scripts/flash.txt" N times while the show
runs, as the author's editor does, waits for each reload, and prints the
resident memory after the first and how far it has moved since. A
benchmark, not a test: it prints figures and passes no judgement."""

import argparse
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
import harness  # noqa: E402


def resident_mib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return float("nan")


def flash_script(variant, count=250):
    """A flash on every beat, shifted a little per variant, so each save
    differs from the last."""
    beat = 5.0 / 11.0
    lines = []
    for i in range(count):
        start = 17.0 + i * beat + (variant % 7) * 0.01
        lines.append("%.4f %.4f 0.05 0.3 0 1" % (start, start + 0.35))
    return "\n".join(lines) + "\n"


def save_like_an_editor(folder, text):
    path = os.path.join(folder, "scripts", "flash.txt")
    with open(path + ".saving", "w") as f:
        f.write(text)
    os.replace(path + ".saving", path)


def soak_reloads(show, reloads):
    # Past the warm-up, among the flashes, and paused there (the frame loop
    # and the reloads go on): what a part allocates as it first shows would
    # otherwise be counted as the reloads' growth.
    show.jump_to(20.0)
    show.wait_until_demo_time(20.5)
    show.press("space", r"^\*\* Paused \*\*$")
    print("%8s %10s %10s" % ("reloads", "RSS MiB", "since 1st"))
    first = None
    for i in range(reloads):
        before = len(show.lines)
        save_like_an_editor(show.folder, flash_script(i))
        show.wait_for(r"^Changed: scripts/flash.txt$", 60, before)
        show.status_time(timeout=60)  # a frame drawn with the new flashes
        rss = resident_mib(show.process.pid)
        if first is None:
            first = rss
        if i == 0 or (i + 1) % (100 if reloads >= 500 else 10) == 0:
            print("%8d %10.1f %+10.1f" % (i + 1, rss, rss - first), flush=True)
    print("resident memory after %d reloads: %.1f MiB, %+.1f MiB from after the first" % (reloads, rss, rss - first))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", default=os.path.join(HERE, "..", "build", "demo"))
    parser.add_argument("--show", default=os.path.join(HERE, "..", "show"))
    parser.add_argument("--minutes", type=float, default=30.0)
    parser.add_argument("--restart-every", type=float, default=180.0, help="seconds between restarts")
    parser.add_argument("--sample-every", type=float, default=30.0, help="seconds between memory samples")
    parser.add_argument("--reloads", type=int, default=0, help="save the flash script this many times instead")
    args = parser.parse_args()
    harness.ARGS = args

    if args.reloads:
        with harness.Show() as show:
            show.status_time(timeout=120)
            soak_reloads(show, args.reloads)
            show.quit()
        return

    with harness.Show() as show:
        show.status_time(timeout=120)
        start = last_restart = time.time()
        print("%8s %10s %10s %8s" % ("minutes", "demo time", "RSS MiB", "restarts"))
        restarts = 0
        samples = []
        while time.time() - start < args.minutes * 60:
            time.sleep(args.sample_every)
            if time.time() - last_restart >= args.restart_every:
                show.key("0")
                restarts += 1
                last_restart = time.time()
            rss = resident_mib(show.process.pid)
            samples.append(rss)
            print("%8.1f %10.1f %10.1f %8d" % ((time.time() - start) / 60, show.latest_demo_time(), rss, restarts),
                  flush=True)
        show.quit()
    if len(samples) >= 4:
        quarter = len(samples) // 4
        first, last = samples[quarter:2 * quarter], samples[-quarter:]
        print("resident memory: second quarter mean %.1f MiB, last quarter mean %.1f MiB, max %.1f MiB"
              % (sum(first) / len(first), sum(last) / len(last), max(samples)))


if __name__ == "__main__":
    main()
