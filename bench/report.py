#!/usr/bin/env python3
"""Summaries of the comparison runs of bench/compare.sh and bench/scaling.sh.

    report.py RUNDIR [--write RESULTS.md]   the whole report (printed; written too with --write)
    report.py scaling BENCH.json            the pass-by-pass scaling table of a zelm-bench run

MB is 2^20 bytes throughout.
"""

import collections
import csv
import json
import pathlib
import re
import statistics
import sys

MB = 1 << 20
TOOLS = ["zelm", "zelm-saved", "tidy", "html-beautify", "prettier"]
PEERS = ["tidy", "html-beautify", "prettier"]
COMMANDS = {
    "zelm": "`zelm-cli indent PAGE > OUT`",
    "zelm-saved": "`zelm-cli indent PAGE -o OUT` (the file synced to disk, then renamed into place)",
    "tidy": "`tidy -indent -quiet -wrap 0 -shiftjis --preserve-entities yes --fix-uri no "
            "--drop-empty-elements no --tidy-mark no --force-output yes PAGE > OUT` (exit status 1, warnings, accepted)",
    "html-beautify": "`nkf -x -m0 -S -w PAGE | html-beautify | nkf -x -m0 -W -s > OUT`",
    "prettier": "`nkf -x -m0 -S -w PAGE | prettier --parser html | nkf -x -m0 -W -s > OUT`",
}
# Targets: the least factor by which Zelm beats a tool on the 5 MB page, and the linearity limits.
SPEED_TARGETS = {"tidy": 10.0, "html-beautify": 50.0}
SCALING_LIMIT = 4.5
MEMORY_LIMIT = 10.0


def read_tsv(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f, delimiter="\t"))


def read_env(path):
    env = {}
    for line in pathlib.Path(path).read_text().splitlines():
        key, _, value = line.partition("=")
        env[key] = value
    return env


def met(ok):
    return "met" if ok else "**missed**"


# ---- Timings ---------------------------------------------------------------

def summarise_timings(rows):
    """{(megabytes, tool): {...}} with medians over the successful runs."""
    groups = {}
    for row in rows:
        groups.setdefault((int(row["megabytes"]), row["tool"]), []).append(row)
    summary = {}
    for (size, tool), runs in groups.items():
        good = [r for r in runs if r["status"] == "ok"]
        bytes_in = int(runs[0]["bytes"])
        entry = {"bytes": bytes_in, "runs": len(runs), "ok": len(good),
                 "failures": sorted({r["status"] for r in runs if r["status"] != "ok"})}
        if good:
            seconds = statistics.median(float(r["seconds"]) for r in good)
            entry.update(seconds=seconds, spread=(min(float(r["seconds"]) for r in good),
                                                  max(float(r["seconds"]) for r in good)),
                         rate=bytes_in / MB / seconds,
                         rss=max(int(r["rss_kb"]) for r in good) / 1024,
                         out=statistics.median(int(r["out_bytes"]) for r in good))
        summary[(size, tool)] = entry
    return summary


def non_ascii_characters(path):
    return collections.Counter(c for c in path.read_bytes().decode("cp932", errors="replace") if ord(c) > 0x7F)


def text_kept(run, size, tool, cache={}):
    """Whether the tool's last output holds every non-ASCII character of the page, as often."""
    page, out = run.parent / "pages" / f"page-{size}mb.html", run / "out" / f"{tool}-{size}.html"
    if not page.exists() or not out.exists():
        return "–"
    if page not in cache:
        cache[page] = non_ascii_characters(page)
    lost = sum((cache[page] - non_ascii_characters(out)).values())
    return "yes" if lost == 0 else f"**{lost} lost**"


