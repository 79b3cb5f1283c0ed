#!/usr/bin/env bash
# Builds the Debian package of a build with CPack and checks its control fields
# and contents: library dependencies found by dpkg-shlibdeps, the helpers as
# Suggests, every installed file, and a stripped executable that runs.
#   check_package.sh BUILD_DIR VERSION APP_ID
set -euo pipefail
build=$(realpath "$1")
version=$2
app_id=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/log" 2>&1; then
  cat "$work/log"
  exit 1
fi
deb=$(echo "$work"/quillet_"$version"_*.deb)
[ -f "$deb" ] || { echo "no package quillet_${version}_*.deb"; ls "$work"; exit 1; }

failures=0
fail() {
  echo "$*"
  failures=$((failures + 1))
}
field() { dpkg-deb -f "$deb" "$1"; }

[ "$(field Package)" = quillet ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
depends=$(field Depends)
for library in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 libxml2 libzip4; do
  [[ ", $depends," == *", $library "* ]] || fail "Depends lacks $library: $depends"
done
[ "$(field Suggests)" = "pandoc, libreoffice-writer" ] || fail "Suggests: $(field Suggests)"

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
expected=(./usr/bin/quillet ./usr/lib/quillet/quillet-window ./usr/share/man/man1/quillet.1.gz
          ./usr/share/bash-completion/completions/quillet
          "./usr/share/applications/$app_id.desktop" "./usr/share/metainfo/$app_id.metainfo.xml"
          "./usr/share/icons/hicolor/scalable/apps/$app_id.svg")
for size in 16 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for file in "${expected[@]}"; do
  grep -qxF -e "$file" <<<"$contents" || fail "not in the package: $file"
done

dpkg-deb -x "$deb" "$work/root"
if readelf -S "$work/root/usr/bin/quillet" | grep -q '\.debug_info'; then
  fail "the packaged quillet is not stripped"
fi
got=$("$work/root/usr/bin/quillet" --version) || fail "packaged quillet --version failed"
[ "$got" = "quillet $version" ] || fail "packaged quillet --version printed '$got'"
[ $failures -eq 0 ] && echo "$(basename "$deb"): $(stat -c %s "$deb") bytes; Depends: $depends"
exit $((failures > 0))
