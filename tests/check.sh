#!/usr/bin/env bash
# Builds and tests everything, stopping at the first failure:
#   1. GCC build and packages: unit, command-line, writer and fuzz-corpus
#      tests, and the command-line tests again against bmp2land.exe and
#      landinfo.exe under Wine, with the Windows zip unpacked and run;
#   2. Clang build with AddressSanitizer and UBSan: the whole suite again;
#   3. the fuzzer, for FUZZ_SECONDS (default 90);
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

stage "Fuzzing for ${fuzz_seconds} s"
if $clang_ok; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBMP2LAND_FUZZ=ON -DBUILD_TESTING=OFF -DBMP2LAND_WINDOWS=OFF -DBMP2LAND_WERROR=ON
  cmake --build build-fuzz -j2 --target land_fuzzer
  corpus=build-fuzz/corpus
  mkdir -p "$corpus"
  cp fuzz/corpus/* "$corpus"/
  find tests/fuzz_regressions -type f ! -name '.*' -exec cp {} "$corpus"/ \;
  # Any crash, leak, sanitizer report or allocation over 64 MB fails the run;
  # the input is kept as build-fuzz/crash-*.
  ASAN_OPTIONS=quarantine_size_mb=16 build-fuzz/fuzz/land_fuzzer -dict=fuzz/rle8.dict \
    -max_total_time="$fuzz_seconds" -malloc_limit_mb=64 -rss_limit_mb=1024 \
    -artifact_prefix=build-fuzz/ -print_final_stats=1 "$corpus" 2>&1 | grep -v '^#' | tail -n 25
  [ "${PIPESTATUS[0]}" -eq 0 ]
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
