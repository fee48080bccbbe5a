#!/usr/bin/env bash
# First scan and rescan of a generated music folder, and the artist lists of
# its catalogue against the sample catalogue's.
#   bench/music/run.sh BUILD_DIR        (FILES=N, default 10000)
set -euo pipefail
build=$(realpath "${1:?usage: run.sh BUILD_DIR}")
"$build/bench/music/music_bench" "${FILES:-10000}"
