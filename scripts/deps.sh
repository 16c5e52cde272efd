#!/usr/bin/env bash
# Installs the Debian 12 packages that are missing: by default what building
# and running the program needs; the groups named as arguments add their own
# ("tests", "sanitize", "desktop", "package").
set -euo pipefail
PACKAGES=(build-essential cmake ninja-build pkg-config ccache qt6-base-dev libsqlcipher-dev
  libcurl4-openssl-dev ca-certificates libzip-dev zlib1g-dev libxlsxwriter-dev fonts-liberation fonts-wine fonts-dejavu-extra
  qt6-translations-l10n)
for group in "$@"; do
  case "$group" in
    # The tests' real peers: SQLCipher's shell, zip tools, a virtual display,
    # pictures, two Word readers (python-docx, and LibreOffice laying out the
    # pages), a PDF reader and a PDF printer queue.
    tests) PACKAGES+=(sqlcipher zipcmp zipmerge ziptool xvfb xauth x11-apps imagemagick python3-docx python3-openpyxl poppler-utils
                      libreoffice-writer-nogui cups printer-driver-cups-pdf) ;;
    # The sanitizer build and the fuzzers use clang with its runtime libraries.
    sanitize) PACKAGES+=(clang libclang-rt-14-dev) ;;
    # The desktop script drives the real window on a virtual display.
    desktop) PACKAGES+=(xvfb xauth xdotool imagemagick poppler-utils) ;;
    # The Debian package: its library dependencies are worked out by dpkg-shlibdeps.
    package) PACKAGES+=(dpkg-dev file xvfb xauth) ;;
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
