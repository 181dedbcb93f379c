#!/usr/bin/env python3
"""Turns the benchmark run's JSON into one table of figures and ratios to their
peers, writes docs/performance.md with the machine, the date and a plot of time
per MB against file size (gnuplot, PNG)."""
import datetime
import json
import os
import platform
import re
import subprocess
import sys

SIZES = [1, 10, 100]
KEPT_HEADING = "## Where the time goes"


def load(path):
    with open(path) as f:
        data = json.load(f)
    # With repetitions the medians stand for each benchmark; a run without
    # them has only single iterations.
    # Names are looked up without namespace and fixed iteration count.
    name_of = lambda n: re.sub(r"/iterations:\d+$", "", n.split("::")[-1])
    runs, medians = {}, {}
    for b in data["benchmarks"]:
        if b.get("error_occurred"):
            continue
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                medians[name_of(b["run_name"])] = b
        else:
            runs[name_of(b.get("run_name", b["name"]))] = b
    runs.update(medians)
    return data.get("context", {}), runs


def seconds(run):
    # CPU time, as the MB/s rates are: on this shared machine the wall clock
    # also counts the time other programs held the processor.
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[run.get("time_unit", "ns")]
    return run["cpu_time"] * scale


def mb_per_s(run):
    return run["bytes_per_second"] / (1024 * 1024) if run and "bytes_per_second" in run else None


def fmt(value, unit):
    if value is None:
        return "n/a"
    if unit == "MB/s":
        return f"{value:,.0f} MB/s"
    if unit == "us":
        return f"{value:.2f} us"
    if unit == "ms":
        return f"{value:.1f} ms"
    if unit == "ms/MB":
        return f"{value:.2f} ms/MB"
    return f"{value:g} {unit}"


