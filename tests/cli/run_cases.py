#!/usr/bin/env python3
"""Runs the navaid tool once per line of a case table, each in a fresh folder
holding copies of the data folder's files; checks its exit status, output and
the files it left. Usage: run_cases.py CASES DATA_DIR COMMAND... (the tool, or
e.g. `wine navaid.exe`). A case is `STATUS ARGUMENT... => CHECK...`, words quoted
as in a shell, backslashes as byte escapes. Checks: out=TEXT, err=TEXT, FILE=TEXT
(exactly); out~TEXT, err~TEXT, FILE~TEXT (contains); out@GOLDEN, FILE@GOLDEN
(equals DATA_DIR/expected/GOLDEN); !FILE (absent); <FILE=TEXT, <FILE@DATA,
<DIR/, <LINK->TARGET (a symbolic link, native only), <LINK+>FILE (a second link to
FILE) (made first, in order; DATA is a file of DATA_DIR); >PATH (stdout goes there); >&- (stdout and stderr closed, native only);
|FILE (a pipe from it is standard input); $NAME=VALUE (in its environment, where the
native tool has LC_ALL=C unless a case sets it). No run may change the data
files or leave navblock.qvz or a temporary output (*.tmp) behind.
"""
import codecs, concurrent.futures, os, shlex, subprocess, sys, tempfile

cases, data = sys.argv[1], os.path.abspath(sys.argv[2])
command = [os.path.abspath(w) if os.path.exists(w) else w for w in sys.argv[3:]]
# A Windows program takes its arguments and names in the ANSI code page; Wine
# makes them from characters, so bytes go to it as Windows-1252 text.
WINDOWS = command[-1].lower().endswith(".exe")


def path_of(b):
    return b.decode("cp1252") if WINDOWS else os.fsdecode(b)
inputs = {n: open(os.path.join(data, n), "rb").read()
          for n in os.listdir(data) if os.path.isfile(os.path.join(data, n))}


def read(path):
    return open(path, "rb").read() if os.path.isfile(path) else None


def run(line, cwd):
    lexer = shlex.shlex(line, posix=True)
    lexer.whitespace_split, lexer.escape, lexer.commenters = True, "", ""
    words = [codecs.escape_decode(w.encode("latin-1"))[0] for w in lexer]
    arrow = words.index(b"=>")
    status, args, checks = int(words[0]), words[1:arrow], words[arrow + 1:]
    for name, content in inputs.items():
        open(os.path.join(cwd, name), "wb").write(content)
    stdin, stdout, closed, env = None, subprocess.PIPE, [], dict(os.environ) if WINDOWS else dict(os.environ, LC_ALL="C")
    for c in checks:
        if c.startswith(b"<") and c.endswith(b"/"):
            os.makedirs(os.path.join(cwd, path_of(c[1:])))
        elif c.startswith(b"<") and b">" in c and b"=" not in c:
            at = c.index(b">")
            link, target = os.path.join(cwd, path_of(c[1:at - 1])), path_of(c[at + 1:])
            if c[at - 1:at] == b"-":
                os.symlink(target, link)
            else:
                os.link(os.path.join(cwd, target), link)
        elif c.startswith(b"<") and b"@" in c and b"=" not in c:
            file, _, name = c[1:].partition(b"@")
            open(os.path.join(cwd, path_of(file)), "wb").write(read(os.path.join(data, name.decode())))
        elif c.startswith(b"<"):
            file, _, text = c[1:].partition(b"=")
            open(os.path.join(cwd, path_of(file)), "wb").write(text)
        elif c == b">&-":
            closed = ["sh", "-c", 'exec "$0" "$@" >&- 2>&-']
        elif c.startswith(b">"):
            stdout = open(c[1:], "wb")
        elif c.startswith(b"|"):
            stdin = read(os.path.join(cwd, path_of(c[1:])))
        elif c.startswith(b"$"):
            env.update([os.fsdecode(c[1:]).split("=", 1)])
    args = [path_of(a) for a in args] if WINDOWS else args
    r = subprocess.run(closed + command + args, cwd=cwd, stdout=stdout, stderr=subprocess.PIPE,
                       env=env, input=stdin if stdin is not None else b"")
    said = {b"out": r.stdout or b"", b"err": r.stderr}
    problems = [] if r.returncode == status else [f"status {r.returncode}, not {status}"]
    for c in (c for c in checks if c[:1] not in b"<>$|"):
        if c.startswith(b"!"):
            if os.path.lexists(os.path.join(cwd, path_of(c[1:]))):
                problems.append(f"{c[1:]} exists")
            continue
        at = min(c.find(s) for s in (b"=", b"~", b"@") if s in c)
        key, sep, want = c[:at], c[at:at + 1], c[at + 1:]
        got = said[key] if key in said else read(os.path.join(cwd, path_of(key)))
        if sep == b"@":
            want = read(os.path.join(data, "expected", want.decode()))
        if got is None or want is None or (want not in got if sep == b"~" else got != want):
            problems.append(f"{c!r}: got {(got or b'')[:300]!r}")
    problems += [f"input {n} changed" for n, b in inputs.items() if read(os.path.join(cwd, n)) != b]
    if os.path.lexists(os.path.join(cwd, "navblock.qvz")):
        problems.append("navblock.qvz left behind")
    problems += [f"{n} left behind" for n in os.listdir(cwd) if n.endswith(".tmp")]
    return problems + [f"stderr: {r.stderr!r}"] if problems else []


def case(item):
    number, line = item
    with tempfile.TemporaryDirectory() as cwd:
        problems = run(line, cwd)
    if problems and WINDOWS:
        # Wine's start of a process very rarely fails (status 1, no output)
        # while its server winds down: one more run tells that from a fault.
        with tempfile.TemporaryDirectory() as cwd:
            problems = run(line, cwd)
    return f"line {number}: {line}\n    " + "\n    ".join(problems) if problems else None


# Cases run side by side: each has a folder of its own, and under Wine most of
# a case's time is the program's start.
# A case marked "[windows]" is about Windows paths and runs on navaid.exe only;
# one marked "[native]" is about UTF-8 texts, which navaid.exe takes as bytes.
lines = [(number, line.strip().removeprefix("[windows] ").removeprefix("[native] "))
         for number, line in enumerate(open(cases, encoding="latin-1"), 1)
         if line.strip() and not line.startswith("#")
         and not line.startswith("[native] " if WINDOWS else "[windows] ")]
with concurrent.futures.ThreadPoolExecutor(max(2, os.cpu_count() or 2)) as pool:
    failures = [f for f in pool.map(case, lines) if f]
print("\n".join(failures) or f"{len(lines)} cases passed")
sys.exit(1 if failures else 0)
