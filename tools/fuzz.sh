#!/bin/sh
# Fuzzing and a soak, under AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   tools/fuzz.sh [SECONDS] [SOAK_TICKS]
#
# Builds build-fuzz/ with clang: the libFuzzer targets for the archives, the
# save files and the recording reader, and the script runner. Runs each fuzzer for SECONDS
# (default 60), starting from the seed corpus in fuzz/corpus/ (what a run
# finds stays in build-fuzz/corpus/, crashes in build-fuzz/), then the
# script runner's random mode for SOAK_TICKS ticks (default 20000) over a
# copy of the game's data. Any sanitizer report, fuzzer failure or crash
# makes the script fail. Long runs are for a person to start, for example
# tools/fuzz.sh 3600 2000000.
set -e
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
SOAK_TICKS=${2:-20000}
tools/install-deps.sh

# The soak plays the data the plain build generated.
if [ ! -f build/Data/Res/Res1.dxg ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j"$(nproc)" --target vt_data
fi

# The game is built with coverage for the fuzzers to follow (fuzzer-no-link).
SAN="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
LAUNCHER=""
command -v ccache >/dev/null 2>&1 && LAUNCHER="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
# shellcheck disable=SC2086
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVT_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ $LAUNCHER \
  -DCMAKE_C_FLAGS="$SAN" -DCMAKE_CXX_FLAGS="$SAN" -DCMAKE_EXE_LINKER_FLAGS="$SAN" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target voltrace2-fuzz-archive voltrace2-fuzz-save_files \
  voltrace2-fuzz-recording_reader voltrace2-script

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export LSAN_OPTIONS="suppressions=$(pwd)/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Absolute paths: the save files target works in a folder of its own.
ROOT=$(pwd)
for fuzzer in archive save_files recording_reader; do
  mkdir -p "build-fuzz/corpus/$fuzzer"
  echo "== fuzzing $fuzzer for $SECONDS_EACH s"
  (cd build-fuzz && "./voltrace2-fuzz-$fuzzer" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
    -rss_limit_mb=2048 -max_len=65536 -artifact_prefix="$ROOT/build-fuzz/crash-$fuzzer-" \
    "$ROOT/build-fuzz/corpus/$fuzzer" "$ROOT/fuzz/corpus/$fuzzer" 2>"fuzz-$fuzzer.log") || {
    tail -40 "build-fuzz/fuzz-$fuzzer.log"
    exit 1
  }
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "build-fuzz/fuzz-$fuzzer.log" | sed "s/^/$fuzzer: /"
done

# The soak: random play over a private copy of the data, so its saves stay
# there. Fonts come from beside the program, as for the game.
SOAK=$(mktemp -d)
trap 'rm -rf "$SOAK"' EXIT
mkdir -p "$SOAK/Data"
cp -r build/Data/Res build/Data/Music "$SOAK/Data/"
[ -d build-fuzz/Data/Fonts ] || cp -r build/Data/Fonts build-fuzz/Data/ 2>/dev/null || true
echo "== soak: $SOAK_TICKS random ticks"
(cd "$SOAK" && echo "random 1 $SOAK_TICKS" | SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
  "$ROOT/build-fuzz/voltrace2-script" - >soak.log 2>&1) || {
  tail -40 "$SOAK/soak.log"
  exit 1
}
grep "^random:" "$SOAK/soak.log"
