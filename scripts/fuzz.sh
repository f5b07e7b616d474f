#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a fixed time
# (FUZZ_SECONDS, 15 by default) on a scratch copy of its seed corpus, so the repository is not
# modified. Prints each target's execution count and fails when any target finds a fault.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-15}"
targets=(fuzz_read_number fuzz_number_text fuzz_exact_decimal fuzz_check_range fuzz_compute)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKORVANE_FUZZ=ON -DKORVANE_WINDOW=OFF -DKORVANE_TESTS=OFF -DKORVANE_BENCHMARKS=OFF \
    -DKORVANE_WERROR=ON
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

failed=()
for target in "${targets[@]}"; do
    corpus="$scratch/corpus/$target"
    mkdir -p "$corpus" "$scratch/artifacts/$target"
    cp "$root/fuzz/corpus/$target/"* "$corpus/"
    log="$scratch/$target.log"
    status=0
    # Findings are written under the scratch folder; on a failure the log names the input.
    (cd "$scratch" && "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$scratch/artifacts/$target/" \
        "$corpus" >"$log" 2>&1) || status=$?
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    echo "fuzz: $target: ${runs:-?} executions in ${seconds} s, exit status $status"
    if [ "$status" -ne 0 ]; then
        failed+=("$target")
        tail -n 60 "$log"
        for artifact in "$scratch/artifacts/$target/"*; do
            [ -e "$artifact" ] || continue
            echo "fuzz: $target: failing input $(basename "$artifact") (hex):"
            od -An -tx1 -v "$artifact" | head -n 40
        done
    fi
done

if [ "${#failed[@]}" -gt 0 ]; then
    echo "fuzz: FAILED: ${failed[*]}"
    exit 1
fi
echo "fuzz: all ${#targets[@]} targets ran without a finding"
