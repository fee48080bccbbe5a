#!/usr/bin/env bash
# One 240 x 320 frame of a list with 15 custom-drawn rows against a plain
# Cairo fill of the same surface, all in the same binary:
#   BM_ListViewFrame  a real report-style list view, its parent answering
#                     NM_CUSTOMDRAW, with a 16 x 16 image list;
#   BM_ListFrame      the same rows drawn by hand (fills, masked icons, text,
#                     an off-screen frame copied to the target).
# Each figure is the median of three runs.
#   bench/gdi/run.sh BUILD_DIR
set -euo pipefail
build=$(realpath "${1:-build/bench}")
"$build/bench/gdi/gdi_bench" --benchmark_min_time=0.3 --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '
    /^name,/ { next }
    NF > 4 && $1 ~ /_median/ { name = $1; gsub(/"|_median/, "", name); ns[name] = $3;
                               printf "%-16s %10.0f %s (median of 3)\n", name, $3, $5 }
    END {
      printf "\nlist view frame / plain Cairo fill: %.1f\n", ns["BM_ListViewFrame"] / ns["BM_CairoFill"];
      printf "hand-drawn list frame / plain Cairo fill: %.1f\n", ns["BM_ListFrame"] / ns["BM_CairoFill"];
    }'
