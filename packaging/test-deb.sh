#!/usr/bin/env bash
# Builds the .deb, checks what a Debian maintainer checks (lintian, size, stripped
# programs, manual pages, completion, metadata), unpacks it into a scratch root and
# works one small day with the unpacked vastrel (day.sh), a PDF through the packaged module included.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
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
size=$(stat -c %s "$deb")
echo "Размер пакета: $size байт"
# A sanitized build is no release: its instrumented programs are twice the size
# and link the sanitizers' runtimes, so the maintainer's checks are the release build's.
release=true
grep -q '^VASTREL_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" && release=false
if $release; then
    ((size < 3 * 1024 * 1024)) || fail "пакет больше 3 МБ: $size байт"
else
    echo "Сборка с санитайзерами: размер пакета и lintian не проверяются"
fi

if $release && command -v lintian > /dev/null; then
    # Warnings left on purpose are explained in the README; none is expected here.
    lintian --allow-root "$deb" > lintian.log 2>&1 || true
    if grep -E '^[EW]:' lintian.log; then fail "lintian нашёл ошибки или предупреждения"; fi
fi

dpkg -x "$deb" root
man=usr/share/man
metainfo=(root/usr/share/metainfo/*.metainfo.xml)
for file in usr/bin/vastrel-taver usr/bin/vastrel usr/bin/VastrelTaver_Help usr/bin/vastrel-taver-start \
            usr/share/applications/vastrel-taver.desktop usr/share/icons/hicolor/scalable/apps/vastrel-taver.svg \
            usr/share/doc/vastrel-taver/copyright usr/share/doc/vastrel-taver/changelog.gz \
            usr/share/bash-completion/completions/vastrel "${metainfo[0]#root/}" \
            $man/man1/vastrel.1.gz $man/man1/vastrel-taver.1.gz $man/ru/man1/vastrel.1.gz $man/ru/man1/vastrel-taver.1.gz; do
    [ -e "root/$file" ] || fail "в пакете нет $file"
done
for program in root/usr/bin/vastrel-taver root/usr/bin/vastrel root/usr/bin/VastrelTaver_Help; do
    [[ "$(file -b "$program")" == *", stripped"* ]] || fail "$program не очищен от отладочных сведений"
done
grep -q '^Categories=.*Office' root/usr/share/applications/vastrel-taver.desktop || fail "ярлык не в разделе Office"
desktop-file-validate root/usr/share/applications/vastrel-taver.desktop || fail "ярлык не прошёл проверку"
# The screenshot is on the homepage, which this machine may not reach.
appstreamcli validate --no-net "${metainfo[0]}" > appstream.log || { cat appstream.log; fail "метаданные AppStream"; }

# One version: the programs, the changelog and the package say the same.
version="$(dpkg-deb -f "$deb" Version)"
[ "$(env -u DISPLAY root/usr/bin/vastrel-taver --version)" = "vastrel-taver (Вастрель - Тавер) $version" ] \
    || fail "vastrel-taver --version: $(root/usr/bin/vastrel-taver --version)"
[[ "$(zcat root/usr/share/doc/vastrel-taver/changelog.gz | head -n 1)" == "vastrel-taver ($version) "* ]] \
    || fail "последняя запись changelog не о версии $version"
# man finds the Russian page under the users' locale and the English one otherwise.
if command -v man > /dev/null; then
    [ "$(MANPATH="$scratch/root/$man" LC_ALL=ru_RU.UTF-8 man -w vastrel)" = "$scratch/root/$man/ru/man1/vastrel.1.gz" ] \
        || fail "man vastrel при ru_RU не русская страница"
    # The starter's page is a link to the program's.
    [ "$(MANPATH="$scratch/root/$man" LC_ALL=C.UTF-8 man -w vastrel-taver-start)" = "$scratch/root/$man/man1/vastrel-taver.1.gz" ] \
        || fail "нет страницы vastrel-taver-start"
fi

"$here/day.sh" "$scratch/root/usr/bin/vastrel" "$scratch/ws"

# The program under the offscreen platform, as root without XDG_RUNTIME_DIR: its
# windows open (and stay, until the timeout) without a word on standard error.
(cd "$scratch/ws/program" && env -u XDG_RUNTIME_DIR QT_QPA_PLATFORM=offscreen \
    timeout 3 "$scratch/root/usr/bin/vastrel-taver" > /dev/null 2> "$scratch/gui.err") || true
[ ! -s "$scratch/gui.err" ] || fail "лишний вывод vastrel-taver: $(cat "$scratch/gui.err")"

# Completion offers the names of the working directory's table of contents, blanks kept.
# A medium's names are those of its own table of contents (here the same workspace).
names="$(cd "$scratch/ws/program" && bash -c '
    source "$1"
    complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMPREPLY=(); _vastrel; printf "%s|" "${COMPREPLY[@]}"; echo; }
    complete_words vastrel show "Кафедра ф"
    complete_words vastrel -C . sum "\"Кафедра"
    complete_words vastrel import --from . "Кафедра ф"' bash "$scratch/root/usr/share/bash-completion/completions/vastrel")"
[ "$names" = "$(printf 'Кафедра физики|\nКафедра физики|\nКафедра физики|')" ] || fail "дополнение имён смет: $names"
echo "Пакет $(basename "$deb") распакован в $scratch/root, день работы пройден."
