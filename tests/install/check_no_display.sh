#!/usr/bin/env bash
# Without a display, `quillet` and `quillet FILE` cannot open the window: they
# say so, list the subcommands that work without it, and with a FILE tell how
# to make its pages. Each row: name, exit status, text expected on standard
# error, arguments.
#   check_no_display.sh QUILLET SAMPLE_BOOK
set -uo pipefail
quillet=$1
sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rows=(
  "window alone|0|no display to open the window on|"
  "window with a book|1|quillet book $sample --parts N --out DIR|$sample"
  "debug window with a book|1|quillet book $sample --parts N --out DIR|--debug $sample"
)
failures=0
for row in "${rows[@]}"; do
  IFS='|' read -r name status message arguments <<<"$row"
  # shellcheck disable=SC2086
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$quillet" $arguments \
    >"$work/out" 2>"$work/err" </dev/null
  got=$?
  problems=()
  [ "$got" -eq "$status" ] || problems+=("exit status $got, not $status")
  grep -qF -e "$message" "$work/err" || problems+=("standard error lacks '$message'")
  grep -q '^  book ' "$work/out" || problems+=("the subcommands are not listed")
  if [ ${#problems[@]} -gt 0 ]; then
    echo "$name: ${problems[*]}"
    failures=$((failures + 1))
  fi
done

# A display that is named but cannot be reached: Qt gives up on it, and the
# user gets a message and exit status 1, not an abort and a core dump.
dead=(
  "dead X display|env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:97531"
  "dead Wayland display|env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY=quillet-none-97531"
)
for row in "${dead[@]}"; do
  IFS='|' read -r name environment <<<"$row"
  # shellcheck disable=SC2086
  $environment "$quillet" >"$work/out" 2>"$work/err" </dev/null
  got=$?
  if [ "$got" -ne 1 ] || ! grep -qF "cannot open the window" "$work/err"; then
    echo "$name: exit status $got; standard error: $(head -c 300 "$work/err")"
    failures=$((failures + 1))
  fi
done

[ $failures -eq 0 ] && echo "${#rows[@]} runs without a display say how to work headless," \
  "${#dead[@]} with an unreachable one say they cannot open the window"
exit $((failures > 0))
