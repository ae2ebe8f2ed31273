#!/usr/bin/env bash
# Runs `kivra --check` over the netlists of a folder (by default a copy of the ngspice examples of
# the shared corpus) and sets what it finds against ngspice: of the netlists that `ngspice -b`,
# run in the netlist's folder, runs without reporting an error, it counts those Kivra reports an
# error for (false positives, the goal is none) and prints every finding for them. Exits 1 when
# there is a false positive.
#
#   scripts/corpus-check.sh [KIVRA] [FOLDER]
set -uo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
kivra=${1:-$here/build/release/src/app/kivra}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [[ $# -ge 2 ]]; then
    corpus=$2
else
    corpus=$work/corpus
    cp -r "$here/../shared/corpus/ngspice-examples" "$corpus" 2>/dev/null || {
        echo "no corpus beside the repository" >&2
        exit 2
    }
    chmod -R u+w "$corpus"
fi

total=0
clean=0
falsePositives=0
warnings=0
while IFS= read -r -d '' netlist; do
    total=$((total + 1))
    folder=$(dirname "$netlist")
    (cd "$folder" && timeout 60 ngspice -b -o "$work/alone.log" "$netlist" >/dev/null 2>&1)
    status=$?
    # Batch mode ends with 1 after a netlist whose analyses all run in its control block.
    if [[ $status -ne 0 ]] && ! { [[ $status -eq 1 ]] &&
        grep -aq 'no simulations run' "$work/alone.log"; }; then
        continue
    fi
    grep -aq 'Error' "$work/alone.log" && continue
    clean=$((clean + 1))
    "$kivra" --check "$netlist" >"$work/found" 2>&1
    if grep -q ': error: ' "$work/found"; then
        falsePositives=$((falsePositives + 1))
    fi
    warnings=$((warnings + $(grep -c ': warning: ' "$work/found")))
    sed "s|^$corpus/||" "$work/found"
done < <(find "$corpus" -type f \( -iname '*.cir' -o -iname '*.sp' -o -iname '*.spi' \
    -o -iname '*.spice' -o -iname '*.net' -o -iname '*.ckt' \) -print0 | sort -z)

echo "netlists: $total; run cleanly by ngspice: $clean; of those with an error from" \
    "kivra --check: $falsePositives; warnings: $warnings"
[[ $falsePositives -eq 0 ]]
