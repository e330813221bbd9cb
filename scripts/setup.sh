#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Velloran
# need, when any is missing. Safe to run again: it installs nothing when all
# are present. Needs root (or sudo) only when something has to be installed.
set -euo pipefail

packages=(
  cmake ninja-build ccache g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libx11-dev libfreetype-dev libfontconfig-dev
  fonts-liberation2 fonts-urw-base35
  python3-segyio python3-numpy python3-scipy python3-pil python3-matplotlib pngcheck netpbm
  xvfb xauth x11-apps libxtst-dev libxfixes-dev imagemagick hp2xx
  ghostscript librsvg2-bin libxml2-utils python3-ezdxf libwmf-bin emf2svg
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "setup: these Debian packages are needed; install them as root: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
