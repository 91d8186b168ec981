#!/usr/bin/env bash
# Times "vastrel sum" over a generated base of N main-window estimates, as the
# central office sums every subdivision of a delivered base at once.
#
#   bench/sum_benchmark.sh [VASTREL] [N...]
#
# VASTREL defaults to the tool in build/; N defaults to "1000 4000". Each N
# gets its own temporary working directory, removed afterwards (kept with KEEP=1). hyperfine is
# used when installed, otherwise three timed runs.
set -euo pipefail

vastrel=${1:-build/vastrel}
shift || true
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(1000 4000)
vastrel=$(realpath "$vastrel")
# The amounts carry a decimal comma, as under the Russian locale of the users.
run_vastrel=(env LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8 "$vastrel")
[ -x "$vastrel" ] || { echo "no vastrel tool at $vastrel" >&2; exit 2; }

# One main-window estimate in Windows-1251 with CR LF; awk varies the amounts.
template=$(mktemp)
trap 'rm -f "$template"' EXIT
iconv -f UTF-8 -t CP1251 > "$template" <<'XML'
<?xml version='1.0' encoding='windows-1251' standalone='yes'?>
<SMETA xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>
	<COLUMN>
		<YEAR>2026</YEAR>
		<COD_FIN>3</COD_FIN>
		<DEP>Смета Подразделение</DEP>
		<COD_DEP>105</COD_DEP>
		<COD_LEG>1</COD_LEG>
	</COLUMN>
	<COLUMN>
		<DESCRIPTION>остаток</DESCRIPTION>
		<CODE>38630201010010000130*</CODE>
		<CODE_RASCH>2</CODE_RASCH>
		<SUM_YEAR>@R@</SUM_YEAR>
	</COLUMN>
	<COLUMN>
		<DESCRIPTION>название дохода</DESCRIPTION>
		<CODE>386 30201010010000130</CODE>
		<CODE_RASCH>2</CODE_RASCH>
		<SUM_YEAR>@I@</SUM_YEAR>
	</COLUMN>
	<COLUMN>
		<DESCRIPTION>Заработная плата</DESCRIPTION>
		<CODE>211</CODE>
		<SUM_YEAR>@E@</SUM_YEAR>
	</COLUMN>
	<COLUMN>
		<DESCRIPTION>Начисления на оплату труда</DESCRIPTION>
		<CODE>213</CODE>
		<SUM_YEAR>@E@</SUM_YEAR>
	</COLUMN>
	<COLUMN>
		<DESCRIPTION>Услуги связи</DESCRIPTION>
		<CODE>221</CODE>
		<SUM_YEAR>@E@</SUM_YEAR>
	</COLUMN>
	<COLUMN>
		<DESCRIPTION>Безвозмездные и безвозвратные перечисления государственным и муниципальным организациям</DESCRIPTION>
		<CODE>241</CODE>
		<SUM_YEAR>0</SUM_YEAR>
	</COLUMN>
	<COLUMN>
		<DESCRIPTION>Увеличение стоимости основных средств</DESCRIPTION>
		<CODE>310</CODE>
		<SUM_YEAR>@E@</SUM_YEAR>
	</COLUMN>
	<COLUMN>
		<DESCRIPTION>Перечисление средств вышестоящей организации</DESCRIPTION>
		<CODE>610</CODE>
		<SUM_YEAR>0</SUM_YEAR>
	</COLUMN>
</SMETA>
XML

for n in "${counts[@]}"; do
    dir=$(mktemp -d)
    mkdir -p "$dir/work" "$dir/Vastrel/smetas"
    LC_ALL=C LANG=C awk -v n="$n" -v base="$dir/Vastrel/smetas" -v toc="$dir/work/departments.txt" '
        { lines[NR] = $0 }
        END {
            for (k = 1; k <= n; k++) {
                name = sprintf("est%06d", k)
                file = base "/" name ".xml"
                e = sprintf("%d,25", k % 997)
                for (j = 1; j <= NR; j++) {
                    line = lines[j]
                    gsub(/@R@/, k % 13, line)
                    gsub(/@I@/, sprintf("%d,%02d", 4 * (k % 997) + 1, k % 100), line)
                    gsub(/@E@/, e, line)
                    printf "%s\r\n", line > file
                }
                close(file)
                printf "%03d|%s|\r\n", k % 1000, name > toc
            }
        }' "$template"
    names=()
    for ((k = 1; k <= n; k++)); do names+=("$(printf 'est%06d' "$k")"); done

    echo "== vastrel sum over $n estimates"
    if command -v hyperfine > /dev/null; then
        hyperfine --warmup 1 --runs 5 \
            "$(printf '%q ' "${run_vastrel[@]}" -C "$dir/work" sum "${names[@]}")" 2>&1 | grep -v '^ *$'
    else
        for run in 1 2 3; do
            start=$(date +%s.%N)
            "${run_vastrel[@]}" -C "$dir/work" sum "${names[@]}" > /dev/null
            end=$(date +%s.%N)
            awk -v s="$start" -v e="$end" -v r="$run" 'BEGIN { printf "run %d: %.3f s\n", r, e - s }'
        done
    fi
    if [ -n "${KEEP:-}" ]; then echo "kept $dir"; else rm -rf "$dir"; fi
done
