#!/usr/bin/env python3
"""Central-office scale benchmark: generates the bases (kept in BUILD/bench-data
and reused), times each work against its floor in the same run, and prints the
table with the machine it ran on. Started by bench/run, which builds first.

Times are medians of several runs after a warm-up (warm cache); CPU time comes
from the kernel's accounting of each child (wait4), peak memory from /usr/bin/time."""

import argparse
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import zipfile

ENV = dict(os.environ, LC_ALL="ru_RU.UTF-8", LANG="ru_RU.UTF-8", QT_QPA_PLATFORM="offscreen")
SUM_COUNT = 10_000
BIG_COUNT = 100_000
EXPORT_COUNTS = (1_000, 4_000, 16_000)
IMPORT_COUNTS = (10_000, 100_000)
IMPORT_WITH_FILE = 100  # one record in this many has its file on the medium
DATA_VERSION = "2"  # raised when a generator changes, so that bases made before are made again

# One main-window estimate; @R@, @I@, @E@ vary per file as the amounts do.
ESTIMATE = """<?xml version='1.0' encoding='windows-1251' standalone='yes'?>
<SMETA xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>
\t<COLUMN>
\t\t<YEAR>2026</YEAR>
\t\t<COD_FIN>3</COD_FIN>
\t\t<DEP>Смета Подразделение</DEP>
\t\t<COD_DEP>105</COD_DEP>
\t\t<COD_LEG>1</COD_LEG>
\t</COLUMN>
\t<COLUMN>
\t\t<DESCRIPTION>остаток</DESCRIPTION>
\t\t<CODE>38630201010010000130*</CODE>
\t\t<CODE_RASCH>2</CODE_RASCH>
\t\t<SUM_YEAR>@R@</SUM_YEAR>
\t</COLUMN>
\t<COLUMN>
\t\t<DESCRIPTION>название дохода</DESCRIPTION>
\t\t<CODE>386 30201010010000130</CODE>
\t\t<CODE_RASCH>2</CODE_RASCH>
\t\t<SUM_YEAR>@I@</SUM_YEAR>
\t</COLUMN>
""" + "".join(f"""\t<COLUMN>
\t\t<DESCRIPTION>{d}</DESCRIPTION>
\t\t<CODE>{c}</CODE>
\t\t<SUM_YEAR>{a}</SUM_YEAR>
\t</COLUMN>
""" for d, c, a in [
    ("Заработная плата", "211", "@E@"),
    ("Начисления на оплату труда", "213", "@E@"),
    ("Услуги связи", "221", "@E@"),
    ("Безвозмездные и безвозвратные перечисления государственным и муниципальным организациям", "241", "0"),
    ("Увеличение стоимости основных средств", "310", "@E@"),
    ("Перечисление средств вышестоящей организации", "610", "0"),
]) + "</SMETA>\n"

# Rows of the refined estimate's body, including the codes printed on two and three lines, each
# with whether a consolidated estimate's record of that code carries an empty CODE_RASCH.
EXPORT_ROWS = [
    ("ИТОГО ДОХОДОВ", "", True),
    ("ДОХОДЫ ОТ ПРОДАЖИ ТОВАРОВ И УСЛУГ", "386 30200000000000000", True),
    ("Доходы от оказания платных услуг", "386 30201010010000130", True),
    ("Оплата труда и начисления на выплаты по оплате труда", "386 00000000000000210", True),
    ("Заработная плата", "386 00000000000000211", False),
    ("Поступление нефинансовых активов", "386 00000000000000300", True),
    ("Безвозмездные перечисления организациям", "386 00000000000000241", True),
    ("ИТОГО РАСХОДОВ", "", True),
]


def cp1251(path, text):
    with open(path, "wb") as f:
        f.write(text.replace("\n", "\r\n").encode("cp1251"))


def workspace(root):
    os.makedirs(os.path.join(root, "work"), exist_ok=True)
    os.makedirs(os.path.join(root, "Vastrel", "smetas"), exist_ok=True)
    return os.path.join(root, "work")


