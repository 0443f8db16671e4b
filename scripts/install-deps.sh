#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those that are missing.
set -euo pipefail

packages=(
  cmake ninja-build ccache g++ pkg-config
  # the layout check of the C++ files
  clang-format
  libpugixml-dev libminizip-dev zlib1g-dev libcairo2-dev libfreetype-dev libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core
  # the font with Arial's metrics that the office suite sets the report's Arial in and the page tests measure words
  # with; without it both take whatever font the machine has, and the tests' widths are not the reader's
  fonts-liberation
  # the oblique and italic faces, with which italic text prints italic
  fonts-dejavu-extra
  # the page-by-page test prints the example's report to PDF and reads it back
  libreoffice-writer poppler-utils
  libx11-dev
  # the end-to-end screen test: a virtual X server and a driver of real X events
  xvfb xdotool
  # pictures of windows as the X server shows them (xwd), taken by the screen test of message boxes and file dialogs
  x11-apps
  # another program's clipboard (xclip) and a German keyboard layout (setxkbmap) for the rich-text screen test
  xclip x11-xkb-utils
  # a strict XML reader that tests hold the saved positions against
  libxml2-utils
  # the glossary check tells German words from English ones by these word lists
  python3 wamerican wngerman
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
