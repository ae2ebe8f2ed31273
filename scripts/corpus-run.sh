#!/usr/bin/env bash
# Runs both simulator programs over a folder of netlists (by default a copy of the ngspice
# examples of the shared corpus, so that the files the netlists write land in the copy) and
# compares them with ngspice itself. Of the netlists that `ngspice -b NETLIST`, run in the
# netlist's folder, runs without reporting an error (and exits 0, or 1 where its note says that
# the control block ran every analysis), it counts
# - those whose first stage leaves a kivra.raw with data;
# - those whose kivra.log is what `ngspice -b -o LOG NETLIST` writes, once the lines that change
#   from run to run (times, memory, dates, progress) are left out;
# - of those with a control block, those whose second stage, without a display, prints all that
#   `ngspice -b` prints, in order.
# Prints one line per exception and a summary; exits 1 when there are exceptions.
#
#   scripts/corpus-run.sh [FOLDER] [SECONDS-PER-RUN]
set -uo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
limit=${2:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [[ $# -ge 1 ]]; then
    corpus=$1
else
    corpus=$work/corpus
    cp -r "$here/../shared/corpus/ngspice-examples" "$corpus" 2>/dev/null || {
        echo "no corpus beside the repository" >&2
        exit 2
    }
    chmod -R u+w "$corpus"
fi
first=$here/simulators/Murin/Murin1.exe
second=$here/simulators/Talvex/Talvex.exe

# The lines of a log that differ between two runs of the same netlist, and empty lines.
steady() {
    grep -av -E 'time \(seconds\)|time = |DRAM|program size|pages =|Stack =|^Date:|Reference value|[A-Z][a-z]{2} [A-Z][a-z]{2} +[0-9]+ [0-9:]+ +[0-9]{4}|Time +[-0-9.]+ ' \
        "$1" | grep -av '^[[:space:]]*$'
}

# Whether every line of the first file stands in the second, in the same order.
contained() {
    awk 'NR == FNR { want[++n] = $0; next } k < n && $0 == want[k + 1] { k++ }
         END { exit k == n ? 0 : 1 }' "$1" "$2"
}

total=0
runs=0
withData=0
sameLog=0
blocks=0
sameSecond=0
exceptions=()
while IFS= read -r -d '' netlist; do
    total=$((total + 1))
    folder=$(dirname "$netlist")
    name=${netlist#"$corpus"/}
    (cd "$folder" && timeout "$limit" ngspice -b -o "$work/alone.log" "$netlist" \
        >"$work/alone.out" 2>&1)
    status=$?
    # Batch mode ends with 1 after a netlist whose analyses all run in its control block.
    if [[ $status -ne 0 ]] && ! { [[ $status -eq 1 ]] &&
        grep -aq 'no simulations run' "$work/alone.log"; }; then
        continue
    fi
    if grep -aq 'Error' "$work/alone.log"; then
        continue
    fi
    # Without a control block or a line that batch mode prints, ngspice simulates only when
    # asked for a raw file, as the first stage then asks.
    if ! grep -aqiE '^[[:space:]]*\.control' "$netlist" && grep -aq 'no simulations run' "$work/alone.log"; then
        (cd "$folder" && timeout "$limit" ngspice -b -r "$work/alone.raw" -o "$work/alone.log" \
            "$netlist" >/dev/null 2>&1)
        sed -i "/^ASCII raw file\|^binary raw file/d" "$work/alone.log"
    fi
    runs=$((runs + 1))
    rm -rf "$work/Murin" "$work/Talvex" && mkdir "$work/Murin" "$work/Talvex"
    (cd "$work/Murin" && timeout $((limit + 30)) "$first" -t datanet3 "$netlist" >/dev/null 2>&1)
    if grep -aq '^No. Points: *[1-9]' "$work/Murin/kivra.raw" 2>/dev/null; then
        withData=$((withData + 1))
    else
        exceptions+=("no data: $name")
    fi
    if diff <(steady "$work/alone.log") <(steady "$work/Murin/kivra.log") >"$work/log.diff"; then
        sameLog=$((sameLog + 1))
    else
        exceptions+=("log differs: $name: $(grep -m 1 '^[<>]' "$work/log.diff")")
    fi
    grep -aqiE '^[[:space:]]*\.control([[:space:]]|$)' "$netlist" || continue
    blocks=$((blocks + 1))
    printf 'temp file for Talvex \r\n*#load ..\\Murin\\kivra.raw\r\n.end\r\n' \
        >"$work/Talvex/temp.cir"
    (cd "$folder" && timeout "$limit" ngspice -b "$netlist" >"$work/alone.print" 2>&1)
    (cd "$work/Talvex" && env -u DISPLAY timeout "$limit" "$second" temp.cir >/dev/null 2>&1)
    if contained <(steady "$work/alone.print") <(steady "$work/Talvex/talvex.log"); then
        sameSecond=$((sameSecond + 1))
    else
        exceptions+=("second stage differs: $name")
    fi
done < <(find "$corpus" -type f \( -iname '*.cir' -o -iname '*.sp' -o -iname '*.spi' \
    -o -iname '*.spice' -o -iname '*.net' -o -iname '*.ckt' \) -print0 | sort -z)

printf '%s\n' "${exceptions[@]}"
echo "netlists: $total; run by ngspice in batch mode: $runs; kivra.raw with data: $withData;" \
    "kivra.log as ngspice's: $sameLog; with a control block: $blocks;" \
    "second stage prints what ngspice prints: $sameSecond"
[[ ${#exceptions[@]} -eq 0 ]]
