#!/usr/bin/env bash
# No command-line subcommand loads Qt: `quillet` itself does not link it, and
# running each subcommand (with DISPLAY naming a server that is not there)
# loads no Qt library, as the dynamic loader reports. Each row: name, exit
# status, arguments.
#   check_no_qt.sh QUILLET SAMPLE_BOOK
set -uo pipefail
quillet=$1
sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir out
printf '<h1>Title</h1><p>Some <b>words</b></p>' >book.html
printf '# Title\n\nSome *words*\n' >book.md

failures=0
if ldd "$quillet" | grep -i 'libQt'; then
  echo "quillet links Qt"
  failures=$((failures + 1))
fi

rows=(
  "book of html|0|book book.html --parts 2 --out out"
  "book of rtf|0|book $sample --parts 3 --out out"
  "preview|0|preview book.md"
  "convert|0|convert $sample"
  "rtf|0|rtf book.html"
  "text|0|text book.md"
  "formats|0|formats"
  "help|0|--help"
  "version|0|--version"
  "unreadable book|1|text missing.rtf"
)
for row in "${rows[@]}"; do
  IFS='|' read -r name status arguments <<<"$row"
  # shellcheck disable=SC2086
  DISPLAY=:99 TMPDIR="$work" LD_DEBUG=files LD_DEBUG_OUTPUT="$work/loader" \
    "$quillet" $arguments >"$work/stdout" 2>"$work/stderr" </dev/null
  got=$?
  problems=()
  [ "$got" -eq "$status" ] || problems+=("exit status $got, not $status: $(head -3 "$work/stderr")")
  ls "$work"/loader.* >/dev/null 2>&1 || problems+=("the loader reported nothing")
  loaded=$(cat "$work"/loader.* 2>/dev/null | grep -o 'libQt[^ ]*' | sort -u | tr '\n' ' ')
  [ -z "$loaded" ] || problems+=("loaded $loaded")
  rm -f "$work"/loader.*
  if [ ${#problems[@]} -gt 0 ]; then
    echo "$name: ${problems[*]}"
    failures=$((failures + 1))
  fi
done
[ $failures -eq 0 ] && echo "${#rows[@]} runs of quillet loaded no Qt library"
exit $((failures > 0))