def main():
    results, out_md = sys.argv[1], sys.argv[2]
    context, runs = load(results)
    get = runs.get
    rows = []  # (measure, quillon figure, peer name, peer figure, ratio text, target, met)

    def throughput_row(label, mine, peer_label, peer, target=None, want=None):
        a, b = mb_per_s(get(mine)), mb_per_s(get(peer))
        ratio = a / b if a and b else None
        met = "" if want is None or ratio is None else ("yes" if ratio >= want else "no")
        rows.append((label, fmt(a, "MB/s"), peer_label, fmt(b, "MB/s"),
                     f"{ratio:.2f}x" if ratio else "n/a", target or "", met))

    for size in SIZES:
        throughput_row(f"reader, {size} MB", f"BM_Reader_Quillon/{size}", "expat SAX", f"BM_Reader_Expat/{size}")
        throughput_row(f"reader, {size} MB", f"BM_Reader_Quillon/{size}", "libxml2 SAX", f"BM_Reader_Libxml2Sax/{size}")
        throughput_row(f"reader, {size} MB", f"BM_Reader_Quillon/{size}", "pugixml DOM", f"BM_Reader_Pugixml/{size}")
    for size in SIZES:
        throughput_row(f"configuration load, {size} MB", f"BM_Load_Quillon/{size}", "expat SAX parse alone",
                       f"BM_Reader_Expat/{size}", ">= 1.0x expat", 1.0)
    for size in (1, 10):
        throughput_row(f"save, {size} MB section", f"BM_Save_Quillon/{size}", "pugixml save",
                       f"BM_Save_Pugixml/{size}", ">= 0.5x pugixml", 0.5)
    throughput_row("MD5, 64 MB", "BM_Md5_Quillon/64", "OpenSSL MD5", "BM_Md5_OpenSsl/64", ">= 0.8x OpenSSL", 0.8)

    for name, label in (("BM_Execute_10Tokens", "Execute, 10-token script"),
                        ("BM_Execute_100Variables", "Execute, 100-variable script")):
        run = get(name)
        t = seconds(run) * 1e6 if run else None
        target = "< 2 us" if "10Tokens" in name else ""
        met = "" if not target or t is None else ("yes" if t < 2 else "no")
        rows.append((label, fmt(t, "us"), "target", "2 us" if target else "", f"{t / 2:.2f}x of target" if t and target else "", target, met))

    # Scripts grow linearly: ten times the work takes at most twelve times as long.
    for name, label in (("BM_Script_DistinctWords", "script of 100,000 distinct words vs 10,000"),
                        ("BM_Script_Joins", "100,000 string joins vs 10,000")):
        small, large = get(f"{name}/10000"), get(f"{name}/100000")
        if small and large:
            growth = seconds(large) / seconds(small)
            rows.append((label, fmt(seconds(large) * 1e3, "ms"), "10,000", fmt(seconds(small) * 1e3, "ms"),
                         f"{growth:.1f}x for 10x", "<= 12x", "yes" if growth <= 12 else "no"))

    # Peak memory of one load of the 100 MB file, the file's own bytes included.
    mine, peer = get("BM_LoadMemory_Quillon/100"), get("BM_LoadMemory_Pugixml/100")
    if mine and "peak_MB" in mine:
        per_byte = mine["peak_per_file_byte"]
        rows.append(("peak memory of a load, 100 MB", f"{mine['peak_MB']:,.0f} MB ({per_byte:.2f}x file)",
                     "pugixml DOM", f"{peer['peak_MB']:,.0f} MB ({peer['peak_per_file_byte']:.2f}x file)" if peer else "n/a",
                     f"{mine['peak_MB'] / peer['peak_MB']:.2f}x" if peer else "n/a", "<= 3x file size",
                     "yes" if per_byte <= 3 else "no"))

    # Scaling: time per MB of the configuration load from 1 to 100 MB.
    per_mb = {}
    for size in SIZES:
        run = get(f"BM_Load_Quillon/{size}")
        if run:
            per_mb[size] = seconds(run) * 1e3 / size
    if len(per_mb) == len(SIZES):
        spread = max(per_mb.values()) / min(per_mb.values()) - 1
        rows.append(("load time per MB, 1 -> 100 MB", " / ".join(fmt(per_mb[s], "ms/MB") for s in SIZES),
                     "", "", f"spread {spread * 100:.0f} %", "within 20 %", "yes" if spread <= 0.2 else "no"))
    wide_small, wide_large = get("BM_LoadWide_Quillon/10000"), get("BM_LoadWide_Quillon/100000")
    if wide_small and wide_large:
        growth = seconds(wide_large) / seconds(wide_small)
        rows.append(("root with 100,000 children vs 10,000", fmt(seconds(wide_large) * 1e3, "ms"),
                     "10,000 children", fmt(seconds(wide_small) * 1e3, "ms"), f"{growth:.1f}x for 10x children",
                     "linear (about 10x)", "yes" if growth < 13 else "no"))

    header = ("Measure", "Quillon", "Peer", "Peer figure", "Ratio", "Target", "Met")
    widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(len(header))]
    line = lambda r: " | ".join(str(c).ljust(w) for c, w in zip(r, widths))
    print(line(header))
    print("-+-".join("-" * w for w in widths))
    for r in rows:
        print(line(r))

    # A hand-written account of where the time goes follows the generated
    # part; it is kept as it stands.
    kept = ""
    if os.path.exists(out_md):
        with open(out_md) as f:
            text = f.read()
        at = text.find(KEPT_HEADING)
        if at >= 0:
            kept = text[at:]

    plot = write_plot(runs, os.path.dirname(out_md))
    cpu = context.get("mhz_per_cpu", "?")
    with open(out_md, "w") as f:
        f.write("# Performance\n\n")
        f.write("Produced by `./run bench` (Google Benchmark, `bench/`); every figure below comes from one run, ")
        f.write("with the peers measured on the same generated files in the same process. Each figure is the ")
        f.write("median of three repetitions: the speed of this virtual machine drifts by up to a fifth ")
        f.write("between runs, for the peers as much as for Quillon, so ratios are steadier than absolute figures. ")
        f.write("Rates and times are CPU time of the measuring process (the wall clock also counts the time ")
        f.write("other programs on this shared machine held the processor). The run is pinned to one ")
        f.write("processor: the two virtual processors of this machine differ in speed by up to 1.6x, and a ")
        f.write("benchmark that moved between them compared figures taken on different processors.\n\n")
        f.write(f"- Load average when the run ended: {os.getloadavg()[0]:.1f}\n")
        f.write(f"- Date: {datetime.date.today().isoformat()}\n")
        f.write(f"- Machine: {platform.machine()}, {context.get('num_cpus', '?')} CPUs at {cpu} MHz, "
                f"{platform.system()} {platform.release()}\n")
        f.write(f"- Build: g++ -O3 (CMake preset `bench`), library build type {context.get('library_build_type', '?')}\n")
        f.write("- Inputs: configuration-shaped files written by `bench/config_generator.cpp` (a `ROOT` with four "
                "`Application` sections, the selected one holding about 70 % of the bytes; nested elements, "
                "attributes, entity references, CR LF and TAB layout as saving writes them).\n\n")
        f.write("| " + " | ".join(header) + " |\n|" + "---|" * len(header) + "\n")
        for r in rows:
            f.write("| " + " | ".join(str(c) for c in r) + " |\n")
        if plot:
            f.write(f"\n![time per MB against file size]({os.path.basename(plot)})\n")
        f.write("\n## What the figures measure\n\n"
                "- *reader*: `XMLReader::ParseText` firing every event to a callback that only counts them, "
                "against the SAX parsers of expat and libxml2 (start, end and character handlers that count) "
                "and pugixml's in-place DOM parse.\n"
                "- *configuration load*: `SetupConfig::Load` on a fresh object: reading the file, parsing it, "
                "following the section header and building the node tree of the selected section (about 70 % "
                "of the file), which expat's parse alone does not do.\n"
                "- *peak memory*: the high-water mark of resident memory of a process that loads the file once, "
                "less what it held before loading; the file read into memory counts, for both loaders.\n"
                "- *save*: `SetupConfig::Save` of the loaded section (composing UTF-16 text, rendering it, "
                "writing a temporary file and replacing the target), against pugixml saving the same section.\n"
                "- *Execute*: `long n n = (Port + 1) return n` (ten tokens counting the group's three) and a "
                "sum of 100 variables, through the same function the `Execute` export uses.\n"
                "- *scripts*: a script of distinct words (each a new variable) on a fresh engine, and one "
                "expression joining quoted texts with `+`, at 10,000 and 100,000.\n")
        if kept:
            f.write("\n" + kept)
    print(f"\nwrote {out_md}" + (f" and {plot}" if plot else ""))


