#!/usr/bin/env bash
# ParseListAnswer over answers of 1 000, 10 000 and 100 000 elements, beside
# pugixml building a DOM of the same bytes and a memchr scan of them; the
# program prints the ratios after the raw figures.
set -euo pipefail
build=${1:-build/bench}
"$build/bench/feed/feed_bench" --benchmark_min_time=0.3 "${@:2}"
