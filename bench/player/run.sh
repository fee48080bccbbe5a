#!/usr/bin/env bash
# From tapping a song in the current playlist to the player bar's first
# "播放中", against the local service, and the same three requests (ticket,
# lyrics, the stream up to its first byte) made one after another with curl
# (their transfer times as curl reports them): medians of
# RUNS runs (default 5) and their ratio.
#   bench/player/run.sh BUILD_DIR
# The program runs headless (its audio goes to a sink that runs on the
# clock); the tap and the status are timed by the script's stamps.
set -euo pipefail
build=$(realpath "${1:?usage: run.sh BUILD_DIR}")
runs=${RUNS:-5}
cedev=$build/platform/tools/cedev
program=$build/zolfa/app/ZolfaCE
server=$build/server/zolfa-server
song=202011
work=$(mktemp -d)
server_pid=
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkfifo "$work/ready"
"$server" --port 0 --data "$work/server" >"$work/ready" 2>"$work/server.log" &
server_pid=$!
read -r line <"$work/ready" || true
[[ $line == "listening on "* ]] || { echo "zolfa-server did not start"; cat "$work/server.log"; exit 1; }
address=${line#listening on }
cat "$work/ready" >/dev/null &
device=$work/device
for host in login1 login2 ds cs us ps is ss; do
  "$cedev" --device "$device" hosts add "$host.zolfa.test:80" "$address" >/dev/null
done

# A current playlist of one song, in the file's own form: UTF-16LE pieces,
# each followed by a line feed.
{
  printf '<?xml version="1.0" ?>\r\n<rss version="2.0">\r\n\t<channel>\r\n\t\t<title>現在播放清單</title>\r\n\n'
  printf '\t\t<item>\r\n\t\t\t<title>\n'
  printf 'Blue Sky</title>\r\n\t\t\t<link>zolfa://play_song_%s\n' "$song"
  printf '</link>\r\n\t\t\t<zolfa:image>file:\\song.gif\n'
  printf '</zolfa:image>\r\n\t\t\t<zolfa:category>\n'
  printf 'song\n'
  printf '</zolfa:category>\r\n\t\t</item>\r\n\n'
  printf '\t</channel>\r\n</rss>\n'
} | iconv -f UTF-8 -t UTF-16LE >"$work/CurPlayList.xml"

cat >"$work/script.txt" <<'SCRIPT'
until "show 135"
tap 135/1066
type demo@zolfa.test
tap 135/1019
type zolfa
tap 135/1
until "show 160"
await 160/1061 row 0
stamp tap
tap 160/1061 row 0
await text "播放中" 20000
stamp playing
quit
SCRIPT

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

program_ms=()
for run in $(seq "$runs"); do
  # Each run logs in by hand: the stored login of the previous one goes.
  for value in autologin password account0 account1 account2 account3; do
    "$cedev" --device "$device" reg delete 'HKCU\Software\Quendal\zolfa' "$value" >/dev/null 2>&1 || true
  done
  "$cedev" --device "$device" files put -p "$work/CurPlayList.xml" '\Program Files\Zolfa\CurPlayList.xml' >/dev/null
  "$program" --device "$device" --headless --script "$work/script.txt" \
    --transcript "$work/transcript.txt" 2>"$work/program.log" ||
    { echo "run $run failed"; cat "$work/transcript.txt" "$work/program.log"; exit 1; }
  tap=$(sed -n 's/^stamp tap //p' "$work/transcript.txt")
  playing=$(sed -n 's/^stamp playing //p' "$work/transcript.txt")
  program_ms+=($((playing - tap)))
done

# The same three requests with curl, after a login of its own for a sid.
digest=d8019480d08079521cfe745ac4aea304
base="http://$address"
curl_ms=()
for run in $(seq "$runs"); do
  sid=$(curl -s -H "Host: login1.zolfa.test" \
    "$base/ce_login.php?act=login&uid=demo%40zolfa.test&passwd=$digest&hw_vendor=ULDA&hw_model=WINCE&hw_id=bench&sid=" |
    sed -n 's:.*<sid>\([^<]*\)</sid>.*:\1:p')
  # curl's own transfer times (its process start is not the service's):
  # the whole ticket and lyrics, and the stream until its first bytes, on
  # which the player starts as well.
  ticket_answer=$(curl -s -A "Zolfa(PlaySong)" -H "Host: ss.zolfa.test" -w '\n%{time_total}' \
    "$base/ps1_01000013_${sid}_${song}.wma?$run")
  t1=$(tail -n 1 <<<"$ticket_answer")
  ticket=$(sed -n 's:.*<ticket>\([^<]*\)</ticket>.*:\1:p' <<<"$ticket_answer")
  t2=$(curl -s -o /dev/null -A "Zolfa(PlaySong_GetLyrics)" -H "Host: ss.zolfa.test" -w '%{time_total}' \
    "$base/ps3_01000013_${sid}_${ticket}.wma?$run")
  t3=$(curl -s -o /dev/null -r 0-65535 -w '%{time_starttransfer}' -H "Host: ss.zolfa.test" \
    "$base/ps2_01000013_${sid}_${ticket}.wma?$run")
  curl_ms+=($(awk -v a="$t1" -v b="$t2" -v c="$t3" 'BEGIN { printf "%d", (a + b + c) * 1000 }'))
done

p=$(printf '%s\n' "${program_ms[@]}" | median)
c=$(printf '%s\n' "${curl_ms[@]}" | median)
echo "tap to 播放中: ${p} ms (runs: ${program_ms[*]})"
echo "curl, ticket + lyrics + the stream's first byte: ${c} ms (runs: ${curl_ms[*]})"
awk -v p="$p" -v c="$c" 'BEGIN { printf "ratio tap-to-playing / curl: %.1fx\n", (c > 0 ? p / c : 0) }'
