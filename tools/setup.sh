#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when any is missing.
# Non-interactive: CI has no terminal. Runs apt-get as root, or through sudo when available.
set -euo pipefail

packages=(
  build-essential cmake ccache pkg-config git python3
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  juce-modules-source-data
  libx11-dev libxtst-dev libgl-dev libglx-dev libgl1-mesa-dri libgtk-3-dev
  xvfb xauth x11-utils
  libpng-dev libsndfile1-dev libebur128-dev libstb-dev
  clang libclang-rt-14-dev
  valgrind sox zenity
  g++-mingw-w64-x86-64-posix wine wine64
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || { echo "setup: need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
