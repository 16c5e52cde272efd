#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need,
# only when one of them is missing. Groups named as arguments add their own.
set -euo pipefail
PACKAGES=(build-essential cmake ninja-build pkg-config ccache qt6-base-dev libsqlcipher-dev sqlcipher
  libcurl4-openssl-dev ca-certificates libzip-dev zipcmp zipmerge ziptool zlib1g-dev
  xvfb xauth x11-apps imagemagick fonts-liberation fonts-wine fonts-dejavu-extra python3-docx poppler-utils
  cups printer-driver-cups-pdf)
# The sanitizer build and the fuzzers use clang with its runtime libraries;
# the desktop script drives the real window with xdotool.
for group in "$@"; do
  case "$group" in
    sanitize) PACKAGES+=(clang libclang-rt-14-dev) ;;
    desktop) PACKAGES+=(xdotool) ;;
    *) echo "deps.sh: unknown group $group" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
