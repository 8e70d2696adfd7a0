#!/usr/bin/env bash
# Builds and tests everything, stopping at the first failure:
#   0. installs what the checks use, where it can (as root, with apt-get, and
#      web/'s npm packages with npm ci);
#   1. GCC build and packages: unit, command-line, writer and fuzz-corpus
#      tests, the command-line tests again against bmp2land.exe and
#      landinfo.exe under Wine with the Windows zip unpacked and run, the
#      web page in headless Chromium, and the Linux tarball;
#   2. a bare machine: README's run command in a build that sees neither
#      GoogleTest nor any optional tool, making the same land.dat as stage 1,
#      and an install of just the two programs, the README and the starter
#      files;
#   3. Clang build with AddressSanitizer and UBSan: the whole suite again;
#   4. the three fuzz targets, sharing FUZZ_SECONDS (default 90) between them;
#   5. clang-format, clang-tidy and cppcheck.
# Every build treats warnings as errors. A stage or test whose tools are
# missing is skipped with a notice that says why.
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz_seconds=${FUZZ_SECONDS:-90}
stage() { printf '\n=== %s\n' "$*"; }
notice() { printf 'NOTICE: %s\n' "$*"; }
have() { command -v "$1" >/dev/null 2>&1; }

# What the checks use: a Debian package a line, and a file that shows it is
# installed.
packages=(
  "cmake                /usr/bin/cmake"
  "g++                  /usr/bin/g++"
  "make                 /usr/bin/make"
  "libgtest-dev         /usr/include/gtest/gtest.h"
  "util-linux           /usr/bin/setpriv"
  "strace               /usr/bin/strace"
  "imagemagick          /usr/bin/convert-im6.q16"
  "netpbm               /usr/bin/ppmtobmp"
  "python3-pil          /usr/lib/python3/dist-packages/PIL/Image.py"
  "gimp                 /usr/bin/gimp"
  "g++-mingw-w64-x86-64 /usr/bin/x86_64-w64-mingw32-g++-posix"
  "wine64               /usr/lib/wine/wine64"
  "wine                 /usr/bin/wineboot"
  "libbenchmark-dev     /usr/include/benchmark/benchmark.h"
  "libstb-dev           /usr/include/stb/stb_image.h"
  "unzip                /usr/bin/unzip"
  "clang                /usr/bin/clang++"
  "libclang-rt-14-dev   /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a"
  "clang-format         /usr/bin/clang-format"
  "clang-tidy           /usr/bin/clang-tidy"
  "cppcheck             /usr/bin/cppcheck"
  "emscripten           /usr/bin/emcc"
  "chromium             /usr/bin/chromium"
  "nodejs               /usr/bin/node"
  "npm                  /usr/bin/npm"
)

stage "Packages"
missing=()
for entry in "${packages[@]}"; do
  read -r package file <<<"$entry"
  [ -e "$file" ] || missing+=("$package")
done
if [ "${#missing[@]}" -eq 0 ]; then
  echo "all installed"
elif [ "$(id -u)" -eq 0 ] && have apt-get; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
else
  if [ "$(id -u)" -ne 0 ]; then why="not running as root"; else why="no apt-get"; fi
  for package in "${missing[@]}"; do
    notice "$package is not installed, and cannot be installed here ($why)"
  done
fi

