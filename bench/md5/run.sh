#!/usr/bin/env bash
# CMD5Checksum against md5sum on the same 64 MiB file (from the page cache),
# best wall time of several runs each.
#   bench/md5/run.sh BUILD_DIR
set -euo pipefail
build=$(realpath "${1:?usage: run.sh BUILD_DIR}")
bench=$build/bench/md5/md5_bench
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file=$work/blob
head -c $((64 << 20)) /dev/urandom > "$file"
cat "$file" > /dev/null

best_ms() {
  local best=
  for _ in $(seq "$runs"); do
    local t0 t1 ms
    t0=$(date +%s%N)
    "$@" > "$work/out" 2>/dev/null
    t1=$(date +%s%N)
    ms=$(( (t1 - t0) / 1000000 ))
    if [[ -z $best || $ms -lt $best ]]; then best=$ms; fi
  done
  echo "$best"
}

ours=$(best_ms "$bench" "$file")
ours_digest=$(cut -d' ' -f1 "$work/out")
theirs=$(best_ms md5sum "$file")
theirs_digest=$(cut -d' ' -f1 "$work/out")
if [[ $ours_digest != "$theirs_digest" ]]; then
  echo "digests differ: $ours_digest vs $theirs_digest" >&2
  exit 1
fi
printf 'md5 of 64 MiB, best of %d: CMD5Checksum %d ms, md5sum %d ms, ratio %.2f (%s MiB/s vs %s MiB/s)\n' \
  "$runs" "$ours" "$theirs" "$(awk -v a="$ours" -v b="$theirs" 'BEGIN { print a / b }')" \
  "$(awk -v t="$ours" 'BEGIN { printf "%.0f", 64000 / t }')" \
  "$(awk -v t="$theirs" 'BEGIN { printf "%.0f", 64000 / t }')"
