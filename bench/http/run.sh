#!/usr/bin/env bash
# HttpGet against curl fetching the same URL from the same local server, and
# the peak memory of HttpGet for both body forms.
#   bench/http/run.sh BUILD_DIR
# The server is zolfa-server (its "/bench/blob") when the build has it, else
# http_bench's own. The text form needs a body without zero bytes, so it is
# always measured against http_bench's "/bench/text".
set -euo pipefail
build=$(realpath "${1:?usage: run.sh BUILD_DIR}")
bench=$build/bench/http/http_bench
runs=${RUNS:-3}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Starts a server that prints "listening on 127.0.0.1:PORT"; sets $port.
start_server() {
  local out=$work/server.$#.$RANDOM
  "$@" > "$out" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 100); do
    port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$out")
    [[ -n $port ]] && return 0
    sleep 0.05
  done
  echo "server did not start: $*" >&2
  return 1
}

now_ns() { date +%s%N; }

start_server "$bench" serve
own_port=$port
if [[ -x $build/server/zolfa-server ]]; then
  start_server "$build/server/zolfa-server" --port 0 --lenient --log "$work/requests.log"
  blob_port=$port
  echo "server: zolfa-server (/bench/blob)"
else
  blob_port=$own_port
  echo "server: http_bench serve (/bench/blob)"
fi

# Best of $runs: a command's whole-process wall time, and the time it
# reports for the transfer itself (HttpGet's call, curl's time_total).
best_pair() {  # kind command...
  local kind=$1; shift
  local best_wall= best_inner=
  for _ in $(seq "$runs"); do
    local t0 t1 wall inner out
    t0=$(now_ns)
    out=$("$@")
    t1=$(now_ns)
    wall=$(( (t1 - t0) / 1000000 ))
    if [[ $kind == ours ]]; then
      inner=$(sed -n 's/.*call_ms=\([0-9.]*\).*/\1/p' <<< "$out")
    else
      inner=$(awk -v s="$out" 'BEGIN { printf "%.1f", s * 1000 }')
    fi
    if [[ -z $best_wall || $wall -lt $best_wall ]]; then best_wall=$wall; fi
    if [[ -z $best_inner ]] || awk -v a="$inner" -v b="$best_inner" 'BEGIN { exit !(a < b) }'; then
      best_inner=$inner
    fi
  done
  echo "$best_wall $best_inner"
}

echo "HttpGet against curl on the same URL, best of $runs (ms):"
printf '  %-6s %14s %14s %7s %14s %14s %7s\n' size HttpGet-proc curl-proc ratio HttpGet-call curl-transfer ratio
for bytes in 2048 1048576 67108864; do
  path="/bench/blob?bytes=$bytes"
  read -r ours_wall ours_call < <(best_pair ours "$bench" get "$blob_port" "$path" raw)
  read -r curl_wall curl_call < <(best_pair curl curl -s -o /dev/null -w '%{time_total}' \
                                    "http://127.0.0.1:$blob_port$path")
  if (( bytes < 1048576 )); then label="$((bytes >> 10))KiB"; else label="$((bytes >> 20))MiB"; fi
  printf '  %-6s %14d %14d %7.2f %14.1f %14.1f %7.2f\n' "$label" \
    "$ours_wall" "$curl_wall" "$(awk -v a="$ours_wall" -v b="$curl_wall" 'BEGIN { print a / b }')" \
    "$ours_call" "$curl_call" "$(awk -v a="$ours_call" -v b="$curl_call" 'BEGIN { print a / b }')"
done

echo "peak memory of the call (VmHWM - VmRSS before, KiB) against body size:"
printf '  %-8s %-5s %10s %8s\n' size form peak_kb ratio
for bytes in 1048576 16777216 67108864; do
  for form in raw text; do
    if [[ $form == raw ]]; then p=$blob_port; path="/bench/blob?bytes=$bytes"; else p=$own_port; path="/bench/text?bytes=$bytes"; fi
    line=$("$bench" get "$p" "$path" "$form")
    before=$(sed -n 's/.*rss_before_kb=\([0-9]*\).*/\1/p' <<< "$line")
    peak=$(sed -n 's/.*peak_kb=\([0-9]*\).*/\1/p' <<< "$line")
    used=$((peak - before))
    printf '  %-8s %-5s %10d %8.2f\n' "$((bytes >> 20))MiB" "$form" "$used" \
      "$(awk -v u="$used" -v b="$bytes" 'BEGIN { print u * 1024 / b }')"
  done
done