def write_plot(runs, folder):
    series = [("Quillon reader", "BM_Reader_Quillon"), ("Quillon configuration load", "BM_Load_Quillon"),
              ("expat SAX", "BM_Reader_Expat"), ("libxml2 SAX", "BM_Reader_Libxml2Sax"),
              ("pugixml DOM", "BM_Reader_Pugixml")]
    data_path = os.path.join("build", "bench-plot.dat")
    os.makedirs("build", exist_ok=True)
    present = []
    with open(data_path, "w") as f:
        for label, prefix in series:
            points = [(s, seconds(runs[f"{prefix}/{s}"]) * 1e3 / s) for s in SIZES if f"{prefix}/{s}" in runs]
            if not points:
                continue
            present.append(label)
            f.write(f"# {label}\n")
            for s, v in points:
                f.write(f"{s} {v}\n")
            f.write("\n\n")
    if not present:
        return None
    png = os.path.join(folder, "performance.png")
    plots = ", ".join(f"'{data_path}' index {i} with linespoints title '{label}'" for i, label in enumerate(present))
    script = (f"set terminal png size 900,560\nset output '{png}'\nset logscale x\nset xlabel 'file size (MB)'\n"
              f"set ylabel 'time per MB (ms)'\nset key top left\nset grid\nset xtics (1, 10, 100)\nplot {plots}\n")
    try:
        subprocess.run(["gnuplot"], input=script.encode(), check=True)
    except (OSError, subprocess.CalledProcessError) as e:
        print(f"plot skipped: {e}")
        return None
    return png


if __name__ == "__main__":
    main()
