#!/usr/bin/env bash
# A day of the vastrel command in a fresh workspace, for comparing two builds' files byte for byte.
#   scripts/windows-day.sh DIR VASTREL...          works the day in DIR with the command VASTREL...
#   scripts/windows-day.sh --compare DIR1 DIR2     compares what two days wrote (exit 1 on a difference)
# The time in consolidated estimates' names and the documents' creation times are set aside.
set -uo pipefail

if [ "${1:-}" = "--compare" ]; then
    exec python3 - "$2" "$3" <<'EOF'
import io, os, re, sys, zipfile

STAMP = re.compile(rb'\( \d+_\d+_\d+_\d+_\d+_\d+ \)')
def plain(data):
    return STAMP.sub(b'( TIME )', data)

def xlsx_parts(data):
    with zipfile.ZipFile(io.BytesIO(data)) as z:
        parts = {}
        for name in sorted(z.namelist()):
            body = z.read(name)
            if name == 'docProps/core.xml':
                body = re.sub(rb'\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ', b'DATE', body)
            parts[name] = plain(body)
        return parts

def pdf(data):
    data = re.sub(rb'\(D:[^)]*\)', b'(D:DATE)', data)
    # The cross-reference offsets move with the dates' lengths only.
    return re.sub(rb'xref\r?\n.*', b'xref', data, flags=re.S)

def files(root):
    found = {}
    for top, _, names in os.walk(root):
        for name in names:
            path = os.path.join(top, name)
            found[plain(os.path.relpath(path, root).encode()).decode()] = path
    return found

left, right = (files(os.path.join(d, 'files')) for d in sys.argv[1:3])
failures = 0
for name in sorted(set(left) | set(right)):
    if name not in left or name not in right:
        print(f'только в {"первом" if name in left else "втором"}: {name}')
        failures += 1
        continue
    a, b = (open(p, 'rb').read() for p in (left[name], right[name]))
    if name.endswith('.xlsx'):
        a, b = xlsx_parts(a), xlsx_parts(b)
    elif name.endswith('.pdf'):
        a, b = pdf(a), pdf(b)
    else:
        a, b = plain(a), plain(b)
    if a != b:
        print(f'различаются: {name}')
        failures += 1
# What the commands said and how they ended (the end of lines aside: Windows writes CR LF to a pipe).
# DAY_LOGS adds stderr where both builds run on the same system (Wine adds its own noise there).
for log in os.environ.get('DAY_LOGS', 'status stdout').split():
    a, b = (open(os.path.join(d, log), 'rb').read().replace(b'\r\n', b'\n') for d in sys.argv[1:3])
    if plain(a) != plain(b):
        print(f'различается {log}')
        failures += 1
print(f'файлов: {len(left)}, различий: {failures}')
sys.exit(1 if failures else 0)
EOF
fi

day=$1
shift
vastrel=("$@")
# The day works in its own folders: a command given by a relative path is found from here.
[ -e "${vastrel[0]}" ] && vastrel[0]=$(realpath "${vastrel[0]}")
# Our users' locale unless another is asked for: the day's amounts are typed with commas.
export LC_ALL=${DAY_LOCALE:-ru_RU.UTF-8}
rm -rf "$day"
mkdir -p "$day/files/workspace/program" "$day/files/workspace/Vastrel/smetas" "$day/files/флешка" \
    "$day/files/gemtar/program" "$day/files/gemtar/Vastrel/smetas"
: > "$day/files/workspace/program/departments.txt"
: > "$day/files/gemtar/program/departments.txt"
cd "$day/files/workspace/program"

# Each command's exit status goes to status; what show, list and the like print to stdout.
V() {
    local keep=$1
    shift
    "${vastrel[@]}" "$@" >"$day/out" 2>"$day/err"
    echo "$? $*" >>"$day/status"
    [ "$keep" = keep ] && cat "$day/out" >>"$day/stdout"
    cat "$day/err" >>"$day/stderr"
}

V keep calc --income 100 --e211 99,5
V - settings store --name "кафедры физики" --head-position "Заведующий кафедрой" --head-name "И.И. Иванов" \
    --code 007 --status 1 --resp-position "Бухгалтер" --resp-name "Петрова А.А."
V keep settings show
V - register "Кафедра физики" --code 101 --notes "основная" --source 1
V - register "Кафедра химии" --code 102 --notes "лаборатории №2" --source 2
V - save "Кафедра физики" --income-code 3 --source 1 --income 1000,5 --e211 600,25 --e213 400,25
V - save "Кафедра химии" --income-code 5 --source 2 --status 3 --income 2500 --e211 1500,1 --e310 999,9
V keep show "Кафедра физики"
V keep list
V keep sum "Кафедра физики" "Кафедра химии"
consolidated=$(tail -1 "$day/out")
V - export-breakdown --from "Кафедра физики" -o расшифровка.xlsx
V - export-breakdown --from "Кафедра химии" -o расшифровка.pdf
V - export-consolidated "$consolidated" -o сводная.xlsx
V - export-consolidated "$consolidated" -o сводная.pdf
V - copy --to ../../флешка "Кафедра физики" "Кафедра химии"
V - -C ../../gemtar/program import --from ../../флешка
V keep -C ../../gemtar/program list
# Refusals: nothing may change.
V - register "Смета ✓" --code 103 --source 1
V - register "Кафедра физики" --code 101 --source 1
V - show "Нет такой сметы"
V - save "Кафедра физики" --income-code 3 --source 1 --income 100 --e211 99
V - settings store --name "кафедры" --head-position "З" --head-name "И" --code 7 --status 1 \
    --resp-position "Б" --resp-name "П"
V - delete "Кафедра химии"
V - rebuild
V keep list
exit 0
