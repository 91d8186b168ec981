#!/usr/bin/env bash
# Builds the .deb, unpacks it into a scratch root and works one small day with the
# unpacked vastrel: settings, two estimates registered and saved, shown, summed,
# listed, exported as PDF (the module vastrel loads from the package), one deleted.
set -euo pipefail
build="$(cd "$1" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"

fail() { echo "ОШИБКА: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" > cpack.log 2>&1 \
    || { cat cpack.log; fail "cpack не собрал пакет"; }
deb="$(ls out/*.deb)"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for needed in libqt6core6 libqt6widgets6 qt6-qpa-plugins; do
    [[ "$depends" == *"$needed"* ]] || fail "в зависимостях нет $needed"
done

dpkg -x "$deb" root
for file in usr/bin/vastrel-taver usr/bin/vastrel usr/bin/VastrelTaver_Help usr/bin/vastrel-taver-start \
            usr/share/applications/vastrel-taver.desktop usr/share/icons/hicolor/scalable/apps/vastrel-taver.svg; do
    [ -e "root/$file" ] || fail "в пакете нет $file"
done
grep -q '^Categories=.*Office' root/usr/share/applications/vastrel-taver.desktop || fail "ярлык не в разделе Office"

vastrel="$scratch/root/usr/bin/vastrel"
# Outputs are taken whole before they are looked at: grep -q would end the pipe early.
usage="$("$vastrel" --help)" || fail "vastrel --help"
[[ "$usage" == *"vastrel"* ]] || fail "vastrel --help: $usage"

mkdir -p ws/program ws/Vastrel/smetas
: > ws/program/departments.txt
day() { "$vastrel" -C ws/program "$@"; }
day settings store --name "кафедры физики" --head-position "Заведующий кафедрой" --head-name "И.И. Иванов" \
    --code 007 --status 1 --resp-position "Бухгалтер" --resp-name "Петрова А.А." > /dev/null
day register "Кафедра физики" --code 101 --notes "основная" --source 1 > /dev/null
day register "Кафедра химии" --code 102 --source 2 > /dev/null
day save "Кафедра физики" --income-code 3 --source 1 --income 1000 --e211 1000 > /dev/null
day save "Кафедра химии" --income-code 2 --source 2 --income 200 --e211 200 > /dev/null
shown="$(day show "Кафедра физики")"
grep -qx 'income=1000' <<<"$shown" || fail "show не вернул сумму дохода: $shown"
consolidated="$(day sum "Кафедра физики" "Кафедра химии" | tail -n 1)"
[[ "$consolidated" == "сводная смета ( "* ]] || fail "sum: $consolidated"
[ -f "ws/Vastrel/smetas/$consolidated.xml" ] || fail "нет файла сводной сметы"
[ "$(day list | wc -l)" -eq 3 ] || fail "list после сложения: $(day list)"
# No display: vastrel draws the PDF offscreen through its module in usr/lib.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$vastrel" -C ws/program \
    export-consolidated "$consolidated" -o day.pdf > /dev/null || fail "export-consolidated в PDF"
[ "$(head -c 5 ws/program/day.pdf)" = "%PDF-" ] || fail "day.pdf не PDF"
day delete "Кафедра химии" > /dev/null
expected="$(printf '101|Кафедра физики|основная\n000|%s|' "$consolidated")"
[ "$(day list)" = "$expected" ] || fail "list после удаления: $(day list)"
[ ! -e "ws/Vastrel/smetas/Кафедра химии.xml" ] || fail "удалённая смета осталась в базе"
echo "Пакет $(basename "$deb") установлен в $scratch/root, день работы пройден."
