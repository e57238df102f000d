#!/usr/bin/env python3
"""Runs the built navaid tool on small databases it makes, checking exit
statuses, the files left behind, and that the map is well-formed XML.

Arguments: the command that runs the tool, e.g. `navaid` or, for the Windows
build, `wine-run.sh navaid.exe`; its last word is the tool's path."""
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

TOOL = [*sys.argv[1:-1], os.path.abspath(sys.argv[-1])]
WINDOWS = TOOL[-1].lower().endswith(".exe")
SVG = "{http://www.w3.org/2000/svg}"
failures = []


def run(*args, cwd):
    # A Windows program gets its arguments in the ANSI code page: Wine makes
    # them from the characters, so bytes are passed as Windows-1252 text.
    if WINDOWS:
        args = [a.decode("cp1252") if isinstance(a, bytes) else a for a in args]
    return subprocess.run([*TOOL, *args], cwd=cwd, capture_output=True)


def expect(condition, what):
    if not condition:
        failures.append(what)


def add(cwd, family, db, id, lat, lon, freq, type, name="NAME"):
    extra = ["--alt", "100"] if family == "vor" else []
    r = run("add", family, db, "--id", id, "--name", name, "--lat", lat, "--lon", lon,
            "--freq", freq, "--magvar", "0", *extra, "--type", type, cwd=cwd)
    expect(r.returncode == 0, f"add {id!r}: {r.stderr!r}")
    os.replace(os.path.join(cwd, db + ".new"), os.path.join(cwd, db))


with tempfile.TemporaryDirectory() as cwd:
    open(os.path.join(cwd, "vor.qvz"), "wb").close()
    # A Windows-1252 byte (0xE4, a-umlaut) and markup characters in IDs.
    add(cwd, "vor", "vor.qvz", "FFM", "50.05", "8.64", "114.2", "VOR-DME")
    add(cwd, "vor", "vor.qvz", b"\xe4<&", "48.1", "11.6", "112.3", "VORTAC")
    add(cwd, "vor", "vor.qvz", "TAC", "52", "13", "130", "TACAN")
    add(cwd, "vor", "vor.qvz", "OFF", "95", "8", "110", "VOR")
    before = open(os.path.join(cwd, "vor.qvz"), "rb").read()
    expect(len(before) == 4 * 56, "four records")

    # Exit statuses as the process reports them; the commands' own are unit-tested.
    for args, status in [((), 2), (("list", "vor", "nope.qvz"), 1), (("check", "vor", "vor.qvz"), 3)]:
        r = run(*args, cwd=cwd)
        expect(r.returncode == status, f"{args}: status {r.returncode}, not {status}")

    r = run("labels", "vor", "vor.qvz", cwd=cwd)
    expect(r.stdout.split(b"\n")[1] == b"1\t\xc4<&       NAME" + b" " * 16, f"labels: {r.stdout!r}")

    r = run("map", "vor", "vor.qvz", "map.svg", cwd=cwd)
    expect(r.returncode == 0, f"map: {r.stderr!r}")
    root = ET.parse(os.path.join(cwd, "map.svg")).getroot()
    expect(root.tag == SVG + "svg", "root is svg")
    groups = {g.get("id"): g for g in root.iter(SVG + "g")}
    uses = groups["navaids"].findall(SVG + "use")
    expect(len(uses) == 3, f"three navaids drawn, not {len(uses)}")
    labels = [t.text for t in groups["labels"].findall(SVG + "text")]
    expect(sorted(labels) == ["FFM", "TAC", "\u00c4<&"], f"labels {labels}")
    legend = [t.text for t in groups["legend"].findall(SVG + "text")]
    expect("VORTAC (1)" in legend and "DME (0)" in legend, f"legend {legend}")
    grid = [t.text for t in groups["graticule"].findall(SVG + "text")]
    expect("50\u00b0N" in grid and "10\u00b0E" in grid, f"graticule {grid}")
    listed = " ".join(t.text for t in groups["not-drawn"].findall(SVG + "text"))
    expect("record 3: OFF latitude 95" in listed, f"not drawn: {listed}")

    # Outputs are complete or absent; the database is never written.
    os.mkdir(os.path.join(cwd, "vor.qvz.txt"))
    r = run("list", "vor", "vor.qvz", cwd=cwd)
    expect(r.returncode == 1 and r.stderr.startswith(b"navaid: vor.qvz.txt: "), f"list: {r.stderr!r}")
    expect(open(os.path.join(cwd, "vor.qvz"), "rb").read() == before, "database unchanged")
    expect(not os.path.exists(os.path.join(cwd, "navblock.qvz")), "no temporary file left")

    # Paths as a Windows user types them: a folder named in the ANSI code page
    # (the euro sign, byte 0x80 in Windows-1252), backslashes, a drive letter.
    folder = "\u20ac folder"
    os.mkdir(os.path.join(cwd, folder))
    os.replace(os.path.join(cwd, "vor.qvz"), os.path.join(cwd, folder, "vor.qvz"))
    sep = "\\" if WINDOWS else "/"
    db = folder + sep + "vor.qvz"
    r = run("list", "vor", db, cwd=cwd)
    expect(r.returncode == 0, f"list in {folder}: {r.stderr!r}")
    expect(os.path.exists(os.path.join(cwd, folder, "vor.qvz.txt")), "list beside the database")
    r = run("map", "vor", db, "map.svg", cwd=cwd)
    title = ET.parse(os.path.join(cwd, "map.svg")).getroot().find(SVG + "title").text
    expect(title == "VOR database vor.qvz: 4 navaids", f"map title {title!r}")
    absolute = os.path.join(cwd, folder, "vor.qvz")
    if WINDOWS:
        absolute = "Z:" + absolute.replace("/", "\\")
    r = run("map", "vor", db, absolute, cwd=cwd)
    expect(r.returncode == 2 and b"is the database itself" in r.stderr, f"same file: {r.stderr!r}")

    r = run("--version", cwd=cwd)
    expect(re.fullmatch(rb"navaid \d+\.\d+\.\d+\n", r.stdout), f"version: {r.stdout!r}")

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("end-to-end: all checks passed")
