#!/usr/bin/env bash
# Reading and laying out 200 lines of timed lyrics (the most the view
# holds), and one position update over them, beside two baselines over the
# same bytes: a memchr scan for the line feeds and a plain split into line
# strings. The program prints the ratios after the raw figures.
set -euo pipefail
build=${1:-build/bench}
"$build/bench/lyrics/lyrics_bench" --benchmark_min_time=0.3 "${@:2}"
