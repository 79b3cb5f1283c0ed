#!/usr/bin/env bash
# Checks the manual page against the command line as `quillet --help` shows it:
# every subcommand has a section of its own, and every option and positional of
# the program and of each subcommand is described in its section.
#   check_manual.sh QUILLET MANUAL_PAGE
set -euo pipefail
quillet=$1
plain=$(mktemp)
trap 'rm -f "$plain"' EXIT
# The page's source without escaped hyphens and font changes.
sed 's/\\-/-/g; s/\\f[BIRP]//g' "$2" >"$plain"

# help_names HEADING ARGS...: the first word of each line under HEADING in `quillet ARGS --help`.
help_names() {
  local heading=$1
  shift
  "$quillet" "$@" --help | awk -v heading="$heading:" '
    $0 == heading { on = 1; next }
    /^$/ { on = 0 }
    on { n = split($1, names, ","); for (i = 1; i <= n; i++) print names[i] }'
}

# section START: the page's lines from the heading whose first words are START to the next heading.
section() {
  awk -v start="$1" '
    index($0, start) == 1 && substr($0, length(start) + 1, 1) ~ /^[ "]?$/ { on = 1; next }
    on && /^\.S[HS]/ { exit }
    on' "$plain"
}

failures=0
expect_in_section() {
  local heading=$1 text
  shift
  local body
  body=$(section "$heading")
  if [ -z "$body" ]; then
    echo "missing section: $heading"
    failures=$((failures + 1))
    return
  fi
  for text in "$@"; do
    if ! grep -qFw -e "$text" <<<"$body"; then
      echo "not described under $heading: $text"
      failures=$((failures + 1))
    fi
  done
}

mapfile -t subcommands < <(help_names Subcommands)
if [ ${#subcommands[@]} -eq 0 ]; then
  echo "no subcommands found in quillet --help"
  exit 1
fi
mapfile -t names < <(help_names Options; help_names Positionals)
expect_in_section ".SH OPTIONS" "${names[@]}"
for sub in "${subcommands[@]}"; do
  mapfile -t names < <(help_names Options "$sub"; help_names Positionals "$sub")
  expect_in_section ".SS \"quillet $sub" "${names[@]}"
done
[ $failures -eq 0 ] && echo "manual page covers ${#subcommands[@]} subcommands and their options"
exit $((failures > 0))
