#!/usr/bin/env bash
# Installs exactly the Debian packages the build, the tests and the game need.
# Idempotent and non-interactive; safe to run on every build.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libguichan-dev libtinyxml-dev
  libsdl2-dev libsdl2-image-dev
  libfreetype-dev libfontconfig-dev fonts-arphic-uming
  libgtest-dev libgmock-dev libbenchmark-dev
  libasio-dev libsqlite3-dev libssl-dev libsodium-dev
  clang libclang-rt-14-dev
  dpkg-dev file
)
# Extra tools used only for looking at the real window (optional).
if [[ "${VELMORA_SETUP_X11:-0}" == 1 ]]; then
  PACKAGES+=(xvfb imagemagick)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
  echo "setup: all packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO=sudo
  else
    echo "setup: not root and no sudo; run as root:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
