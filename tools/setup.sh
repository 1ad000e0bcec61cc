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
  lv2-dev liblilv-dev
  clang libclang-rt-14-dev
  valgrind sox zenity
  locales
  g++-mingw-w64-x86-64-posix wine wine64
  jackd2 libjack-jackd2-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
SUDO=""
need_root() {
  [ "$(id -u)" -eq 0 ] && return 0
  command -v sudo >/dev/null 2>&1 || { echo "setup: need root (or sudo) to $1" >&2; exit 1; }
  SUDO="sudo"
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}" >&2
  need_root "install: ${missing[*]}"
  # (jackd2 asks whether to enable real-time scheduling; noninteractive takes its default.)
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The number-parsing tests run under a comma-decimal locale; Debian images ship without it.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "setup: generating the de_DE.UTF-8 locale" >&2
  need_root "generate the de_DE.UTF-8 locale"
  if grep -q '^# *de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    $SUDO sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi
