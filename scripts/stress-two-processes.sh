#!/usr/bin/env bash
# Two copies of `vastrel` register, save, sum and delete against one base at
# the same time, then every record and every estimate file must be accounted
# for. Not part of the test command: it takes minutes.
#   scripts/stress-two-processes.sh [ROUNDS] [path/to/vastrel]
set -euo pipefail
ROUNDS=${1:-200}
VASTREL=${2:-$(dirname "${BASH_SOURCE[0]}")/../build/vastrel}
VASTREL=$(realpath "$VASTREL")
export LC_ALL=${LC_ALL:-C.UTF-8}

top=$(mktemp -d)
trap 'rm -rf "$top"' EXIT
mkdir -p "$top/work" "$top/Vastrel/smetas"
: > "$top/work/departments.txt"

v() { "$VASTREL" -C "$top/work" "$@"; }

# One worker: prints the names it expects to remain in the base, one per line.
worker() {
    local p=$1 kept=() i name out
    for ((i = 1; i <= ROUNDS; i++)); do
        name="$p-$i"
        if v register "$name" --code 101 --source 1 --status 1 >/dev/null 2>&1; then
            kept+=("$name")
            v save "$name" --income-code 1 --source 1 --status 1 --income 100 --e211 100 >/dev/null 2>&1 || true
        fi
        if ((i % 5 == 0)) && out=$(v sum "$name" 2>/dev/null); then
            local sum=${out##*$'\n'}
            if ((i % 10 == 0)) && v delete "$sum" >/dev/null 2>&1; then :; else kept+=("$sum"); fi
        fi
        if ((i % 3 == 0)) && v delete "$p-$((i - 1))" >/dev/null 2>&1; then
            local k=() n
            for n in "${kept[@]}"; do [[ $n == "$p-$((i - 1))" ]] || k+=("$n"); done
            kept=("${k[@]}")
        fi
    done
    printf '%s\n' "${kept[@]}"
}

worker A > "$top/A.kept" &
a=$!
worker B > "$top/B.kept" &
b=$!
wait $a $b

# Windows-1251 back to UTF-8 for comparing names.
listed=$(iconv -f WINDOWS-1251 -t UTF-8 "$top/work/departments.txt" | tr -d '\r' | cut -d'|' -f2 | sort)
files=$(cd "$top/Vastrel/smetas" && ls -1 | sed 's/\.xml$//' | sort)
expected=$(cat "$top/A.kept" "$top/B.kept" | sed '/^$/d' | sort)

status=0
report() { echo "$1: $(printf '%s\n' "$2" | sed '/^$/d' | wc -l)"; }
report "records" "$listed"
report "files" "$files"
report "expected" "$expected"
dups=$(printf '%s\n' "$listed" | uniq -d)
[[ -z $dups ]] || { echo "names listed twice:"; echo "$dups"; status=1; }
[[ $listed == "$files" ]] || { echo "records and files differ:"; diff <(echo "$listed") <(echo "$files") || true; status=1; }
[[ $listed == "$expected" ]] || { echo "records differ from what succeeded:"; diff <(echo "$expected") <(echo "$listed") || true; status=1; }
((status == 0)) && echo "every record and file accounted for"
exit $status