def timings_table(summary, run):
    lines = ["| page | tool | median s | min–max s | MB/s | peak memory MB | × Zelm's time | output MB | "
             "Japanese text kept | runs ok |",
             "|---|---|--:|--:|--:|--:|--:|--:|---|--:|"]
    for size in sorted({s for s, _ in summary}):
        zelm = summary.get((size, "zelm"), {}).get("seconds")
        for tool in TOOLS:
            e = summary.get((size, tool))
            if not e:
                continue
            page = f"{size} MB ({e['bytes'] / MB:.2f})"
            if "seconds" not in e:
                lines.append(f"| {page} | {tool} | failed | | | | | | | 0/{e['runs']} ({', '.join(e['failures'])}) |")
                continue
            ratio = f"{e['seconds'] / zelm:.1f}" if zelm else "–"
            lines.append(f"| {page} | {tool} | {e['seconds']:.3f} | {e['spread'][0]:.3f}–{e['spread'][1]:.3f} | "
                         f"{e['rate']:.1f} | {e['rss']:.0f} | {ratio} | {e['out'] / MB:.2f} | "
                         f"{text_kept(run, size, tool)} | {e['ok']}/{e['runs']} |")
    return lines


def targets_table(summary, scaling_rows, parallel):
    lines = ["| target | measured | |", "|---|--:|---|"]
    zelm5 = summary.get((5, "zelm"), {}).get("seconds")
    for tool, factor in SPEED_TARGETS.items():
        other = summary.get((5, tool), {}).get("seconds")
        if zelm5 and other:
            lines.append(f"| 5 MB: zelm-cli indent at least {factor:.0f}× faster than {tool} | "
                         f"{other / zelm5:.1f}× | {met(other / zelm5 >= factor)} |")
    for tool in PEERS:
        other = summary.get((5, tool), {}).get("seconds")
        if zelm5 and other and tool not in SPEED_TARGETS:
            lines.append(f"| 5 MB: faster than {tool} | {other / zelm5:.1f}× | {met(other > zelm5)} |")
    t5, t20 = (summary.get((s, "zelm"), {}).get("seconds") for s in (5, 20))
    if t5 and t20:
        b5, b20 = summary[(5, "zelm")]["bytes"], summary[(20, "zelm")]["bytes"]
        lines.append(f"| zelm-cli indent t(20 MB) / t(5 MB) at most {SCALING_LIMIT} (pages {b20 / b5:.2f}× apart) | "
                     f"{t20 / t5:.2f} | {met(t20 / t5 <= SCALING_LIMIT)} |")
    for size in sorted({s for s, t in summary if t == "zelm"}):
        e = summary[(size, "zelm")]
        if "rss" in e:
            ratio = e["rss"] * MB / e["bytes"]
            lines.append(f"| zelm-cli peak memory / input size at most {MEMORY_LIMIT:.0f} ({size} MB) | "
                         f"{ratio:.1f} | {met(ratio <= MEMORY_LIMIT)} |")
    if scaling_rows:
        worst = max(scaling_rows, key=lambda r: r["ratio"])
        over = [r["name"] for r in scaling_rows if r["ratio"] > SCALING_LIMIT]
        lines.append(f"| every engine pass t(20 MB) / t(5 MB) at most {SCALING_LIMIT} (worst: {worst['name']}) | "
                     f"{worst['ratio']:.2f} | {met(not over)}{' (' + ', '.join(over) + ')' if over else ''} |")
    if parallel:
        lines.append(f"| 40 pages in place: -j 2 against -j 1 | {parallel['speedup']:.2f}× | |")
    return lines


# ---- Pass-by-pass scaling ----------------------------------------------------

