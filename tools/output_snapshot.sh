#!/usr/bin/env bash
# Records what a quillet executable writes for a fixed set of inputs: every
# page, every standard output and error, and every exit status, one file each.
# Two snapshots of two builds compare with `diff -r`.
#   tools/output_snapshot.sh QUILLET_BINARY OUT_DIR
set -uo pipefail
cd "$(dirname "$0")/.."
quillet=$(realpath "$1")
out=$2
rm -rf "$out"
mkdir -p "$out"
out=$(realpath "$out")

inputs=(samples/sample-book.rtf tests/richtext/data/*.rtf tests/richtext/data/*.html
        fuzz/corpus/converter/*.rtf fuzz/corpus/rtf_reader/*.rtf)

# run NAME COMMAND...: standard output, standard error and exit status of one command.
run() {
  local name=$1
  shift
  (cd "$out" && TMPDIR="$out/tmp" "$quillet" "$@" >"$name.out" 2>"$name.err"; echo $? >"$name.status")
}

mkdir -p "$out/tmp"
for input in "${inputs[@]}"; do
  name=$(basename "$input" | tr '.' '_')
  path=$(realpath "$input")
  for parts in 1 2 10 99; do
    mkdir -p "$out/book-$name-$parts"
    run "book-$name-$parts" book "$path" --parts "$parts" --out "$out/book-$name-$parts"
  done
  run "convert-$name" convert "$path"
  run "convert-page-$name" convert --page --prefix Libro "$path"
  run "text-$name" text "$path"
  run "rtf-$name" rtf "$path"
  run "preview-$name" preview "$path" --prefix Libro
  cp "$out/tmp/quillettemp.html" "$out/preview-$name.html" 2>/dev/null
done
rm -rf "$out/tmp"
# Paths printed by the commands name the snapshot folder; make them comparable.
find "$out" -name '*.out' -o -name '*.err' | xargs sed -i "s#$out#OUT#g"
