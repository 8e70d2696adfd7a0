#!/usr/bin/env bash
# Builds and tests everything, stopping at the first failure:
#   1. GCC build and packages: unit, command-line, writer and fuzz-corpus
#      tests, and the command-line tests again against bmp2land.exe and
#      landinfo.exe under Wine, with the Windows zip unpacked and run;
#   2. Clang build with AddressSanitizer and UBSan: the whole suite again;
#   3. the two fuzz targets, sharing FUZZ_SECONDS (default 90) between them;
#   4. clang-format, clang-tidy and cppcheck.
# A stage whose tools are missing is skipped with a notice.
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz_seconds=${FUZZ_SECONDS:-90}
stage() { printf '\n=== %s\n' "$*"; }
notice() { printf 'NOTICE: %s\n' "$*"; }
have() { command -v "$1" >/dev/null 2>&1; }

stage "GCC build and tests"
cmake -S . -B build -DBMP2LAND_WERROR=ON
cmake --build build -j2
cmake --build build --target package  # the tarball; the build above made the Windows zip
ctest --test-dir build --output-on-failure -j2

clang_ok=false
if have clang++ && [ -n "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a 2>/dev/null | grep /)" ] &&
   [ -e "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a)" ]; then
  clang_ok=true
fi

stage "Clang build with AddressSanitizer and UBSan, whole suite"
if have clang++; then
  CC=clang CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBMP2LAND_SANITIZE=ON -DBMP2LAND_WINDOWS=OFF -DBMP2LAND_WERROR=ON
  cmake --build build-sanitize -j2
  ctest --test-dir build-sanitize --output-on-failure -j2
else
  notice "clang++ not found: no sanitized build"
fi

stage "Fuzzing for ${fuzz_seconds} s, split between the two targets"
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
if $clang_ok; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBMP2LAND_FUZZ=ON -DBUILD_TESTING=OFF -DBMP2LAND_WINDOWS=OFF -DBMP2LAND_WERROR=ON
  cmake --build build-fuzz -j2 --target land_fuzzer land_file_fuzzer
  fuzz land_fuzzer $(( (fuzz_seconds + 1) / 2 )) fuzz/corpus tests/fuzz_regressions \
    -dict=fuzz/rle8.dict
  # Land files are 1.6 MB: mutate them at full length from the start.
  fuzz land_file_fuzzer $(( fuzz_seconds / 2 )) fuzz/land_corpus tests/fuzz_regressions/land_file \
    -max_len=1700000 -len_control=0
else
  notice "clang++ with libFuzzer (libclang-rt-14-dev) not found: no fuzzing"
fi

stage "Static analysis"
sources=$(git ls-files 'src/*.cpp' 'src/*.hpp' 'fuzz/*.cpp' 'examples/*.cpp' 'bench/*.cpp')
if have clang-format; then
  clang-format --dry-run --Werror $sources $(git ls-files 'tests/*.cpp' 'tests/*.hpp')
  echo "clang-format: clean"
else
  notice "clang-format not found"
fi
if have clang-tidy; then
  clang-tidy --quiet -p build $(git ls-files 'src/*.cpp' 'fuzz/*.cpp' 'examples/*.cpp') 2>/dev/null
  echo "clang-tidy: clean"
else
  notice "clang-tidy not found"
fi
if have cppcheck; then
  cppcheck --std=c++20 --enable=warning,style,performance,portability --error-exitcode=1 \
    --inline-suppr --quiet -I src $(git ls-files 'src/*.cpp' 'fuzz/*.cpp' 'examples/*.cpp' 'bench/*.cpp')
  echo "cppcheck: clean"
else
  notice "cppcheck not found"
fi

stage "All checks passed"
