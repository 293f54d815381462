#!/usr/bin/env python3
"""Runs the show for a long time (30 minutes by default) on a virtual
display, restarting it with the 0 key every few minutes, and prints its
resident memory over time, so a leak shows as a rising column. A benchmark,
not a test: it prints figures and passes no judgement."""

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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", default=os.path.join(HERE, "..", "build", "demo"))
    parser.add_argument("--show", default=os.path.join(HERE, "..", "show"))
    parser.add_argument("--minutes", type=float, default=30.0)
    parser.add_argument("--restart-every", type=float, default=180.0, help="seconds between restarts")
    parser.add_argument("--sample-every", type=float, default=30.0, help="seconds between memory samples")
    args = parser.parse_args()
    harness.ARGS = args

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
