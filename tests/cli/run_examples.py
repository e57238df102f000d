#!/usr/bin/env python3
"""Runs the examples of README.md and docs/*.md and compares what they print.
Usage: run_examples.py SOURCE_DIR NAVAID.

Only ```sh blocks count, and in them only lines starting with "$ ": each is a
command (a trailing backslash continues it on the next line), and the lines
after it, up to the next "$ " line or the block's end, are its standard output,
compared exactly. A block without a "$ " line is shown, never run. A
document's commands run in order with bash, in a fresh folder holding copies
of samples/ and of the tests/data/ files they name, with NAVAID's folder first
on PATH; each must exit with 0, or with 3 (check's findings, diff's
differences).
"""
import glob, os, re, shutil, subprocess, sys, tempfile

source, navaid = sys.argv[1], os.path.abspath(sys.argv[2])
env = dict(os.environ, PATH=os.path.dirname(navaid) + os.pathsep + os.environ["PATH"])


def examples(name, text):
    """The document's [command, shown output] pairs, in order."""
    pairs = []
    for block in re.findall(r"^```sh\n(.*?)^```$", text, re.M | re.S):
        if not re.search(r"^\$ ", block, re.M):
            continue
        lines, first = iter(block.splitlines(keepends=True)), len(pairs)
        for line in lines:
            if line.startswith("$ "):
                command = line[2:]
                while command.endswith("\\\n"):
                    command += next(lines)
                pairs.append([command, ""])
            elif len(pairs) > first:
                pairs[-1][1] += line
            else:
                sys.exit(f"{name}: a block with commands starts with {line!r}")
    return pairs


def run(name):
    pairs = examples(name, open(os.path.join(source, name), encoding="utf-8").read())
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        shutil.copytree(os.path.join(source, "samples"), os.path.join(folder, "samples"))
        for path in set(re.findall(r"tests/data/[\w./-]+", "".join(c for c, _ in pairs))):
            os.makedirs(os.path.join(folder, os.path.dirname(path)), exist_ok=True)
            shutil.copy(os.path.join(source, path), os.path.join(folder, path))
        for command, shown in pairs:
            r = subprocess.run(["bash", "-c", command], cwd=folder, env=env, capture_output=True)
            if r.returncode not in (0, 3) or r.stdout != shown.encode():
                failures.append(f"{name}: $ {command}  status {r.returncode}\n--- shown\n{shown}"
                                f"--- printed\n{r.stdout.decode(errors='replace')}"
                                f"--- standard error\n{r.stderr.decode(errors='replace')}")
    return len(pairs), failures


names = ["README.md"] + sorted(os.path.relpath(p, source)
                               for p in glob.glob(os.path.join(source, "docs", "*.md")))
results = [run(name) for name in names]
failures = [f for _, fs in results for f in fs]
print("\n".join(failures) or f"{sum(n for n, _ in results)} examples passed")
sys.exit(1 if failures else 0)