# playwright-core, which drives Chromium in the page's tests, as web/'s lock
# file pins it; it never downloads a browser of its own.
web_packages_current() {
  node -e 'const pinned = require("./web/package-lock.json").packages;
           for (const [at, p] of Object.entries(pinned))
             if (at && require("./web/" + at + "/package.json").version !== p.version) process.exit(1);' \
    2>/dev/null
}
if have npm && ! web_packages_current; then
  echo "installing web/'s npm packages"
  (cd web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi

# CTest reports a skipped test as "Skipped" alone. This prints the reason each
# one gave through GTEST_SKIP(), and fails where a test gave none.
skip_reasons() {
  local log=$1/Testing/Temporary/LastTest.log
  [ -f "$log" ] || return 0
  awk '/^[0-9]+\/[0-9]+ Test: / { test = $3 }
       /: Skipped$/ {
         getline why
         if (why == "" || why ~ /^\[  SKIPPED \]/) { print "FAIL: " test " skipped without a reason"; bad = 1 }
         else print "skipped: " test ": " why
       }
       END { exit bad }' "$log" | sort
}
suite() {
  # The test tree is configured only where GoogleTest was found.
  [ -d "$1/tests" ] || notice "GoogleTest missing: no unit, command-line or writer tests in $1"
  rm -f "$1/Testing/Temporary/LastTest.log"
  ctest --test-dir "$1" --output-on-failure -j2 --no-tests=error
  skip_reasons "$1"
}

stage "GCC build and tests"
# A plain build makes the two programs alone; the tests are asked for.
cmake -S . -B build -DBMP2LAND_WERROR=ON -DBUILD_TESTING=ON
cmake --build build -j2
suite build
# The Linux package; the build above made the Windows zip, which a test checks.
cmake --build build --target package
tarball=$(find build -maxdepth 1 -name 'bmp2land-*-linux-*.tar.gz')
# The programs, the README, and the example and starter files beside it; the
# package has the page too where Emscripten is.
installed_files="bin/bmp2land bin/landinfo share/doc/bmp2land/CONTRIBUTING.md share/doc/bmp2land/README.md"
for file in docs/*; do
  installed_files+=" share/doc/bmp2land/$file"
done
for file in blank.bmp level-palette.gpl level-palette.pal level.bmp palette.png; do
  installed_files+=" share/doc/bmp2land/examples/$file"
done
packed_files=$installed_files
have emcc && packed_files="bin/bmp2land bin/landinfo share/bmp2land/bmp2land.html ${installed_files#bin/bmp2land bin/landinfo }"
packed=$(tar -tzf "$tarball" | grep -v '/$' | sed 's|^[^/]*/||' | LC_ALL=C sort | tr '\n' ' ')
[ "$packed" = "$packed_files " ] || {
  echo "FAIL: $tarball holds $packed" >&2
  exit 1
}
echo "$tarball: $packed"

stage "Bare machine: README's run command without GoogleTest or any optional tool"
bare=$PWD/build-bare
rm -rf "$bare"
mkdir -p "$bare/source" "$bare/reference"
# The working tree as a fresh clone would have it, uncommitted changes included.
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
  tar --null -T - -cf - | tar -xf - -C "$bare/source"
# The build README's command makes, set up first as a bare machine would
# leave it: GoogleTest, the image writers, mingw-w64, Wine, Google Benchmark
# and stb are not found, and their headers stop any file that includes them.
for header in gtest/gtest.h gmock/gmock.h benchmark/benchmark.h stb_image_write.h stb_image.h; do
  mkdir -p "$(dirname "$bare/absent/$header")"
  echo "#error \"$header is not on a bare machine\"" >"$bare/absent/$header"
done
cmake -S "$bare/source" -B "$bare/source/build" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  -DBMP2LAND_OPTIONAL_TOOLS=OFF -DCMAKE_IGNORE_PATH=/usr/include/stb -DBMP2LAND_WERROR=ON \
  -DCMAKE_CXX_FLAGS="-I$bare/absent"
# README's run command is the first indented line under this heading.
run_heading="## Build on Linux or macOS"
run_command=$(awk -v heading="$run_heading" '/^## / { inside = ($0 == heading) }
                   inside && /^    / { sub(/^    /, ""); print; exit }' README.md)
case $run_command in
  *"bmp2land level.bmp") echo "README's run command: $run_command" ;;
  *) echo "FAIL: no run command found under README's \"$run_heading\"" >&2; exit 1 ;;
