#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages, and
# nothing when everything is there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  # The fuzz targets: clang with libFuzzer and the sanitizer runtimes.
  clang libclang-rt-14-dev
  # The desktop program: Qt Widgets, the embedded browsers and a display
  # server for its tests on machines without a screen.
  qt6-base-dev qt6-webengine-dev libgl-dev xvfb xauth
  # The window's icon is an SVG image.
  libqt6svg6
  # "MS UI Gothic" and "ＭＳ Ｐゴシック" have no Linux form: the window maps
  # them to IPA Gothic, so that Japanese text never shows as boxes.
  fonts-ipafont-gothic
  # Page download and the Debian package.
  libcurl4-openssl-dev dpkg-dev file
  # The tests of the manual pages (groff) and of the zsh completion.
  groff-base zsh
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are missing; run as root or install them: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
