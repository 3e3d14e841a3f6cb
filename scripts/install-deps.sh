#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build and test tools is missing on a
# Debian 12 machine. Runs as root, or through sudo.
set -euo pipefail

packages=(
  # compiler and build
  gcc g++ cmake ninja-build pkgconf ccache
  # JUCE's module sources and the libraries its modules use
  juce-modules-source-data
  libasound2-dev libcurl4-gnutls-dev libfreetype-dev libpng-dev libjpeg-dev zlib1g-dev
  libflac-dev libvorbis-dev
  libx11-dev libxext-dev libxrandr-dev libxinerama-dev libxcursor-dev
  fonts-dejavu-core fontconfig-config
  # tests
  libgtest-dev libgmock-dev libbenchmark-dev
  # the fuzz targets: clang with libFuzzer and the sanitizers' runtimes, and
  # the symbolizer that puts names in their stack traces
  clang libclang-rt-14-dev llvm
  xvfb xauth xdotool imagemagick openbox x11-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
