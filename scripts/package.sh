#!/usr/bin/env bash
# Makes the Debian package with cpack (build/varnex-configurator_*.deb) and
# checks it: its contents, the program started from an unpacked copy (sizing a
# request headless, and the window up to its first idle moment on a virtual
# display). With --install it is also installed with apt-get, started from
# /usr/bin the same way, and removed again.
set -euo pipefail
cd "$(dirname "$0")/.."
install=0
[ "${1:-}" = "--install" ] && install=1
scripts/deps.sh package
scripts/build.sh VarnexCfg >/dev/null
rm -f build/varnex-configurator_*.deb
(cd build && cpack -G DEB >/dev/null)
deb="$(ls build/varnex-configurator_*.deb)"
echo "Package: $deb"
dpkg-deb -I "$deb" | sed -n 's/^ \(Depends\|Version\|Package\):/  \1:/p'

work="$(mktemp -d)"
xvfb=""
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
contents="$(dpkg-deb -c "$deb")"
for f in usr/bin/varnex-configurator usr/lib/varnex-configurator/VarnexCfg usr/lib/varnex-configurator/Quenvar.so \
  usr/lib/varnex-configurator/English.lng usr/share/applications/varnex-configurator.desktop \
  usr/share/icons/hicolor/48x48/apps/varnex-configurator.png usr/share/icons/hicolor/scalable/apps/varnex-configurator.svg \
  usr/share/mime/packages/varnex-configurator.xml; do
  grep -q " ./$f\$" <<<"$contents" || { echo "the package lacks /$f" >&2; exit 1; }
done

. scripts/virtual-display.sh
start_virtual_display
echo '{"sizeLine": 1, "loadPower": 9000}' >"$work/request.json"
check_start() { # launcher
  local home="$work/home-$RANDOM"
  mkdir -p "$home/.local/share/Varnex Configurator"
  printf '[Setup]\r\nCheckUpdates=0\r\n' >"$home/.local/share/Varnex Configurator/VarnexCfg.ini"
  HOME="$home" XDG_DATA_HOME="$home/.local/share" "$1" --size "$work/request.json" | grep -q '"ok": true' ||
    { echo "$1 --size did not size the request" >&2; exit 1; }
  HOME="$home" XDG_DATA_HOME="$home/.local/share" DISPLAY="$display" QT_QPA_PLATFORM=xcb \
    VARNEX_QUIT_AT_FIRST_IDLE=1 timeout 60 "$1" || { echo "$1 did not start its window" >&2; exit 1; }
  echo "  $1 starts and sizes"
}
dpkg-deb -x "$deb" "$work/root"
check_start "$work/root/usr/bin/varnex-configurator"
if [ "$install" -eq 1 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "./$deb" >/dev/null
  check_start /usr/bin/varnex-configurator
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -qq varnex-configurator >/dev/null
fi
