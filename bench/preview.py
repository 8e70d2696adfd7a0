#!/usr/bin/env python3
"""Times a land file's preview PNG (bench/preview_bench: read, render, encode,
write) against ImageMagick's convert of the exported bitmap to PNG, which is
what a level maker would otherwise run, in alternating runs on the example
level; reports medians, peak memory and the PNG sizes.

    bench/preview.py [--build build] [--runs 31]

It builds preview_bench first, makes land.dat from examples/level.bmp with
bmp2land, and exports it back to level.bmp with landinfo."""
import argparse
import os
import shutil
import statistics
import subprocess
import tempfile

from whole_process import timed, top


def peak_mib(command, cwd):
    timing = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, cwd=cwd, check=True,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    return int(timing.stderr.split()[-1]) / 1024


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(top, "build"))
    parser.add_argument("--runs", type=int, default=31)
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    subprocess.run(["cmake", "--build", build, "--target", "preview_bench", "bmp2land",
                    "landinfo"], check=True, stdout=subprocess.DEVNULL)
    convert_program = shutil.which("convert-im6.q16") or shutil.which("magick")
    with tempfile.TemporaryDirectory() as work:
        shutil.copy(os.path.join(top, "examples", "level.bmp"), os.path.join(work, "drawn.bmp"))
        subprocess.run([os.path.join(build, "bmp2land"), "drawn.bmp"], cwd=work, check=True,
                       stdout=subprocess.DEVNULL)
        subprocess.run([os.path.join(build, "landinfo"), "land.dat", "level.bmp"], cwd=work,
                       check=True, stdout=subprocess.DEVNULL)
        ours = [os.path.join(build, "bench", "preview_bench"), "land.dat", "preview.png"]
        print(subprocess.run(ours, cwd=work, check=True, capture_output=True,
                             text=True).stdout.strip())
        theirs = [convert_program, "level.bmp", "convert.png"] if convert_program else None
        for _ in range(3):  # warm the caches
            timed(ours, work)
            if theirs:
                timed(theirs, work)
        ours_ns, theirs_ns = [], []
        for _ in range(args.runs):
            ours_ns.append(timed(ours, work))
            if theirs:
                theirs_ns.append(timed(theirs, work))
        size = os.path.getsize(os.path.join(work, "preview.png"))
        print(f"preview_bench median {statistics.median(ours_ns) / 1e6:.1f} ms, "
              f"peak {peak_mib(ours, work):.1f} MiB, preview.png {size} bytes")
        if theirs:
            size = os.path.getsize(os.path.join(work, "convert.png"))
            print(f"{os.path.basename(convert_program)} level.bmp convert.png median "
                  f"{statistics.median(theirs_ns) / 1e6:.1f} ms, "
                  f"peak {peak_mib(theirs, work):.1f} MiB, convert.png {size} bytes "
                  f"({args.runs} alternating runs)")
        else:
            print("ImageMagick (convert-im6.q16 or magick) not found: nothing to compare with")


if __name__ == "__main__":
    main()
