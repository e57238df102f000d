#!/usr/bin/env python3
"""Runs the navaid tool once per line of a case table, each time in a fresh
folder holding copies of the data folder's files, and checks its exit status,
what it printed and the files it left.

Usage: run_cases.py CASES DATA_DIR COMMAND...   (COMMAND: the tool, e.g. `wine navaid.exe`)

A case is `STATUS ARGUMENT... => CHECK...`; words are quoted as in a shell,
backslashes are byte escapes (\\n, \\t, \\xe4). Checks:
  out=TEXT err=TEXT  what was printed, exactly     out~TEXT err~TEXT  ... contains TEXT
  out@GOLDEN         stdout equals DATA_DIR/expected/GOLDEN
  FILE@GOLDEN        FILE equals that golden file   FILE~TEXT  FILE contains TEXT
  !FILE              FILE is absent
  <FILE=TEXT  <DIR/  made before the run            >PATH  stdout goes to PATH
Every run must leave the data files unchanged and no navblock.qvz behind.
"""
import codecs, os, shlex, shutil, subprocess, sys, tempfile

cases_path, data = sys.argv[1], os.path.abspath(sys.argv[2])
command = [os.path.abspath(w) if os.path.exists(w) else w for w in sys.argv[3:]]
inputs = {n: open(os.path.join(data, n), "rb").read()
          for n in os.listdir(data) if os.path.isfile(os.path.join(data, n))}
failures = []


def words(text):
    lexer = shlex.shlex(text, posix=True)
    lexer.whitespace_split, lexer.escape, lexer.commenters = True, "", ""
    return [codecs.escape_decode(w.encode("latin-1"))[0] for w in lexer]


def read(path):
    return open(path, "rb").read() if os.path.isfile(path) else None


def run_case(number, line, cwd):
    tokens = words(line)
    arrow = tokens.index(b"=>")
    status, args, checks = int(tokens[0]), tokens[1:arrow], tokens[arrow + 1:]
    for name, data_bytes in inputs.items():
        open(os.path.join(cwd, name), "wb").write(data_bytes)
    stdout = subprocess.PIPE
    for c in checks:
        if c.startswith(b"<") and c.endswith(b"/"):
            os.makedirs(os.path.join(cwd, c[1:].decode()))
        elif c.startswith(b"<"):
            name, _, text = c[1:].partition(b"=")
            open(os.path.join(cwd, name.decode()), "wb").write(text)
        elif c.startswith(b">"):
            stdout = open(c[1:], "wb")
    r = subprocess.run(command + args, cwd=cwd, stdout=stdout, stderr=subprocess.PIPE)
    said = {b"out": r.stdout or b"", b"err": r.stderr}
    problems = [] if r.returncode == status else [f"status {r.returncode}, not {status}"]
    for c in checks:
        if c[:1] in b"<>":
            continue
        if c.startswith(b"!"):
            if os.path.lexists(os.path.join(cwd, c[1:].decode())):
                problems.append(f"{c[1:]} exists")
            continue
        at = min(c.find(s) for s in (b"=", b"~", b"@") if s in c)
        key, sep, want = c[:at], c[at:at + 1], c[at + 1:]
        got = said[key] if key in said else read(os.path.join(cwd, key.decode()))
        if sep == b"@":
            want = read(os.path.join(data, "expected", want.decode()))
        ok = got is not None and want is not None and (want in got if sep == b"~" else got == want)
        if not ok:
            problems.append(f"{c!r}: got {got!r}")
    for name, data_bytes in inputs.items():
        if read(os.path.join(cwd, name)) != data_bytes:
            problems.append(f"input {name} changed")
    if os.path.lexists(os.path.join(cwd, "navblock.qvz")):
        problems.append("navblock.qvz left behind")
    if problems:
        failures.append(f"line {number}: {line}\n    " + "\n    ".join(problems)
                        + f"\n    stderr: {r.stderr!r}")


count = 0
for number, line in enumerate(open(cases_path, encoding="latin-1"), 1):
    line = line.strip()
    if line and not line.startswith("#"):
        with tempfile.TemporaryDirectory() as cwd:
            run_case(number, line, cwd)
        count += 1
print("\n".join(failures) or f"{count} cases passed")
sys.exit(1 if failures else 0)
