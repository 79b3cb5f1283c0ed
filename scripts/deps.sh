#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quillet need.
# Only missing packages are installed; sudo is used when not running as root.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang
  libgtest-dev libgmock-dev googletest libbenchmark-dev libcli11-dev
  qt6-base-dev qt6-qpa-plugins fonts-dejavu-core python3
  qt6-svg-dev dpkg-dev desktop-file-utils appstream groff-base
  pkg-config libgumbo-dev libzip-dev zlib1g-dev libxml2-dev libcmark-gfm-dev
  libcmark-gfm-extensions-dev pandoc libreoffice-writer-nogui
  tidy chromium
)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
updated=false

# install PACKAGE...: installs those of the packages that are missing.
install() {
  local missing=() p
  for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  if [ "$updated" = false ]; then
    $sudo apt-get update -qq
    updated=true
  fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >&2
}

install "${packages[@]}"
# libFuzzer and the sanitizers' runtime come with the clang that is installed.
clang_major=$(clang -dumpversion | cut -d. -f1)
install "libclang-rt-${clang_major}-dev"
