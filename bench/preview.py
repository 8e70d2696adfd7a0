#!/usr/bin/env python3
"""Times `landinfo land.dat level.png`, the preview of a land file, against
ImageMagick's `convert level.bmp level.png` of the exported bitmap, which is
what a level maker would otherwise run, in alternating runs on the example
level; reports medians, peak memory and the PNG sizes, and the time of each
stage of the preview (bench/preview_bench).

    bench/preview.py [--build build] [--runs 31]

It builds the programs first, makes land.dat from examples/level.bmp with
bmp2land, and exports it back to level.bmp with landinfo. landinfo never
writes over a file, so its picture is removed before each run, outside the
time measured."""
import argparse
import os
import shutil
import statistics
import subprocess
import tempfile

from whole_process import timed, top


def peak_mib(command, cwd, before=lambda: None):
    before()
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
    landinfo = os.path.join(build, "landinfo")
    with tempfile.TemporaryDirectory() as work:
        shutil.copy(os.path.join(top, "examples", "level.bmp"), os.path.join(work, "drawn.bmp"))
        subprocess.run([os.path.join(build, "bmp2land"), "drawn.bmp"], cwd=work, check=True,
                       stdout=subprocess.DEVNULL)
        subprocess.run([landinfo, "land.dat", "level.bmp"], cwd=work, check=True,
                       stdout=subprocess.DEVNULL)
        stages = [os.path.join(build, "bench", "preview_bench"), "land.dat", "stages.png"]
        print("stages: " + subprocess.run(stages, cwd=work, check=True, capture_output=True,
                                          text=True).stdout.strip())
        preview = os.path.join(work, "preview.png")

        def remove_preview():
            if os.path.exists(preview):
                os.remove(preview)

        ours = [landinfo, "land.dat", "preview.png"]
        theirs = [convert_program, "level.bmp", "convert.png"] if convert_program else None
        for _ in range(3):  # warm the caches
            remove_preview()
            timed(ours, work)
            if theirs:
                timed(theirs, work)
        ours_ns, theirs_ns = [], []
        for _ in range(args.runs):
            remove_preview()
            ours_ns.append(timed(ours, work))
            if theirs:
                theirs_ns.append(timed(theirs, work))
        ours_peak = peak_mib(ours, work, remove_preview)
        print(f"landinfo land.dat preview.png median {statistics.median(ours_ns) / 1e6:.1f} ms, "
              f"peak {ours_peak:.1f} MiB, preview.png {os.path.getsize(preview)} bytes")
        if theirs:
            size = os.path.getsize(os.path.join(work, "convert.png"))
            print(f"{os.path.basename(convert_program)} level.bmp convert.png median "
                  f"{statistics.median(theirs_ns) / 1e6:.1f} ms, "
                  f"peak {peak_mib(theirs, work):.1f} MiB, convert.png {size} bytes "
                  f"({args.runs} alternating runs)")
            print(f"landinfo takes {statistics.median(ours_ns) / statistics.median(theirs_ns):.2f} "
                  "of convert's time")
        else:
            print("ImageMagick (convert-im6.q16 or magick) not found: nothing to compare with")


if __name__ == "__main__":
    main()
