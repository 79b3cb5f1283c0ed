#!/usr/bin/env bash
# Draws the README's pictures from the sample book:
#   docs/window.png  the window, drawn on Qt's offscreen platform
#   docs/page.png    the first generated page as headless Chromium shows it, at
#                    the handheld's screen size (480 x 272)
#   docs/reader_page.png  the second page of the book in reader mode, the same way
# Builds the release flavour first; installs Chromium when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh release >/dev/null

book=samples/sample-book.rtf
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p docs "$work/Libro" "$work/Lector"

# The folder is only shown, never written to.
QT_QPA_PLATFORM=offscreen build/tools/quillet_window_picture \
  docs/window.png "$book" /media/card/COMMON/Libro
echo "wrote docs/window.png"

build/app/quillet book "$book" --parts 3 --out "$work/Libro" --prefix Libro
build/app/quillet book "$book" --reader --out "$work/Lector" --prefix Libro

browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq chromium >&2
  browser=$(command -v chromium)
fi
# shot PNG PAGE: the page as the handheld's screen shows its top.
shot() {
  "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=480,272 \
    --user-data-dir="$work/profile" --screenshot="$PWD/$1" "file://$2" 2>/dev/null
  echo "wrote $1"
}
shot docs/page.png "$work/Libro/Libro01.html"
shot docs/reader_page.png "$work/Lector/Libro02.html"
