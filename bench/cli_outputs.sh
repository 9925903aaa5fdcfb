#!/usr/bin/env bash
# The batch's three outputs (not a test): 20,000 mixed rows (links of about 60 characters,
# contact-sized records of about 200, paragraphs of about 400) made into SVG files in a folder,
# PNG files in a folder and one ZIP archive of SVG, each with --jobs 1 and --jobs 2, and onto A4
# label sheets (3 x 8 a page, one PDF), against extracting a tar of the same files into the same
# kind of folder (the floor of the file system: no code is made at all) and the shell loop people
# write today (one `qrencode -o` per row) over the first 2,000 rows, beside the batch of the same
# 2,000 rows.
#   bench/cli_outputs.sh <build folder> [rows] [runs]
# Runs every line once per round, rounds alternating, and prints a Markdown table of the median
# seconds (wall clock and CPU, user + system) per line with the machine's load before and after.
set -euo pipefail
build=${1:?usage: bench/cli_outputs.sh <build folder> [rows] [runs]}
rows=${2:-20000}
runs=${3:-5}
loop_rows=$((rows < 2000 ? rows : 2000))
cli=$(cd "$build" && pwd)/cli/marbeck-cli
[ -x "$cli" ] || { echo "no $cli" >&2; exit 2; }
command -v qrencode >/dev/null || { echo "qrencode is not installed" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/var/tmp}/marbeck-outputs.XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 - "$rows" "$work/mixed.csv" "$work/mixed.txt" <<'PY'
import random, sys
rows, csv, txt = int(sys.argv[1]), sys.argv[2], sys.argv[3]
random.seed(7)
words = ("alpha bravo charlie delta echo foxtrot golf hotel india juliet kilo lima mike "
         "november oscar papa quebec romeo sierra tango").split()
with open(csv, "w") as c, open(txt, "w") as t:
    c.write("kind,text\n")
    for i in range(1, rows + 1):
        if i % 3 == 0:
            s = f"https://shop.example.com/item/{i * 7919 % 1000003}?ref=label-{i}"
        elif i % 3 == 1:
            s = (f"BEGIN:VCARD VERSION:4.0 FN:Person {i} N:{random.choice(words)};"
                 f"{random.choice(words)} TEL;TYPE=cell:+49 170 {i:07d} EMAIL:p{i}@example.org "
                 f"ADR:;;Street {i};Town;;{10000 + i};DE END:VCARD")
        else:
            s = " ".join(random.choice(words) for _ in range(60)) + f" {i}"
        c.write(f"text,{s}\n")
        t.write(s + "\n")
PY
head -n "$loop_rows" "$work/mixed.txt" >"$work/loop.txt"
head -n "$((loop_rows + 1))" "$work/mixed.csv" >"$work/loop.csv"
"$cli" batch "$work/mixed.csv" --out "$work/reference" --jobs 2 >/dev/null
tar -C "$work/reference" -cf "$work/files.tar" .

