#!/bin/sh
# Runs every benchmark program; each prints "name value" lines.
build="${1:-build-bench}"
status=0
for program in "$build"/bench/bench_*; do
    [ -f "$program" ] && [ -x "$program" ] || continue
    "$program" || { echo "$(basename "$program") failed" >&2; status=1; }
done
exit $status
