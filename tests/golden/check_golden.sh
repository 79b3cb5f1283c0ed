#!/usr/bin/env bash
# Writes a book with the default settings and compares every file with the
# golden copy, byte for byte: the default pages must never change by accident.
#   check_golden.sh QUILLET INPUT PARTS GOLDEN_DIR
set -euo pipefail
quillet=$1 input=$2 parts=$3 golden=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$quillet" book "$input" --parts "$parts" --out "$work" >/dev/null
diff -r "$golden" "$work"
