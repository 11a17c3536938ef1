#!/usr/bin/env bash
# Writes the worked examples of docs/user-guide.md from the shipped samples,
# so that the figures the guide quotes are the figures the program gives.
#
# In the guide, an example is a block between two markers:
#
#   <!-- figure: rebound-cli curve fit samples/cube-pairs.csv -o curve/lab.cur -->
#
#       (what the command prints, indented four spaces)
#
#   <!-- end figure -->
#
# and a step that prepares later examples without being shown is a marker of
# its own: <!-- setup: rebound-cli import site.prj samples/KZ-1.cmp -->.
# The commands run in order, with standard error joined to standard output,
# in a scratch copy of the shipped application folder (data/: curve/,
# report/, samples/), "rebound-cli" standing for the given program.
#
# Usage: scripts/guide-figures.sh [--check] [REBOUND_CLI]
#   (default build/debug/src/cli/rebound-cli). --check changes nothing and
#   fails, naming the example, when the guide differs from what the program
#   prints now.
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
if [ "${1:-}" = "--check" ]; then
  check=1
  shift
fi
cli=$(realpath "${1:-build/debug/src/cli/rebound-cli}")
[ -x "$cli" ] || { echo "guide-figures: $cli is not a program" >&2; exit 2; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r data/. "$scratch/"

GUIDE=docs/user-guide.md CLI=$cli FOLDER=$scratch CHECK=$check python3 - <<'PY'
import os, re, shlex, subprocess, sys

guide, cli, folder, check = os.environ["GUIDE"], os.environ["CLI"], os.environ["FOLDER"], os.environ["CHECK"] == "1"
text = open(guide, encoding="utf-8").read()
marker = re.compile(r"<!-- (figure|setup): (.*?) -->\n|<!-- end figure -->\n")
env = dict(os.environ, LC_ALL="C.UTF-8", TZ="UTC")

def run(command):
    args = shlex.split(command)
    if args[0] == "rebound-cli":
        args[0] = cli
    done = subprocess.run(args, cwd=folder, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    return done.stdout.decode("utf-8")

out, pos, drift, open_figure = [], 0, [], None
for m in marker.finditer(text):
    if m.group(1) == "setup":
        run(m.group(2))
        continue
    if m.group(1) == "figure":
        out.append(text[pos:m.end()])
        open_figure = (m.group(2), m.end())
        pos = m.end()
        continue
    # The end of a figure: its block is what the command prints now.
    if open_figure is None:
        sys.exit(f"guide-figures: {guide}: an end marker without its figure")
    command, start = open_figure
    printed = run(command).rstrip("\n")
    block = "\n" + "".join("    " + line + "\n" if line else "\n" for line in printed.split("\n")) + "\n"
    if text[start:m.start()] != block:
        drift.append(command)
    out.append(block + m.group(0))
    pos = m.end()
    open_figure = None
out.append(text[pos:])
if open_figure is not None:
    sys.exit(f"guide-figures: {guide}: the figure of '{open_figure[0]}' has no end marker")
if check:
    for command in drift:
        print(f"guide-figures: {guide}: the example of '{command}' differs from what it prints now; "
              "run scripts/guide-figures.sh", file=sys.stderr)
    sys.exit(1 if drift else 0)
open(guide, "w", encoding="utf-8").write("".join(out))
print(f"guide-figures: {len(drift)} example(s) of {guide} brought up to date")
PY
