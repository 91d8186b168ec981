#!/usr/bin/env bash
# Remakes the guide's pictures from the running program on a desktop like our
# users' (Xvfb 1366x768, openbox, ru_RU): help/screens/make-screens.sh [BUILD_DIR]
# Needs the desktop tool, xdotool and imagemagick; rebuild the help program afterwards.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "${1:-$here/../../build}" && pwd)"
desktop="${DESKTOP_TOOL:-/work/shared/tools/desktop}"
export DESKTOP_DISPLAY="${DESKTOP_DISPLAY:-:81}" DESKTOP_SHOTS="${DESKTOP_SHOTS:-/tmp/shots-help}"
export DISPLAY="$DESKTOP_DISPLAY"

ws="$(mktemp -d)"
trap '"$desktop" stop >/dev/null 2>&1 || true; rm -rf "$ws"' EXIT
mkdir -p "$ws/program" "$ws/Vastrel/smetas"
: > "$ws/program/departments.txt"
day() { "$build/vastrel" -C "$ws/program" "$@" > /dev/null; }
day settings store --name "кафедры физики" --head-position "Заведующий кафедрой" --head-name "И.И. Иванов" \
    --code 007 --status 1 --resp-position "Бухгалтер" --resp-name "Петрова А.А."
day register "Кафедра физики" --code 101 --notes "основная" --source 1
day register "Кафедра химии" --code 102 --notes "платные курсы" --source 2
day register "Лаборатория оптики" --code 103 --source 1
day save "Кафедра физики" --income-code 3 --source 1 --remainder 12500 --income 150000 \
    --e211 90000 --e213 27180 --e226 30000 --e340 15320
day save "Кафедра химии" --income-code 2 --source 2 --income 48000 --e211 30000 --e213 9060 --e340 8940

"$desktop" start > /dev/null
# A stand-in flash drive for the drive list, where a private mount namespace is
# allowed (root); elsewhere the list shows only the media the machine has.
if [ "$(id -u)" = 0 ] && unshare -m --propagation private true 2>/dev/null; then
    "$desktop" run "$ws/program" unshare -m --propagation private sh -c \
        'mount -t tmpfs tmpfs /media && mkdir -p /media/user/KINGSTON && mount -t tmpfs tmpfs /media/user/KINGSTON && exec "$0"' "$build/vastrel-taver" > /dev/null
else
    "$desktop" run "$ws/program" "$build/vastrel-taver" > /dev/null
fi
window() { # waits for a window of that title and prints its id
    for _ in $(seq 50); do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1)" && [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.2
    done
    echo "нет окна «$1»" >&2; exit 1
}
title=20 # openbox's title bar over a window's client area
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.7; }
shoot() { # the window with its title bar, cut from the whole screen
    sleep 0.5
    local info x y w h
    info="$(xwininfo -id "$1")"
    x="$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")"
    y="$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")"
    w="$(awk '/Width:/ {print $NF}' <<<"$info")"
    h="$(awk '/Height:/ {print $NF}' <<<"$info")"
    local top=$((y > title ? y - title : 0))
    import -window root -crop "$((w + 2))x$((h + y - top + 1))+$((x - 1))+$top" +repage "$here/$2.png"
    echo "$here/$2.png"
}

sleep 3 # the splash window goes after 1.5 s
main="$(window 'Вастрель - Тавер')"
# Buttons are pressed by their Alt letters, which stay put whatever size the
# window takes on this screen.
press() { xdotool key "alt+$1"; sleep 0.7; }
# The main window with "Кафедра физики" shown and calculated.
click "$main" 445 51
xdotool key Down Up Return; sleep 0.7
press Cyrillic_pe
press Cyrillic_er
shoot "$main" main-window
# Narrow enough for the guide's page beside its contents.
mogrify -resize 720x "$here/main-window.png"

# The selector's search with two lines found, the window's top only.
click "$main" 624 51
xdotool type --delay 120 "каф"; sleep 0.7
shoot "$main" selector-search
mogrify -crop 1030x150+0+0 +repage -resize 720x "$here/selector-search.png"
xdotool key Escape; sleep 0.5

press Cyrillic_en
settings="$(window 'Ввод основных параметров системы')"
click "$settings" 100 537
shoot "$settings" settings
xdotool key Escape; sleep 0.5

press Cyrillic_ze
estimate="$(window 'Ввод данных о новой смете')"
shoot "$estimate" new-estimate
xdotool key Escape; sleep 0.5

press Cyrillic_es
operations="$(window 'Операции со сметами')"
shoot "$operations" operations
click "$operations" 787 234
shoot "$operations" drive-list
mogrify -crop 420x260+400+200 +repage "$here/drive-list.png"
xdotool key Escape; sleep 0.5
xdotool key Escape 2>/dev/null; sleep 0.5
