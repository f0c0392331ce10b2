#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (default 30 s) on a
# copy of its seed corpus. Fails on a crash, a leak or a broken property.
#   tools/fuzz.sh [seconds-per-target] [target...]
# For a long run: tools/fuzz.sh 3600 fuzz_config    (or a run count: FUZZ_ARGS=-runs=10000000)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
[ $# -gt 0 ] && shift
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRELVO_FUZZ=ON >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}" >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for t in "${targets[@]}"; do
  corpus="$work/${t#fuzz_}"
  mkdir -p "$corpus"
  cp -r "tests/fuzz/corpus/${t#fuzz_}/." "$corpus/" 2>/dev/null || true
  echo "== $t: ${seconds}s"
  status=0
  # Leaks inside system libraries are listed, commented, in the suppression file. For runs of
  # hours: a smaller quarantine for freed memory (use after free is still caught for the most
  # recent 64 MiB freed), and allocation stacks cut to two frames. Qt is built without frame
  # pointers, so deeper stacks through it end in stray values, each one new to the sanitizer's
  # stack store, which then grows without bound and slows every allocation. A finding's input
  # is kept and can be run again with full stacks.
  ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=64:malloc_context_size=2}" \
  LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0" \
    "build-fuzz/tests/fuzz/$t" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 -print_final_stats=1 \
      -artifact_prefix="$work/" ${FUZZ_ARGS:-} "$corpus" > "$work/$t.log" 2>&1 || status=$?
  grep -E '^(stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY)' "$work/$t.log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$work/$t.log" >&2
    echo "$t failed (status $status); the input is kept in $work" >&2
    trap - EXIT
    exit 1
  fi
done