def store_settings(vastrel, work):
    subprocess.run([vastrel, "-C", work, "settings", "store", "--name", "кафедры физики",
                    "--head-position", "Заведующий кафедрой", "--head-name", "И.И. Иванов", "--code", "007",
                    "--status", "1", "--resp-position", "Бухгалтер", "--resp-name", "Петрова А.А."],
                   env=ENV, check=True, stdout=subprocess.DEVNULL)


def generate(data, vastrel):
    """Each base once; a base is complete when its marker holds DATA_VERSION."""
    def once(name, build):
        root = os.path.join(data, name)
        marker = os.path.join(root, "complete")
        if not os.path.exists(marker) or open(marker).read() != DATA_VERSION:
            shutil.rmtree(root, ignore_errors=True)
            print(f"generating {name} …", file=sys.stderr)
            build(root)
            with open(marker, "w") as f:
                f.write(DATA_VERSION)
        return os.path.join(root, "work")

    def sum_base(root):
        work = workspace(root)
        toc = []
        for k in range(1, SUM_COUNT + 1):
            name = f"est{k:06d}"
            text = (ESTIMATE.replace("@R@", str(k % 13))
                    .replace("@I@", f"{4 * (k % 997) + 1},{k % 100:02d}")
                    .replace("@E@", f"{k % 997},25"))
            cp1251(os.path.join(root, "Vastrel", "smetas", name + ".xml"), text)
            toc.append(f"{k % 1000:03d}|{name}|\n")
        cp1251(os.path.join(work, "departments.txt"), "".join(toc))
        shutil.copy(os.path.join(work, "departments.txt"), os.path.join(root, "departments.orig"))

    def rebuild_base(root):
        workspace(root)
        base = os.path.join(root, "Vastrel", "smetas")
        # Mixed case and scripts, so the case-folding sort has work to do.
        for k in range(BIG_COUNT):
            stem = ("Кафедра", "кафедра", "Faculty", "ЛАБОРАТОРИЯ")[k % 4]
            open(os.path.join(base, f"{stem} {(k * 7919) % BIG_COUNT:06d}.xml"), "w").close()

    def list_base(root):
        work = workspace(root)
        cp1251(os.path.join(work, "departments.txt"),
               "".join(f"{k % 1000:03d}|Смета кафедры № {k:06d}|основная {k % 7}\n" for k in range(BIG_COUNT)))
        store_settings(vastrel, work)

    def export_base(root):
        work = workspace(root)
        toc = []
        for count in EXPORT_COUNTS:
            name = f"сводная смета {count}"
            body = "".join(
                f"\t<COLUMN>\n\t\t<DESCRIPTION>{d} {k}</DESCRIPTION>\n\t\t<CODE>{c}</CODE>\n"
                + ("\t\t<CODE_RASCH></CODE_RASCH>\n" if rasch else "") +
                f"\t\t<SUM_YEAR>{'0' if k % 5 == 0 else f'{k * 37 % 100000},{k % 100:02d}'}</SUM_YEAR>\n\t</COLUMN>\n"
                for k, (d, c, rasch) in ((k, EXPORT_ROWS[k % len(EXPORT_ROWS)]) for k in range(count)))
            head = (ESTIMATE.split("\t<COLUMN>\n\t\t<DESCRIPTION>")[0]
                    .replace("<COD_FIN>3</COD_FIN>", "<COD_FIN>СВОДНАЯ СМЕТА</COD_FIN>"))
            cp1251(os.path.join(root, "Vastrel", "smetas", name + ".xml"), head + body + "</SMETA>\n")
            toc.append(f"{len(toc) + 1:03d}|{name}|\n")
        cp1251(os.path.join(work, "departments.txt"), "".join(toc))
        store_settings(vastrel, work)

    def import_base(count):
        # A subdivision's medium lists its whole base and carries a few files,
        # which the central office already holds: the intake reads and compares.
        def build(root):
            work = workspace(root)
            medium = os.path.join(root, "medium")
            os.makedirs(medium)
            toc, taken = [], []
            for k in range(count):
                line = f"{k % 1000:03d}|Смета кафедры № {k:06d}|основная {k % 7}\n"
                toc.append(line)
                if k % IMPORT_WITH_FILE == 0:
                    text = ESTIMATE.replace("@R@", str(k % 13)).replace("@I@", f"{k},50").replace("@E@", f"{k % 997},25")
                    for folder in (medium, os.path.join(root, "Vastrel", "smetas")):
                        cp1251(os.path.join(folder, f"Смета кафедры № {k:06d}.xml"), text)
                    taken.append(line)
            cp1251(os.path.join(medium, "departments.txt"), "".join(toc))
            cp1251(os.path.join(work, "departments.txt"), "".join(taken))
        return build

    return (once("sum", sum_base), once("rebuild", rebuild_base), once("list", list_base),
            once("export", export_base)) + tuple(once(f"import-{n}", import_base(n)) for n in IMPORT_COUNTS)