out="$work/out"
fresh() { rm -rf "$out" "$work/out.zip" "$work/out.pdf" "$work/out.manifest.csv"; mkdir -p "$out"; sync; }
qrencode_loop() {
  local i=0
  while IFS= read -r s; do
    i=$((i + 1))
    qrencode -t SVG -l L -m 4 -o "$out/$i.svg" "$s"
  done <"$work/loop.txt"
}
declare -A cmd codes
cmd[dir1]="\"$cli\" batch \"$work/mixed.csv\" --out \"$out\" --jobs 1"; codes[dir1]=$rows
cmd[dir2]="\"$cli\" batch \"$work/mixed.csv\" --out \"$out\" --jobs 2"; codes[dir2]=$rows
cmd[png1]="\"$cli\" batch \"$work/mixed.csv\" --out \"$out\" --format png --jobs 1"; codes[png1]=$rows
cmd[png2]="\"$cli\" batch \"$work/mixed.csv\" --out \"$out\" --format png --jobs 2"; codes[png2]=$rows
cmd[few2]="\"$cli\" batch \"$work/loop.csv\" --out \"$out\" --jobs 2"; codes[few2]=$loop_rows
cmd[tar]="tar -xf \"$work/files.tar\" -C \"$out\""; codes[tar]=$rows
cmd[tarsync]="tar -xf \"$work/files.tar\" -C \"$out\" && sync -f \"$out\""; codes[tarsync]=$rows
cmd[zip1]="\"$cli\" batch \"$work/mixed.csv\" --out \"$work/out.zip\" --jobs 1"; codes[zip1]=$rows
cmd[zip2]="\"$cli\" batch \"$work/mixed.csv\" --out \"$work/out.zip\" --jobs 2"; codes[zip2]=$rows
cmd[sheet2]="\"$cli\" batch \"$work/mixed.csv\" --out \"$work/out.pdf\" --sheet A4 --jobs 2"
codes[sheet2]=$rows
cmd[qrencode]="qrencode_loop"; codes[qrencode]=$loop_rows
order=(dir1 dir2 tar tarsync png1 png2 zip1 zip2 sheet2 few2 qrencode)

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
declare -A times cpus peak
for ((r = 1; r <= runs; r++)); do
  for key in "${order[@]}"; do
    fresh
    /usr/bin/time -f "%e %M %U %S" -o "$work/time" bash -c "$(declare -f qrencode_loop); work=$work out=$out; ${cmd[$key]}" >/dev/null 2>"$work/err" ||
      { echo "$key failed:" >&2; cat "$work/err" >&2; exit 1; }
    read -r s kb user sys <"$work/time"
    times[$key]+="$s "
    cpus[$key]+="$(echo "$user + $sys" | bc -l) "
    [ "${peak[$key]:-0}" -ge "$kb" ] || peak[$key]=$kb
  done
  echo "round $r of $runs done" >&2
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

median() { tr ' ' '\n' | grep . | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
declare -A med per cpu
for key in "${order[@]}"; do
  med[$key]=$(echo "${times[$key]}" | median)
  cpu[$key]=$(echo "${cpus[$key]}" | median)
  per[$key]=$(echo "${med[$key]} / ${codes[$key]}" | bc -l) # seconds a code
done
ratio() { printf '%.2f' "$(echo "${per[$2]} / ${per[$1]}" | bc -l)"; } # how many times faster $1 is than $2

echo "$rows mixed rows, medians of $runs alternating runs; $(nproc) hardware threads; load average"
echo "(1, 5, 15 min) $load_before before and $load_after after; $(df -T "$work" | awk 'NR==2 {print $2}') file system."
echo
echo "| line | seconds | CPU seconds | codes/s | vs tar -x | vs --jobs 1 | vs qrencode loop | peak memory |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|"
row() { # key label [jobs-1 key]
  local key=$1 label=$2 base=${3:-}
  printf '| %s | %.2f | %.2f | %.0f | %s | %s | %s x | %d MB |\n' "$label" "${med[$key]}" "${cpu[$key]}" \
    "$(echo "${codes[$key]} / ${med[$key]}" | bc -l)" \
    "$(printf '%.2f' "$(echo "${med[$key]} / ${med[tar]}" | bc -l)") x time" \
    "${base:+$(ratio "$key" "$base") x}" "$(ratio "$key" qrencode)" "$((peak[$key] / 1024))"
}
row tar "tar -x of the same files"
row tarsync "tar -x, then sync -f"
row dir1 "folder of SVG files, --jobs 1"
row dir2 "folder of SVG files, --jobs 2" dir1
row png1 "folder of PNG files, --jobs 1"
row png2 "folder of PNG files, --jobs 2" png1
row zip1 "ZIP of SVG, --jobs 1"
row zip2 "ZIP of SVG, --jobs 2" zip1
row sheet2 "A4 label sheets (PDF), --jobs 2"
row few2 "the first $loop_rows rows, folder of SVG, --jobs 2"
printf '| qrencode -o loop (the first %d rows) | %.2f | %.2f | %.0f |  |  | 1.00 x | %d MB |\n' "$loop_rows" \
  "${med[qrencode]}" "${cpu[qrencode]}" "$(echo "${codes[qrencode]} / ${med[qrencode]}" | bc -l)" "$((peak[qrencode] / 1024))"
