#!/usr/bin/env bash
# Save and load of a 10 000-entry current playlist and load of a 200 x 200
# library, each against the plain file transfer of the same bytes; the import
# of a 10 000-song backup, the indexed reading against the direct walk.
set -euo pipefail
build=$(realpath "${1:-build/bench}")
"$build/bench/library/library_bench" --benchmark_counters_tabular=true
