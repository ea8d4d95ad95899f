#!/usr/bin/env bash
# Builds the libFuzzer targets into build-fuzz/ (clang-14, ASan + UBSan),
# replays the seed corpus and past crashes (ctest), then fuzzes each target for
# FUZZ_SECONDS (default 15). A crash leaves its input in build-fuzz/artifacts/
# and fails the script; copy it into fuzz/corpus/<target>/ once fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-15}"

# libFuzzer's runtime comes with Debian's compiler-rt package, not with clang-14 itself.
scripts/install-deps.sh clang-14 libclang-rt-14-dev

dir=build-fuzz
extra=()
if command -v ccache >/dev/null; then
  extra+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}"
fi
CC=clang-14 CXX=clang++-14 cmake -S . -B "$dir" -G Ninja -DTSIS_FUZZ=ON -DTSIS_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" "${extra[@]}"
cmake --build "$dir" --target fuzzers -j2

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$dir" --output-on-failure

mkdir -p "$dir/artifacts"
failed=()
for target in $(ls fuzz/corpus); do
  # The repository's seeds stay as they are: new inputs go to a working copy.
  work="$dir/corpus/$target"
  mkdir -p "$work"
  echo "fuzz: $target for ${seconds}s" >&2
  if ! "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$dir/artifacts/$target-" -print_final_stats=1 \
       "$work" "fuzz/corpus/$target" > "$dir/$target.log" 2>&1; then
    tail -n 60 "$dir/$target.log" >&2
    failed+=("$target")
  else
    grep -E '^stat::number_of_executed_units|^Done' "$dir/$target.log" >&2 || true
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: crashes in ${failed[*]} (inputs in $dir/artifacts/)" >&2
  exit 1
fi
