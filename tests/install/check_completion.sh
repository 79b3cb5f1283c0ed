#!/usr/bin/env bash
# Checks the bash completion against `quillet --help`: it offers every
# subcommand and every option of the program and of each subcommand, folders
# after --out and files for books.
#   check_completion.sh QUILLET COMPLETION_SCRIPT
set -euo pipefail
quillet=$(realpath "$1")
# shellcheck source=/dev/null
source "$(realpath "$2")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir out
touch book.rtf

# offered WORD...: what completing the last word of the command line offers, one a line.
offered() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _quillet
  printf '%s\n' "${COMPREPLY[@]}"
}

help_names() {
  local heading=$1
  shift
  "$quillet" "$@" --help | awk -v heading="$heading:" '
    $0 == heading { on = 1; next }
    /^$/ { on = 0 }
    on && $1 ~ /^-/ { n = split($1, names, ","); for (i = 1; i <= n; i++) if (names[i] ~ /^--/) print names[i] }
    on && $1 !~ /^-/ { print $1 }'
}

failures=0
# expect NAME "offered"|"not offered" TEXT -- WORD...: whether completing WORD... offers TEXT.
expect() {
  local name=$1 want=$2 text=$3
  shift 4
  local offers got="not offered"
  offers=$(offered "$@")
  grep -qxF -e "$text" <<<"$offers" && got=offered
  if [ "$got" != "$want" ]; then
    echo "$name: '$text' $got for: $*"
    failures=$((failures + 1))
  fi
}

mapfile -t subcommands < <(help_names Subcommands)
[ ${#subcommands[@]} -gt 0 ] || { echo "no subcommands found in quillet --help"; exit 1; }
for sub in "${subcommands[@]}"; do
  expect "subcommand" offered "$sub" -- quillet ""
  for option in $(help_names Options "$sub"); do
    expect "option of $sub" offered "$option" -- quillet "$sub" --
  done
done
for option in $(help_names Options); do
  expect "option" offered "$option" -- quillet --
done
expect "book to open in the window" offered book.rtf -- quillet ""
expect "book input" offered book.rtf -- quillet book --parts 3 ""
expect "folder after --out" offered out -- quillet book book.rtf --out ""
expect "only folders after --out" "not offered" book.rtf -- quillet book book.rtf --out ""
expect "no subcommand after a subcommand" "not offered" preview -- quillet book ""
[ $failures -eq 0 ] && echo "completion offers ${#subcommands[@]} subcommands and their options"
exit $((failures > 0))
