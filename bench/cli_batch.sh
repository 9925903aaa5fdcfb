#!/usr/bin/env bash
# Batch benchmark of marbeck-cli (not a test): 10,000 URL rows to SVG files and to PNG files,
# with --jobs 1 and --jobs 2, against the shell loop people write today (one `qrencode -o` per
# row, Debian qrencode) and segno (Debian python3-segno) making and saving the same codes in one
# Python process. Every tool writes files of the same codes: level L, a border of 4 modules, PNG
# at 4 pixels per module.
#   bench/cli_batch.sh <build folder> [rows]
# Prints a Markdown table: seconds, codes per second, and each row's speed against the qrencode
# loop and segno of the same format, and against --jobs 1.
set -euo pipefail
build=${1:?usage: bench/cli_batch.sh <build folder> [rows]}
rows=${2:-10000}
cli=$(cd "$build" && pwd)/cli/marbeck-cli
python=/usr/bin/python3 # the Debian interpreter, which sees python3-segno
[ -x "$cli" ] || { echo "no $cli" >&2; exit 2; }
command -v qrencode >/dev/null || { echo "qrencode is not installed" >&2; exit 2; }
"$python" -c 'import segno' || { echo "python3-segno is not installed" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/var/tmp}/marbeck-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Addresses of realistic length (about 50 characters, versions 3 and 4).
{
  echo url
  for ((i = 1; i <= rows; i++)); do
    echo "https://shop.example.com/item/$((i * 7919 % 1000003))?ref=label-$i"
  done
} >"$work/urls.csv"
tail -n +2 "$work/urls.csv" >"$work/urls.txt"

now() { date +%s.%N; }
# User and system CPU seconds of this shell's finished children (and their children), so far.
# `times` runs in this shell (a subshell would start from zero), its report parsed afterwards.
cpu_seconds() { tail -1 "$work/times" | sed -E 's/([0-9]+)m([0-9.]+)s/\1*60+\2/g; s/ /+/' | bc -l; }
declare -A secs cpu
run() { # <key> <command...>: runs in a fresh folder; records wall-clock and CPU seconds
  local key=$1; shift
  rm -rf "$work/out"; mkdir "$work/out"
  sync
  local t0 c0 c1; t0=$(now)
  times >"$work/times"
  c0=$(cpu_seconds)
  "$@" >/dev/null
  secs[$key]=$(echo "$(now) - $t0" | bc -l)
  times >"$work/times"
  c1=$(cpu_seconds)
  cpu[$key]=$(echo "$c1 - $c0" | bc -l)
  local made; made=$(find "$work/out" -type f \( -name '*.svg' -o -name '*.png' \) | wc -l)
  [ "$made" -eq "$rows" ] || { echo "$key made $made files, not $rows" >&2; exit 1; }
}

qrencode_loop() { # <format> <extension>
  local i=0
  while IFS= read -r url; do
    i=$((i + 1))
    qrencode -t "$1" -l L -m 4 -s 4 -o "$work/out/$i.$2" "$url"
  done <"$work/urls.txt"
}
segno_one_process() { # <extension>
  "$python" - "$work/urls.txt" "$work/out" "$1" <<'PY'
import sys, segno
urls, out, ext = sys.argv[1], sys.argv[2], sys.argv[3]
with open(urls) as f:
    for i, url in enumerate(f, 1):
        segno.make_qr(url.rstrip("\n"), error="l", boost_error=False).save(
            f"{out}/{i}.{ext}", scale=4, border=4)
PY
}
ours() { # <format> <jobs> [more options]
  local format=$1 jobs=$2; shift 2
  "$cli" batch "$work/urls.csv" --out "$work/out" --kind url --format "$format" --jobs "$jobs" \
    --scale 4 --quiet-zone 4 "$@"
}

for f in svg png; do
  run "qrencode-$f" qrencode_loop "${f^^}" "$f"
  run "segno-$f" segno_one_process "$f"
  run "ours1-$f" ours "$f" 1
  run "ours2-$f" ours "$f" 2
  run "ours2d-$f" ours "$f" 2 --durable
done

rate() { echo "$rows / ${secs[$1]}" | bc -l; }
ratio() { echo "${secs[$2]} / ${secs[$1]}" | bc -l; }
echo
echo "$rows URL codes, $(nproc) hardware threads, load average $(cut -d' ' -f1 /proc/loadavg) at the end, $(uname -m), $(df -T "$work" | awk 'NR==2{print $2}') file system"
echo
echo "| tool | format | seconds | codes/s | vs qrencode loop | vs segno | vs --jobs 1 | CPU seconds |"
echo "|---|---|---:|---:|---:|---:|---:|---:|"
for f in svg png; do
  for k in qrencode segno ours1 ours2 ours2d; do
    key=$k-$f
    case $k in
      qrencode) name="qrencode, one process per row" ;;
      segno) name="segno, one Python process" ;;
      ours1) name="marbeck-cli --jobs 1" ;;
      ours2) name="marbeck-cli --jobs 2" ;;
      ours2d) name="marbeck-cli --jobs 2 --durable" ;;
    esac
    vs1="";
    [ "$k" = ours2 ] || [ "$k" = ours2d ] && vs1=$(printf '%.2f x' "$(ratio "$key" "ours1-$f")")
    printf '| %s | %s | %.2f | %.0f | %.1f x | %.1f x | %s | %.2f |\n' "$name" "${f^^}" \
      "${secs[$key]}" "$(rate "$key")" "$(ratio "$key" "qrencode-$f")" "$(ratio "$key" "segno-$f")" \
      "$vs1" "${cpu[$key]}"
  done
done
