#!/usr/bin/env bash
# Runs the first simulator program over a folder of netlists (by default the ngspice examples of
# the shared corpus) and counts, among the netlists that ngspice itself runs in batch mode
# (`ngspice -b NETLIST` exits 0 and reports no error), those whose run leaves a kivra.raw with
# data. Prints one line per exception and a summary; exits 1 when there are exceptions.
#
#   scripts/corpus-run.sh [FOLDER] [SECONDS-PER-RUN]
set -uo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-$here/../shared/corpus/ngspice-examples}
limit=${2:-60}
first=$here/simulators/Murin/Murin1.exe

if [[ ! -d $corpus ]]; then
    echo "no corpus at $corpus" >&2
    exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A plot with at least one point.
has_data() {
    grep -aq '^No. Points: *[1-9]' "$1" 2>/dev/null
}

total=0
runs=0
good=0
exceptions=()
while IFS= read -r -d '' netlist; do
    total=$((total + 1))
    folder=$(dirname "$netlist")
    name=${netlist#"$corpus"/}
    # ngspice on its own, in the netlist's folder, as a user would run it.
    if ! (cd "$folder" && timeout "$limit" ngspice -b "$netlist" >"$work/alone.log" 2>&1); then
        continue
    fi
    if grep -aq 'Error' "$work/alone.log"; then
        continue
    fi
    runs=$((runs + 1))
    rm -rf "$work/Murin" && mkdir "$work/Murin"
    # A netlist with .print or .measure lines is simulated twice: once for the log as batch mode
    # gives it, once for the plots.
    (cd "$work/Murin" && timeout $((2 * limit + 30)) "$first" -t datanet3 "$netlist" >/dev/null 2>&1)
    if has_data "$work/Murin/kivra.raw"; then
        good=$((good + 1))
    else
        reason=$(grep -a -m 1 -i 'error' "$work/Murin/kivra.log" 2>/dev/null || echo "no plot written")
        exceptions+=("$name: $reason")
    fi
done < <(find "$corpus" -type f \( -name '*.cir' -o -name '*.sp' -o -name '*.net' -o -name '*.spi*' \) \
    -print0 | sort -z)

for exception in "${exceptions[@]}"; do
    echo "no data: $exception"
done
echo "netlists: $total; run by ngspice in batch mode: $runs; kivra.raw with data: $good"
[[ ${#exceptions[@]} -eq 0 ]]