def scaling_rows_from(path):
    data = json.loads(pathlib.Path(path).read_text())
    medians = {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name, _, size = b["run_name"].partition("/")
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
        medians.setdefault(name, {})[int(size)] = b["real_time"] * scale
    rows = []
    for name, times in medians.items():
        if 5 in times and 20 in times:
            rows.append({"name": name, "times": times, "ratio": times[20] / times[5]})
    return rows


def scaling_table(rows):
    lines = ["| pass | 1 MB ms | 5 MB ms | 20 MB ms | t(20) / t(5) | |", "|---|--:|--:|--:|--:|---|"]
    for r in rows:
        t = r["times"]
        lines.append(f"| {r['name']} | {t.get(1, float('nan')):.2f} | {t[5]:.2f} | {t[20]:.2f} | {r['ratio']:.2f} | "
                     f"{'ok' if r['ratio'] <= SCALING_LIMIT else '**over ' + str(SCALING_LIMIT) + '**'} |")
    return lines


# ---- One core against two ------------------------------------------------------

def summarise_parallel(rows):
    if not rows:
        return None
    times = {}
    for row in rows:
        if row["status"] == "ok":
            times.setdefault(int(row["jobs"]), []).append(float(row["seconds"]))
    if 1 not in times or 2 not in times:
        return {"failed": sorted({r["status"] for r in rows if r["status"] != "ok"})}
    t1, t2 = statistics.median(times[1]), statistics.median(times[2])
    total = int(rows[0]["bytes"])
    return {"t1": t1, "t2": t2, "speedup": t1 / t2, "bytes": total, "files": int(rows[0]["files"]),
            "runs": {j: len(v) for j, v in times.items()}}


# ---- Profile -------------------------------------------------------------------

PROFILE_LINE = re.compile(r"^\s*([\d,]+) \(\s*([\d.]+)%\)\s+(\S.*)$")


def short_function(text):
    """A function's name without its parameters, binary or source file."""
    text = re.sub(r"\s*\[/[^\]]*\]$", "", text)                # callgrind: [binary]
    text = re.sub(r"\s*\(in /[^)]*\)$", "", text)                # massif: (in binary)
    text = re.sub(r"^(\?\?\?|[^\s:(]*\.\w+):(?!:)", "", text)     # callgrind: source file:
    text = text.replace("(anonymous namespace)::", "").replace("[abi:cxx11]", "")
    return text.split("(")[0].strip()


def profile_rows(path, limit):
    rows = []
    for line in pathlib.Path(path).read_text().splitlines():
        m = PROFILE_LINE.match(line)
        if not m:
            continue
        name = short_function(m.group(3))
        if name.startswith("zelm::") or name.startswith("__mem") or name in ("memmem", "malloc", "free"):
            if "lambda" not in m.group(3) and not name.startswith("zelm::cli::"):
                rows.append((float(m.group(2)), name))
    return rows[:limit]


CALLER_LINE = re.compile(r"^\s*([\d,]+) \(\s*([\d.]+)%\)\s+<\s+(\S.*?) \(([\d,]+)x\)\s*(\[.*\])?\s*$")
SEARCHES = ["zelm::SjisPos", "zelm::FindAtBoundary", "zelm::FindNoCaseAtBoundary", "zelm::SplitLines"]


def caller_rows(path):
    """(function, caller, calls, inclusive %) for the searches that the passes repeat."""
    rows, callers = [], []
    for line in pathlib.Path(path).read_text().splitlines():
        m = CALLER_LINE.match(line)
        if m:
            callers.append((short_function(m.group(3)), m.group(4), float(m.group(2))))
            continue
        m = PROFILE_LINE.match(line)
        if m and m.group(3).startswith("*"):
            name = short_function(m.group(3).lstrip("* ").strip())
            if name in SEARCHES:
                rows += [(name, caller, calls, share) for caller, calls, share in callers]
        callers = [] if not line.strip() or (m and m.group(3).startswith("*")) else callers
    return rows


def instructions(log):
    """The instruction count that valgrind's log reports, or None."""
    if not log.exists():
        return None
    m = re.search(r"I\s+refs:\s+([\d,]+)", log.read_text())
    return int(m.group(1).replace(",", "")) if m else None


def profile_section(run, page_bytes):
    inclusive, own = run / "profile-inclusive.txt", run / "profile-self.txt"
    if not inclusive.exists():
        return []
    lines = []
    zelm, tidy = instructions(run / "callgrind.log"), instructions(run / "callgrind-tidy.log")
    if zelm:
        lines.append(f"`valgrind --tool=callgrind` on `zelm-cli indent` of the smallest page "
                     f"({page_bytes / MB:.2f} MB): {zelm:,} instructions, {zelm / page_bytes:.0f} per byte.")
    if zelm and tidy:
        lines[-1] += (f" Tidy on the same page: {tidy:,} instructions, {tidy / page_bytes:.0f} per byte "
                      f"({tidy / zelm:.2f}× Zelm's; counts do not depend on the load).")
    lines += ["", "| inclusive % | function |", "|--:|---|"]
    lines += [f"| {p:.1f} | `{n}` |" for p, n in profile_rows(inclusive, 30)]
    lines += ["", "Own instructions, most expensive first:", "", "| self % | function |", "|--:|---|"]
    lines += [f"| {p:.1f} | `{n}` |" for p, n in profile_rows(own, 15)]
    callers = run / "profile-callers.txt"
    if callers.exists():
        lines += ["", "Searches the passes repeat, by caller:", "",
                  "| search | called from | calls | inclusive % |", "|---|---|--:|--:|"]
        lines += [f"| `{f}` | `{c}` | {n} | {p:.1f} |" for f, c, n, p in caller_rows(callers)]
    return lines


def heap_section(run, page_bytes):
    path = run / "massif.txt"
    if not path.exists():
        return []
    text = path.read_text().splitlines()
    peak = next((m.group(1) for line in text for m in [re.search(r"(\d+) \(peak\)", line)] if m), None)
    if peak is None:
        return []
    start = next(i for i, line in enumerate(text) if re.match(rf"^\s+{peak}\s+[\d,]+\s+[\d,]+", line))
    total = int(text[start].split()[2].replace(",", ""))
    blocks = []
    for line in text[start + 1:]:
        if line.startswith("---") and blocks:
            break
        m = re.match(r"^->\s*([\d.]+)% \(([\d,]+)B\) (?:0x[0-9A-F]+: )?(.*)$", line)
        if m:
            blocks.append((int(m.group(2).replace(",", "")), short_function(m.group(3))))
    lines = [f"`valgrind --tool=massif` on the same page ({page_bytes / MB:.2f} MB): the heap peaks at "
             f"{total / MB:.1f} MB, {total / page_bytes:.1f} times the page. Blocks live at the peak, by the "
             "function that allocated them:", "", "| MB | × page | allocated in |", "|--:|--:|---|"]
    lines += [f"| {b / MB:.2f} | {b / page_bytes:.2f} | `{n}` |" for b, n in blocks]
    return lines


# ---- The whole report --------------------------------------------------------------

def report(run):
    env = read_env(run / "env.txt")
    timings = read_tsv(run / "timings.tsv")
    summary = summarise_timings(timings)
    loads = [float(r["load"]) for r in timings if r.get("load")]
    scaling = scaling_rows_from(run / "scaling.json") if (run / "scaling.json").exists() else []
    parallel = summarise_parallel(read_tsv(run / "parallel.tsv")) if (run / "parallel.tsv").exists() else None
    accept = read_tsv(run / "accept.tsv") if (run / "accept.tsv").exists() else []

    out = ["# Zelm against other re-indenting tools", "",
           f"Measured by `bench/compare.sh` on {env.get('date', '?')}; every number is the median of "
           f"{env.get('reps', '?')} runs, the tools taking turns (round-robin) in every repetition.", "",
           "## Machine", "",
           f"- {env.get('nproc', '?')} cores, {env.get('cpu', '?')}, {env.get('memory', '?')} memory",
           f"- at the start: `{env.get('uptime_start', '?').strip()}`",
           f"- load (1, 5, 15 min) when the whole-job timing began: {env.get('load_before_timing', '?')}; "
           f"when it ended: {env.get('load_after_timing', '?')} (the timed tool itself adds about 1); "
           f"1-minute load at the start of the repetitions: {min(loads, default=0):.2f} to {max(loads, default=0):.2f}",
           f"- load when the one-core/two-core runs began: {env.get('load_before_parallel', 'not run')}; "
           f"when the benchmark suite began: {env.get('load_before_scaling', 'not run')}",
           f"- Zelm {env.get('zelm', '?')}, built in Release by {env.get('compiler', '?')}", "",
           "## Tools", "",
           "| tool | version | command (wall time of the whole command; memory: the tool's own process, in a run of its own) |",
           "|---|---|---|"]
    versions = {"zelm": f"zelm-cli {env.get('zelm', '?')}", "zelm-saved": f"zelm-cli {env.get('zelm', '?')}",
                "tidy": env.get("tidy", "?"),
                "html-beautify": f"{env.get('html-beautify', '?')} (node {env.get('node', '?')})",
                "prettier": f"{env.get('prettier', '?')} (node {env.get('node', '?')})"}
    for tool in TOOLS:
        out.append(f"| {tool} | {versions[tool]} | {COMMANDS[tool]} |")
    out += ["", f"Also: {env.get('nkf', '?')}; {env.get('time', '?')} for the peak memory (`%M`), measured in one "
            "run of every tool on every page before the timed ones: in front of a timed tool, GNU time would "
            "add its own start to the tool's time.", "",
            "## Pages", "",
            "Generated by `bench/make_pages.py` from the real pages in `tests/data/pages`, each converted to "
            "Shift_JIS: copies of their bodies, wrapped in nested divs (ids made unique), combined with "
            "tables, lists, forms, scripts and comments holding Japanese text from the same pages; Shift_JIS, "
            "CR LF. `lv-index` and `namazu-manual` are left out because Prettier stops on their markup "
            "(see the last table).", "",
            "## Whole job, per page size", ""]
    out += timings_table(summary, run)
    out += ["", "× Zelm's time: the tool's median divided by zelm-cli's on the same page. Japanese text kept: "
            "the last output holds every non-ASCII character of the page as often as the page does.", "",
            "## Targets", ""]
    out += targets_table(summary, scaling, parallel)
    if scaling:
        out += ["", "## Scaling of every engine pass (`bench/scaling.sh`)", "",
                "Google Benchmark (`build/bench/zelm-bench`), median of 5 repetitions, on its own generated "
                "pages of 1, 5 and 20 MB; a linear pass gives t(20) / t(5) = 4. Every run of a benchmark "
                "takes its input from the next of several copies (about 96 MB in all), and its result is "
                "kept for as many runs, so that no page size finds its input, or the memory its result "
                "goes to, in the processor's cache from the runs before.", ""]
        out += scaling_table(scaling)
    if parallel:
        out += ["", "## One core against two", ""]
        if "speedup" in parallel:
            out += [f"`zelm-cli indent --in-place -q -j N FOLDER` on {parallel['files']} generated pages of about "
                    f"200 KB ({parallel['bytes'] / MB:.1f} MB in all), a fresh copy of the folder for every run:", "",
                    "| jobs | median s | MB/s |", "|--:|--:|--:|",
                    f"| 1 | {parallel['t1']:.3f} | {parallel['bytes'] / MB / parallel['t1']:.1f} |",
                    f"| 2 | {parallel['t2']:.3f} | {parallel['bytes'] / MB / parallel['t2']:.1f} |", "",
                    f"Speed-up with two jobs: **{parallel['speedup']:.2f}×**."]
        else:
            out.append(f"Failed: {', '.join(parallel['failed'])}")
    if accept:
        pages = sorted({r["page"] for r in accept})
        table = {(r["page"], r["tool"]): r["status"] for r in accept}
        out += ["", "## Real pages each tool accepts", "",
                "Every page of `tests/data/pages` on its own, in Shift_JIS (ok: exit status 0, or 1 for Tidy's "
                "warnings, and some output; a pipeline's statuses are given in its order nkf/tool/nkf). Tidy's "
                "status 2 means it found errors; with `--force-output` it still writes a page.", "",
                "| page | " + " | ".join(TOOLS) + " |", "|---|" + "---|" * len(TOOLS)]
        for page in pages:
            out.append(f"| {page} | " + " | ".join(table.get((page, t), "–") for t in TOOLS) + " |")
    smallest = min((s for s, t in summary if t == "zelm"), default=None)
    profile = profile_section(run, summary[(smallest, "zelm")]["bytes"]) if smallest is not None else []
    if profile:
        out += ["", "## Where zelm-cli's time goes", ""] + profile
    heap = heap_section(run, summary[(smallest, "zelm")]["bytes"]) if smallest is not None else []
    if heap:
        out += ["", "## Where zelm-cli's memory goes", ""] + heap
    return "\n".join(out) + "\n"


def main():
    args = sys.argv[1:]
    if len(args) == 2 and args[0] == "scaling":
        print("\n".join(scaling_table(scaling_rows_from(args[1]))))
        return
    if not args or args[0].startswith("-"):
        sys.exit(__doc__)
    text = report(pathlib.Path(args[0]))
    print(text)
    if len(args) == 3 and args[1] == "--write":
        pathlib.Path(args[2]).write_text(text)


if __name__ == "__main__":
    main()
