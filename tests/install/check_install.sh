#!/usr/bin/env bash
# Installs a build into a temporary prefix and runs what was installed:
# `quillet --version` and `quillet book` on a sample. With an application id,
# also checks the menu entry, its icon at every size and the metainfo, and that
# the installed `quillet` opens the window through its window program.
#   check_install.sh BUILD_DIR VERSION SAMPLE_BOOK [APP_ID]
set -euo pipefail
build=$1
version=$2
sample=$(realpath "$3")
app_id=${4:-}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

env -u DESTDIR cmake --install "$build" --prefix "$prefix" >/dev/null
failures=0
fail() {
  echo "$*"
  failures=$((failures + 1))
}

expected=(bin/quillet share/man/man1/quillet.1.gz share/bash-completion/completions/quillet)
if [ -n "$app_id" ]; then
  expected+=(lib/quillet/quillet-window
             "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml"
             "share/icons/hicolor/scalable/apps/$app_id.svg")
  for size in 16 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png")
  done
fi
for file in "${expected[@]}"; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done

if [ -n "$app_id" ]; then
  entry="$prefix/share/applications/$app_id.desktop"
  # The menu entry's icon name and the metainfo's launchable must name what is installed.
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ "$icon" = "$app_id" ] || fail "menu entry's icon is '$icon', installed icons are $app_id"
  grep -qx 'Exec=quillet %f' "$entry" || fail "menu entry does not pass the file to quillet"
  # "Open with Quillet" is offered for every format Quillet reads, as the desktop's cache sees it.
  update-desktop-database "$prefix/share/applications"
  for type in text/rtf application/rtf text/plain text/html application/epub+zip \
    application/x-fictionbook+xml text/markdown \
    application/vnd.openxmlformats-officedocument.wordprocessingml.document \
    application/vnd.oasis.opendocument.text application/msword application/vnd.wordperfect \
    application/vnd.sun.xml.writer; do
    grep -qxF "$type=$app_id.desktop;" "$prefix/share/applications/mimeinfo.cache" ||
      fail "menu entry does not open $type"
  done
  grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
    "$prefix/share/metainfo/$app_id.metainfo.xml" || fail "metainfo does not launch $app_id.desktop"
  grep -qF "<release version=\"$version\"" "$prefix/share/metainfo/$app_id.metainfo.xml" ||
    fail "metainfo has no release $version"
fi
zcat "$prefix/share/man/man1/quillet.1.gz" | grep -q "^\.TH QUILLET 1 .*\"Quillet $version\"" ||
  fail "manual page is not for version $version"

got=$("$prefix/bin/quillet" --version) || fail "installed quillet --version failed"
[ "$got" = "quillet $version" ] || fail "installed quillet --version printed '$got'"

mkdir "$prefix/pages"
if "$prefix/bin/quillet" book "$sample" --parts 3 --out "$prefix/pages" >"$prefix/written"; then
  written=$(wc -l <"$prefix/written")
  [ "$written" -eq 4 ] || fail "installed quillet book listed $written pages, not 3 parts and an index"
  while IFS= read -r page; do
    [ -s "$page" ] || fail "listed page is missing or empty: $page"
  done <"$prefix/written"
else
  fail "installed quillet book failed"
fi
if [ -n "$app_id" ]; then
  # The window runs in quillet's own process, with Qt loaded there only.
  QT_QPA_PLATFORM=offscreen "$prefix/bin/quillet" </dev/null >"$prefix/window.log" 2>&1 &
  window=$!
  opened=""
  for _ in $(seq 50); do
    if [ "$(readlink "/proc/$window/exe")" = "$prefix/lib/quillet/quillet-window" ] &&
      grep -q libQt6Widgets "/proc/$window/maps"; then
      opened=yes
      break
    fi
    sleep 0.1
  done
  kill "$window" 2>/dev/null || true
  wait "$window" 2>/dev/null || true
  [ -n "$opened" ] || fail "installed quillet did not open the window: $(head -3 "$prefix/window.log")"
fi

[ $failures -eq 0 ] && echo "installed ${#expected[@]} files; quillet $version runs from the prefix"
exit $((failures > 0))