def run_once(command, cwd, stdout=subprocess.DEVNULL, peak_memory=True):
    """Wall seconds, CPU seconds and peak resident MiB (0 unless asked) of one run."""
    # A child forked from this script counts the script's memory as its own peak,
    # so the peak is taken by /usr/bin/time, a small process, from its own child;
    # a start-up is timed without it, as it costs about as much as the start-up.
    with tempfile.NamedTemporaryFile("r") as peak:
        wrapper = ["/usr/bin/time", "-f", "%M", "-o", peak.name] if peak_memory else []
        start = time.perf_counter()
        child = subprocess.Popen([*wrapper, *command], cwd=cwd, env=ENV, stdout=stdout, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - start
        child.returncode = os.waitstatus_to_exitcode(status)
        error = child.stderr.read().decode(errors="replace")
        if child.returncode != 0:
            sys.exit(f"{' '.join(command[:4])} … failed ({child.returncode}): {error}")
        return wall, usage.ru_utime + usage.ru_stime, int(peak.read().split()[-1]) / 1024 if peak_memory else 0


def measure(command, cwd, runs, before=None, peak_memory=True):
    """Median wall and CPU, largest peak memory, after one warm-up run."""
    results = []
    for i in range(runs + 1):
        if before:
            before()
        result = run_once(command, cwd, peak_memory=peak_memory)
        if i:
            results.append(result)
    return (statistics.median(r[0] for r in results), statistics.median(r[1] for r in results),
            max(r[2] for r in results))


def machine():
    model = "?"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    release = platform.platform()
    try:
        with open("/etc/os-release") as f:
            for line in f:
                if line.startswith("PRETTY_NAME="):
                    release = line.split("=", 1)[1].strip().strip('"') + ", Linux " + platform.release()
    except OSError:
        pass
    return f"{model}, {os.cpu_count()} cores, {release}"


def load():
    return " ".join(f"{x:.1f}" for x in os.getloadavg())


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True)
    parser.add_argument("--quick", action="store_true", help="3 runs per row instead of 7")
    parser.add_argument("--outputs", help="keep every file written, to compare two builds byte for byte")
    args = parser.parse_args()
    runs = 3 if args.quick else 7
    args.build = os.path.abspath(args.build)
    if args.outputs:
        args.outputs = os.path.abspath(args.outputs)
    vastrel = os.path.join(args.build, "vastrel")
    floor = os.path.join(args.build, "bench_floor")
    qtcore_floor = os.path.join(args.build, "bench", "bench_qtcore_floor")
    vastrel_gui = os.path.join(args.build, "bench", "bench_vastrel_gui")
    data = os.path.join(args.build, "bench-data")
    sum_work, rebuild_work, list_work, export_work, *import_works = generate(data, vastrel)
    load_before = load()
    rows = []

    def row(work, time_text, floor_text, ratio, goal, met):
        rows.append((work, time_text, floor_text, ratio, goal, "yes" if met else "**no**"))

    # Summing adds a file and a table-of-contents line: put the base back before each run.
    sum_root = os.path.dirname(sum_work)
    smetas = os.path.join(sum_root, "Vastrel", "smetas")
    names = [f"est{k:06d}" for k in range(1, SUM_COUNT + 1)]
    keep = set(n + ".xml" for n in names)

    def restore_sum_base():
        shutil.copy(os.path.join(sum_root, "departments.orig"), os.path.join(sum_work, "departments.txt"))
        for entry in os.listdir(smetas):
            if entry not in keep:
                os.remove(os.path.join(smetas, entry))

    sum_t = measure([vastrel, "sum", *names], sum_work, runs, restore_sum_base)
    sum_f = measure([floor, "read", *names], sum_work, runs)
    row(f"`vastrel sum` of {SUM_COUNT:,} estimates (wall)", f"{sum_t[0]:.3f} s", f"{sum_f[0]:.3f} s",
        f"{sum_t[0] / sum_f[0]:.1f}×", "≤ 2×", sum_t[0] <= 2 * sum_f[0])
    row("… the same, CPU", f"{sum_t[1]:.3f} s", f"{sum_f[1]:.3f} s", f"{sum_t[1] / max(sum_f[1], 1e-3):.1f}×",
        "—", True)
    quarter = measure([vastrel, "sum", *names[:SUM_COUNT // 4]], sum_work, 1, restore_sum_base)
    row(f"peak memory of sum over {SUM_COUNT // 4:,} / {SUM_COUNT:,}", f"{quarter[2]:.0f} / {sum_t[2]:.0f} MiB",
        "—", "—", "< 64 MiB, flat in N", sum_t[2] < 64 and sum_t[2] < quarter[2] * 1.5)
    if args.outputs:
        restore_sum_base()
        run_once([vastrel, "sum", *names], sum_work)
        os.makedirs(os.path.join(args.outputs, "sum"), exist_ok=True)
        for entry in os.listdir(smetas):
            if entry not in keep:
                shutil.copy(os.path.join(smetas, entry), os.path.join(args.outputs, "sum", "consolidated.xml"))
        shutil.copy(os.path.join(sum_work, "departments.txt"), os.path.join(args.outputs, "sum"))
        restore_sum_base()

    rebuild_t = measure([vastrel, "rebuild"], rebuild_work, runs)
    rebuild_f = measure([floor, "list", "../Vastrel/smetas"], rebuild_work, runs)
    row(f"`vastrel rebuild` over {BIG_COUNT:,} files",
        f"{rebuild_t[0]:.3f} s (CPU {rebuild_t[1]:.3f}), {rebuild_t[2]:.0f} MiB",
        f"{rebuild_f[0]:.3f} s (CPU {rebuild_f[1]:.3f})", f"{rebuild_t[0] / rebuild_f[0]:.1f}×", "≤ 3×, < 64 MiB",
        rebuild_t[0] <= 3 * rebuild_f[0] and rebuild_t[2] < 64)
    if args.outputs:
        shutil.copy(os.path.join(rebuild_work, "departments.txt"), os.path.join(args.outputs, "rebuild.txt"))
    rebuild_g = measure([vastrel_gui, "rebuild"], rebuild_work, runs)
    row("… the same, vastrel linked directly against Qt Gui (no PDF module)",
        f"{rebuild_g[0]:.3f} s (CPU {rebuild_g[1]:.3f}), {rebuild_g[2]:.0f} MiB",
        f"{rebuild_f[0]:.3f} s (CPU {rebuild_f[1]:.3f})", f"{rebuild_g[0] / rebuild_f[0]:.1f}×",
        "≤ 3×, < 64 MiB", rebuild_g[0] <= 3 * rebuild_f[0] and rebuild_g[2] < 64)

    # A script calling vastrel in a loop pays the start-up on every call; the
    # floor is a program that loads Qt Core, decodes its arguments and prints.
    # Judged on CPU time: a few milliseconds of wall time on a loaded machine
    # are mostly waiting for a core.
    startup_f = measure([qtcore_floor, "--help"], rebuild_work, 5 * runs, peak_memory=False)
    for work, program in (("`vastrel --help` start-up (Qt Core; the PDF module loaded only for a PDF)", vastrel),
                          ("… vastrel linked directly against Qt Gui (no PDF module)", vastrel_gui)):
        startup_t = measure([program, "--help"], rebuild_work, 5 * runs, peak_memory=False)
        row(work, f"{startup_t[0] * 1000:.1f} ms (CPU {startup_t[1] * 1000:.1f} ms)",
            f"{startup_f[0] * 1000:.1f} ms (CPU {startup_f[1] * 1000:.1f} ms, Qt Core)",
            f"CPU {startup_t[1] / startup_f[1]:.1f}×", "CPU ≤ 2×", startup_t[1] <= 2 * startup_f[1])

    windows = {}
    for _ in range(runs):
        out = subprocess.run([os.path.join(args.build, "bench", "bench_windows")], cwd=list_work, env=ENV,
                             check=True, capture_output=True, text=True).stdout
        for line in out.splitlines():
            name, wall, cpu = line.split()
            windows.setdefault(name, []).append((float(wall), float(cpu)))
    for key, work in (("operations_window", "operations window opening"),
                      ("selector_popup", "estimate selector dropping down"),
                      ("calculate_press", "a press of \"расчет сметы\""),
                      ("selector_search", "a key typed into the selector's search (slowest of 14)"),
                      ("operations_search", "a key typed into the operations window's search (slowest of 14)")):
        wall = statistics.median(w for w, _ in windows[key])
        cpu = statistics.median(c for _, c in windows[key])
        row(f"{work} with {BIG_COUNT:,} records", f"{wall:.0f} ms (CPU {cpu:.0f} ms)", "—", "—", "≤ 100 ms",
            min(wall, cpu) <= 100)

    list_t = measure([vastrel, "list"], list_work, runs)
    list_f = measure(["iconv", "-f", "CP1251", "-t", "UTF-8", "departments.txt"], list_work, runs)
    row(f"`vastrel list` of {BIG_COUNT:,} records", f"{list_t[0]:.3f} s", f"{list_f[0]:.3f} s (iconv)",
        f"{list_t[0] / list_f[0]:.1f}×", "≤ 2×", list_t[0] <= 2 * list_f[0])
    if args.outputs:
        with open(os.path.join(args.outputs, "list.txt"), "wb") as f:
            run_once([vastrel, "list"], list_work, stdout=f)

    export_times = []
    for count in EXPORT_COUNTS:
        out = os.path.join(data, f"export-{count}.xlsx")
        export_times.append(measure([vastrel, "export-consolidated", f"сводная смета {count}", "-o", out],
                                    export_work, max(1, runs // 2))[:2])
        if args.outputs:
            # The workbook's own creation time is the only part that differs between runs.
            with zipfile.ZipFile(out) as book:
                for member in book.namelist():
                    if member != "docProps/core.xml":
                        book.extract(member, os.path.join(args.outputs, f"export-{count}"))
    # On a machine others load, the processor time shows the work itself.
    growth = export_times[-1][1] / export_times[-2][1]
    row("`vastrel export-consolidated` of " + " / ".join(f"{c:,}" for c in EXPORT_COUNTS) + " records",
        " / ".join(f"{t[0]:.2f}" for t in export_times) + " s (CPU " +
        " / ".join(f"{t[1]:.2f}" for t in export_times) + ")", "—", f"CPU ×{growth:.1f} per ×4",
        "linear; 16,000 ≤ 0.5 s", min(export_times[-1]) <= 0.5 and growth < 6)

    import_times = [measure([vastrel, "import", "--from", "../medium"], work, runs)[:2] for work in import_works]
    per_record = [t[0] / n * 1e6 for t, n in zip(import_times, IMPORT_COUNTS)]
    row("`vastrel import` of a medium of " + " / ".join(f"{n:,}" for n in IMPORT_COUNTS) +
        f" records (1 in {IMPORT_WITH_FILE} with its file, already in the base)",
        " / ".join(f"{t[0]:.3f}" for t in import_times) + " s (CPU " +
        " / ".join(f"{t[1]:.3f}" for t in import_times) + ")", "—",
        " / ".join(f"{p:.1f}" for p in per_record) + " µs per record",
        f"{IMPORT_COUNTS[-1]:,} < 1 s; per record within 30 %",
        import_times[-1][0] < 1 and per_record[-1] <= 1.3 * per_record[0])

    print(f"Machine: {machine()}")
    print(f"Load average before / after: {load_before} / {load()}; {runs} runs per row, median, warm cache")
    print()
    print("| Work | Time | Floor (same run) | Ratio | Goal | Met |")
    print("|---|---|---|---|---|---|")
    for r in rows:
        print("| " + " | ".join(r) + " |")


if __name__ == "__main__":
    main()
