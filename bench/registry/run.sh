#!/usr/bin/env bash
# Registry read and write latency against a raw SQLite baseline run in the
# same binary on the same kind of hive file (WAL, normal sync):
#   read:  RegOpenKeyEx + RegQueryValueEx + RegCloseKey  vs  one prepared SELECT
#   read on an open key: RegQueryValueEx                 vs  one prepared SELECT
#   write: RegSetValueEx (one transaction)               vs  BEGIN IMMEDIATE; INSERT; COMMIT
# The ratio is the cost of the registry layer over the bare database; each
# figure is the median of three runs.
set -euo pipefail
build=$(realpath "${1:-build/bench}")
"$build/bench/registry/registry_bench" --benchmark_min_time=0.3 --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '
    /^name,/ { next }
    NF > 4 && $1 ~ /_median/ { name = $1; gsub(/"|_median/, "", name); ns[name] = $3;
                               printf "%-28s %10.0f %s (median of 3)\n", name, $3, $5 }
    END {
      printf "\n";
      printf "read (open+query+close) / SELECT: %.2f\n", ns["BM_RegOpenQueryClose"] / ns["BM_SqliteSelect"];
      printf "read (open key) / SELECT:         %.2f\n", ns["BM_RegQueryValueEx"] / ns["BM_SqliteSelect"];
      printf "write / INSERT transaction:       %.2f\n", ns["BM_RegSetValueEx"] / ns["BM_SqliteInsert"];
    }'
