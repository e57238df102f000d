#!/usr/bin/env bash
# Writes navaid's man page with help2man: the overview help, then each
# command's own help, so `man navaid` shows every command in full.
set -euo pipefail
tool=$1
out=$2
include=$(mktemp)
trap 'rm -f "$include"' EXIT
{
  echo "[COMMANDS IN DETAIL]"
  for command in $("$tool" --help | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p'); do
    echo ".SS $command"
    echo ".nf"
    # Backslashes and leading dots are roff's; shown as typed.
    "$tool" "$command" --help | sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/"
    echo ".fi"
  done
} >"$include"
mkdir -p "$(dirname "$out")"
help2man --no-info --no-discard-stderr --name="reads and edits navaid databases" \
  --include="$include" --output="$out" "$tool"
