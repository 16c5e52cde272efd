#!/usr/bin/env bash
# Best effort: a CUPS queue "VarnexTestPDF" that prints into PDF files, for the
# printing test. Prints the output folder on success; prints nothing (and the
# printing test skips) where CUPS cannot be started here, e.g. without root.
set -uo pipefail
out="${1:-/tmp/varnex-print-out}"
[ "$(id -u)" -eq 0 ] || exit 0
command -v cupsd >/dev/null 2>&1 && command -v lpadmin >/dev/null 2>&1 || exit 0
[ -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ] || exit 0
mkdir -p "$out" /run/cups
sed -i "s|^#\?Out .*|Out $out|" /etc/cups/cups-pdf.conf 2>/dev/null || exit 0
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    (cupsd >/dev/null 2>&1 &)
    for _ in $(seq 1 40); do
        lpstat -r 2>/dev/null | grep -q "is running" && break
        sleep 0.25
    done
fi
lpstat -r 2>/dev/null | grep -q "is running" || exit 0
lpadmin -p VarnexTestPDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd >/dev/null 2>&1 || exit 0
echo "$out"
