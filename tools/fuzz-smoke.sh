#!/bin/sh
# A short run of every fuzz target over a scratch copy of its corpus, so a parser fault that fuzzing finds in
# seconds fails the test run. Long runs are `make fuzz`.
set -e
build="${1:-build-fuzz}"
seconds="${FUZZ_SECONDS:-20}"
CC=clang CXX=clang++ cmake -S . -B "$build" -DHW_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target hw_fuzz_targets
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for program in "$build"/fuzz/fuzz_*; do
    [ -f "$program" ] && [ -x "$program" ] || continue
    name=$(basename "$program" | sed 's/^fuzz_//')
    mkdir -p "$scratch/$name"
    if [ -d "fuzz/corpus/$name" ]; then cp -r "fuzz/corpus/$name/." "$scratch/$name/"; fi
    if "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$scratch/" \
        "$scratch/$name" >"$scratch/$name.log" 2>&1; then
        echo "fuzz $name: passed"
    else
        echo "fuzz $name: FAILED"
        tail -n 40 "$scratch/$name.log"
        status=1
    fi
done
exit $status
