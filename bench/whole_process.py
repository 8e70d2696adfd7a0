#!/usr/bin/env python3
"""Times the whole bmp2land process on the example level against a copy of the
same file that also syncs it to the disk, in alternating runs, and reports peak
memory and instruction count.

    bench/whole_process.py [--build build] [--runs 101]

bmp2land syncs land.dat before it reports "Done!", so the copy it is measured
against does too: `dd bs=1M conv=fsync`, one process that copies the file and
fsyncs the copy before it exits. Budgets on this machine kind: at most 1.5 times
that copy's wall time, 8 MiB peak resident memory and 8 million instructions."""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
top = os.path.dirname(here)


def timed(command, cwd):
    start = time.perf_counter_ns()
    subprocess.run(command, cwd=cwd, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter_ns() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(top, "build"))
    parser.add_argument("--runs", type=int, default=101)
    args = parser.parse_args()
    program = os.path.abspath(os.path.join(args.build, "bmp2land"))
    with tempfile.TemporaryDirectory() as work:
        level = os.path.join(work, "level.bmp")
        shutil.copy(os.path.join(top, "examples", "level.bmp"), level)
        convert = [program, "level.bmp"]
        copy = ["dd", "if=level.bmp", "of=copy.bmp", "bs=1M", "conv=fsync", "status=none"]
        for _ in range(5):  # warm the caches
            timed(convert, work)
            timed(copy, work)
        ours, theirs = [], []
        for _ in range(args.runs):
            ours.append(timed(convert, work))
            theirs.append(timed(copy, work))
        ratios = [a / b for a, b in zip(ours, theirs)]
        print(f"bmp2land median {statistics.median(ours) / 1e6:.3f} ms, "
              f"dd conv=fsync median {statistics.median(theirs) / 1e6:.3f} ms, "
              f"median ratio {statistics.median(ratios):.2f} ({args.runs} alternating runs)")

        timing = subprocess.run(["/usr/bin/time", "-f", "%M"] + convert, cwd=work, check=True,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        print(f"peak resident memory {int(timing.stderr.split()[-1]) / 1024:.2f} MiB")

        grind = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"]
                               + convert, cwd=work, check=True, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, text=True)
        collected = re.search(r"Collected : (\d+)", grind.stderr)
        print(f"instructions {int(collected.group(1)):,} (callgrind)")


if __name__ == "__main__":
    main()
