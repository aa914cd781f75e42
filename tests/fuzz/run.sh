#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz and runs each for SECONDS seconds,
# starting from the seed corpus in tests/fuzz/corpus/<target>/. New inputs go to
# build-fuzz/corpus/<target>/ (the seeds stay untouched); a crash leaves its input
# in build-fuzz/crashes/ and fails the run.
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/../.."
root=$PWD
build=${FUZZ_BUILD:-build-fuzz}
jobs=${JOBS:-2}

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFRIENDLINKS_FUZZ=ON -DBUILD_TESTING=OFF
fi
cmake --build "$build" -j "$jobs" --target fuzz_targets

mkdir -p "$build/crashes"
targets=(fuzz_decode fuzz_regexp fuzz_harvest fuzz_backlink fuzz_baidu fuzz_domain fuzz_linkfacts
         fuzz_robots fuzz_style fuzz_jumplink fuzz_pagescan)
for target in "${targets[@]}"; do
  work="$build/corpus/$target"
  mkdir -p "$work"
  echo "== $target: ${seconds}s"
  # Inputs up to 64 KiB; a case slower than 10 s counts as a hang.
  set +e
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/tests/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$root/$build/crashes/$target-" \
      "$work" "tests/fuzz/corpus/$target" > "$build/$target.log" 2>&1
  status=$?
  set -e
  tail -n 4 "$build/$target.log"
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$build/$target.log" >&2
    echo "$target failed (exit $status); inputs in $build/crashes/" >&2
    exit "$status"
  fi
done
echo "all fuzz targets ran ${seconds}s without a finding"
