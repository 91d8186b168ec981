#!/bin/sh
# One small day of work with an installed or unpacked vastrel, in a fresh workspace:
# settings, two estimates registered and saved, shown, summed, listed, the consolidated
# estimate exported as a workbook and as PDF (no display: the module draws offscreen),
# one estimate deleted. POSIX sh, so that it runs in a minimal Debian root too.
#   day.sh VASTREL WORKSPACE
set -eu
vastrel=$1
ws=$2

fail() { echo "ОШИБКА: $*" >&2; exit 1; }

# Outputs are taken whole before they are looked at: grep -q would end the pipe early.
usage="$("$vastrel" --help)" || fail "vastrel --help"
case $usage in *vastrel*) ;; *) fail "vastrel --help: $usage" ;; esac
version="$("$vastrel" --version)" || fail "vastrel --version"
case $version in "vastrel (Вастрель - Тавер) "[0-9]*) ;; *) fail "vastrel --version: $version" ;; esac

mkdir -p "$ws/program" "$ws/Vastrel/smetas"
: > "$ws/program/departments.txt"
day() { "$vastrel" -C "$ws/program" "$@"; }
day settings store --name "кафедры физики" --head-position "Заведующий кафедрой" --head-name "И.И. Иванов" \
    --code 007 --status 1 --resp-position "Бухгалтер" --resp-name "Петрова А.А." > /dev/null
day register "Кафедра физики" --code 101 --notes "основная" --source 1 > /dev/null
day register "Кафедра химии" --code 102 --source 2 > /dev/null
day save "Кафедра физики" --income-code 3 --source 1 --income 1000 --e211 1000 > /dev/null
day save "Кафедра химии" --income-code 2 --source 2 --income 200 --e211 200 > /dev/null
shown="$(day show "Кафедра физики")"
printf '%s\n' "$shown" | grep -qx 'income=1000' || fail "show не вернул сумму дохода: $shown"
consolidated="$(day sum "Кафедра физики" "Кафедра химии" | tail -n 1)"
case $consolidated in "сводная смета ( "*) ;; *) fail "sum: $consolidated" ;; esac
[ -f "$ws/Vastrel/smetas/$consolidated.xml" ] || fail "нет файла сводной сметы"
[ "$(day list | wc -l)" -eq 3 ] || fail "list после сложения: $(day list)"
day export-consolidated "$consolidated" -o day.xlsx > /dev/null || fail "export-consolidated в книгу"
[ "$(head -c 2 "$ws/program/day.xlsx")" = "PK" ] || fail "day.xlsx не книга"
# As under cron: no display, no runtime folder; nothing is said on standard error.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR "$vastrel" -C "$ws/program" \
    export-consolidated "$consolidated" -o day.pdf > /dev/null 2> "$ws/pdf.err" || fail "export-consolidated в PDF"
[ "$(head -c 5 "$ws/program/day.pdf")" = "%PDF-" ] || fail "day.pdf не PDF"
[ ! -s "$ws/pdf.err" ] || fail "лишний вывод при экспорте в PDF: $(cat "$ws/pdf.err")"
day delete "Кафедра химии" > /dev/null
expected="$(printf '101|Кафедра физики|основная\n000|%s|' "$consolidated")"
[ "$(day list)" = "$expected" ] || fail "list после удаления: $(day list)"
[ ! -e "$ws/Vastrel/smetas/Кафедра химии.xml" ] || fail "удалённая смета осталась в базе"
echo "День работы пройден: $version"