esac
(cd "$bare/source" && bash -c "$run_command")
main_program=$PWD/build/bmp2land
(cd "$bare/reference" && "$main_program" "$bare/source/examples/level.bmp" >/dev/null)
cmp "$bare/reference/land.dat" "$bare/source/examples/land.dat"
echo "examples/land.dat: $(wc -c <"$bare/source/examples/land.dat") bytes, the same as the GCC build's"
cmake --install "$bare/source/build" --prefix "$bare/installed" >/dev/null
installed=$(cd "$bare/installed" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')
[ "$installed" = "$installed_files " ] || {
  echo "FAIL: cmake --install put these in place: $installed" >&2
  exit 1
}
echo "cmake --install: $installed"

stage "Clang build with AddressSanitizer and UBSan, whole suite"
if have clang++; then
  CC=clang CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBMP2LAND_SANITIZE=ON -DBMP2LAND_WINDOWS=OFF -DBMP2LAND_WEB=OFF -DBMP2LAND_WERROR=ON \
    -DBUILD_TESTING=ON
  cmake --build build-sanitize -j2
  suite build-sanitize
else
  notice "clang++ not found: no sanitized build"
fi

stage "Fuzzing for ${fuzz_seconds} s, split between the three targets"
# Runs one fuzz target for $2 seconds on a copy of its seeds ($3) and saved
# crash inputs ($4); any further arguments go to libFuzzer. Any crash, leak,
# sanitizer report or allocation over 64 MB fails the run; the input is kept
# as build-fuzz/crash-*.
fuzz() {
  local target=$1 seconds=$2 seeds=$3 regressions=$4 corpus=build-fuzz/corpus-$1
  shift 4
  mkdir -p "$corpus"
  cp "$seeds"/* "$corpus"/
  find "$regressions" -maxdepth 1 -type f ! -name '.*' -exec cp {} "$corpus"/ \;
  echo "--- $target, $seconds s"
  ASAN_OPTIONS=quarantine_size_mb=16 build-fuzz/fuzz/"$target" "$@" \
    -max_total_time="$seconds" -malloc_limit_mb=64 -rss_limit_mb=1024 \
    -artifact_prefix=build-fuzz/ -print_final_stats=1 "$corpus" 2>&1 | grep -v '^#' | tail -n 25
  [ "${PIPESTATUS[0]}" -eq 0 ]
}
fuzzer_runtime=$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a 2>/dev/null || true)
if have clang++ && [ "$fuzzer_runtime" != "${fuzzer_runtime#/}" ] && [ -e "$fuzzer_runtime" ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBMP2LAND_FUZZ=ON -DBUILD_TESTING=OFF -DBMP2LAND_WINDOWS=OFF -DBMP2LAND_WEB=OFF \
    -DBMP2LAND_WERROR=ON
  cmake --build build-fuzz -j2 --target land_fuzzer land_file_fuzzer picture_fuzzer land_seeds
  fuzz land_fuzzer $(( (fuzz_seconds + 2) / 3 )) fuzz/corpus tests/fuzz_regressions \
    -dict=fuzz/rle8.dict
  # The land-file seeds are written by the build (target land_seeds). Land
  # files are 1.6 MB: mutate them at full length from the start.
  fuzz land_file_fuzzer $(( (fuzz_seconds + 1) / 3 )) build-fuzz/fuzz/land_corpus \
    tests/fuzz_regressions/land_file -max_len=1700000 -len_control=0
  # Every picture that passes the size check is 1.3 million pixels: a few
  # runs a second.
  fuzz picture_fuzzer $(( fuzz_seconds / 3 )) fuzz/picture_corpus tests/fuzz_regressions/picture
else
  notice "clang++ with libFuzzer (libclang-rt-14-dev) not found: no fuzzing"
fi

stage "Static analysis"
sources=$(git ls-files 'src/*.cpp' 'src/*.hpp' 'fuzz/*.cpp' 'examples/*.cpp' 'bench/*.cpp' \
  'web/*.cpp')
if have clang-format; then
  clang-format --dry-run --Werror $sources $(git ls-files 'tests/*.cpp' 'tests/*.hpp')
  echo "clang-format: clean"
else
  notice "clang-format not found: no format check"
fi
if have clang-tidy; then
  # The files the GCC build compiles: each system's files are built for it
  # alone, and the Windows ones by the mingw-w64 build, with its own warnings.
  clang-tidy --quiet -p build $(git ls-files 'src/*.cpp' 'fuzz/*.cpp' 'examples/*.cpp' \
    ':!:src/*_windows.cpp') 2>/dev/null
  # The page's C++ is built by Emscripten alone, so it has no entry in
  # build's compile commands: its flags are given here.
  clang-tidy --quiet $(git ls-files 'web/*.cpp') -- -std=c++20 -Isrc -DBMP2LAND_VERSION='"0"' \
    2>/dev/null
  echo "clang-tidy: clean"
else
  notice "clang-tidy not found: no clang-tidy check"
fi
if have cppcheck; then
  cppcheck --std=c++20 --enable=warning,style,performance,portability --error-exitcode=1 \
    --inline-suppr --quiet -I src $(git ls-files 'src/*.cpp' 'fuzz/*.cpp' 'examples/*.cpp' \
    'bench/*.cpp' 'web/*.cpp')
  echo "cppcheck: clean"
else
  notice "cppcheck not found: no cppcheck check"
fi

stage "All checks passed"
