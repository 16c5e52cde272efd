#!/usr/bin/env bash
# Drives the real program on a virtual X display (Xvfb, the xcb platform) with
# xdotool, as a user would, in each of the four languages: start-up, a new
# configuration with an accessory, the four result tabs, a PDF save, the
# configuration file saved, reopened and saved again, the
# settings with a language switch, and about. Every step saves a screenshot
# into build/desktop/<language>/ and checks that the expected window shows; the
# run fails when a step's window does not come, the PDF is not written, the
# language does not change, or any window reports a text that does not fit.
#   scripts/desktop.sh [--update-readme]
# With --update-readme two of the screenshots are copied into docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
update_readme=0
[ "${1:-}" = "--update-readme" ] && update_readme=1

scripts/deps.sh desktop
scripts/build.sh VarnexCfg >/dev/null

root="$PWD"
out="$root/build/desktop"
rm -rf "$out"
mkdir -p "$out"
program="$root/build/bin/VarnexCfg"

app="" xvfb=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
. scripts/virtual-display.sh
start_virtual_display
export DISPLAY="$display" QT_QPA_PLATFORM=xcb VARNEX_REPORT_CLIPPED_TEXT=1 LC_ALL=C.UTF-8
unset FONTCONFIG_FILE QT_QPA_PLATFORMTHEME

failures=0
fail() {
  echo "FAILED ($language): $*" >&2
  failures=$((failures + 1))
}

# A text of a language file, without its mnemonic mark.
caption() { sed -n "s/^$2=//p" "$root/lang/$1.lng" | head -1 | tr -d '\r' | sed 's/&\(.\)/\1/g'; }

# The one visible window whose title is exactly the text (waits up to 10 s).
wait_window() {
  local pattern
  pattern="^$(printf '%s' "$1" | sed 's/[][\.*^$()+?{}|]/\\&/g')\$"
  for _ in $(seq 1 100); do
    local id
    id="$(xdotool search --all --onlyvisible --pid "$app" --name "$pattern" 2>/dev/null | tail -1 || true)"
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# A visible window whose title contains the text (waits up to 20 s).
wait_window_matching() {
  for _ in $(seq 1 200); do
    local id
    id="$(xdotool search --all --onlyvisible --pid "$app" --name "$1" 2>/dev/null | head -1 || true)"
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# Waits until no visible window has the title.
wait_gone() {
  local pattern
  pattern="^$(printf '%s' "$1" | sed 's/[][\.*^$()+?{}|]/\\&/g')\$"
  for _ in $(seq 1 100); do
    xdotool search --all --onlyvisible --pid "$app" --name "$pattern" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

visible_windows() { xdotool search --all --onlyvisible --pid "$app" --name '.' 2>/dev/null | sort || true; }

# A visible window that was not among `before` (waits up to 10 s, or the tenths given).
wait_new_window() {
  local before="$1"
  for _ in $(seq 1 "${2:-100}"); do
    local id
    id="$(comm -13 <(printf '%s\n' "$before") <(visible_windows) | tail -1)"
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

step=0
shot() {
  step=$((step + 1))
  sleep 0.6 # the window has painted and reported its texts
  import -window "$1" "$out/$language/$(printf '%02d' "$step")-$2.png"
}

keys() {
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  shift
  xdotool key --delay 80 "$@"
  sleep 0.3
}

stop_program() {
  [ -n "$app" ] || return 0
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  app=""
}

run_language() {
  drive_program "$@" || true
  stop_program
  if grep -q "clipped text" "$out/$language/program.log"; then
    fail "texts that do not fit:"
    grep "clipped text" "$out/$language/program.log" | sort -u >&2
  fi
  echo "$language: $step screenshots in $out/$language"
}

# A save through its dialog: the shortcut, the name typed, the keys that accept
# it (a filter chosen on the way), and the message after it.
save_through_dialog() { # window shortcut name accept-keys shot-name
  local before dialog box
  before="$(visible_windows)"
  keys "$1" "$2"
  dialog="$(wait_new_window "$before")" || { fail "no save dialog after $2"; return 1; }
  shot "$dialog" "$5-dialog"
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  xdotool key ctrl+a
  xdotool type --delay 20 "$3"
  before="$(visible_windows)"
  # shellcheck disable=SC2086 # the accept keys are separate words
  keys "$dialog" $4
  if box="$(wait_new_window "$before")"; then
    shot "$box" "$5-saved"
    keys "$box" Return
  else
    fail "no message after saving $3"
  fi
}

# Ctrl+S with a name without extension; the file must hold a configuration.
save_configuration() { # main-window name-without-extension
  save_through_dialog "$1" ctrl+s "$2" Return configuration || return 1
  grep -q '"programVersion"' "$2.vxcfg" 2>/dev/null || { fail "$2.vxcfg was not written"; return 1; }
}

drive_program() {
  language="$1"
  step=0
  mkdir -p "$out/$language"
  local home="$out/$language/home"
  local data="$home/.local/share/Varnex Configurator"
  mkdir -p "$data"
  printf '[Setup]\r\nLanguageFile=%s.lng\r\nCheckUpdates=0\r\n' "$language" >"$data/VarnexCfg.ini"
  HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_CONFIG_HOME="$home/.config" \
    "$program" >"$out/$language/program.log" 2>&1 &
  app=$!

  local main
  main="$(wait_window_matching 'Varnex Configurator')" || { fail "no main window"; return; }
  shot "$main" start

  # A new configuration: Enter through the pages, an accessory ticked on its page.
  local wizard_title wizard
  wizard_title="$(caption "$language" ButtonNewConfiguration)"
  keys "$main" ctrl+n
  wizard="$(wait_window "$wizard_title")" || { fail "no wizard window \"$wizard_title\""; return; }
  shot "$wizard" wizard-phases
  keys "$wizard" Return
  shot "$wizard" wizard-power
  keys "$wizard" Return Return
  shot "$wizard" wizard-autonomy
  # The vendor's home market (Italian) has no advanced page, and a contracts page.
  local home_market=0
  [ "$language" = Italian ] && home_market=1
  if [ "$home_market" -eq 1 ]; then keys "$wizard" Return; else keys "$wizard" Return Return; fi
  local before quantity
  before="$(visible_windows)"
  keys "$wizard" space
  if quantity="$(wait_new_window "$before" 15)"; then
    shot "$quantity" wizard-accessory-quantity
    keys "$quantity" ctrl+a 2 Return
  fi
  shot "$wizard" wizard-accessories
  if [ "$home_market" -eq 1 ]; then
    keys "$wizard" Return space
    shot "$wizard" wizard-contracts
  fi
  keys "$wizard" Return
  wait_gone "$wizard_title" || { fail "the wizard did not finish"; return; }

  # The result tabs: the offer's three and the runtime curve.
  shot "$main" results-layout
  keys "$main" Right
  shot "$main" results-items
  keys "$main" Right
  shot "$main" results-data
  keys "$main" Right
  shot "$main" results-runtime
  keys "$main" Left Left Left

  # The offer as PDF, through the save dialog (its second filter).
  local pdf="$out/$language/offer.pdf" dialog box
  save_through_dialog "$main" ctrl+shift+s "$pdf" "Tab Down Return" offer || return
  if [ ! -s "$pdf" ] || ! pdftotext "$pdf" - | grep -q .; then fail "the PDF was not written"; fi

  # The configuration file: saved, reopened through the open dialog, saved again the same.
  save_configuration "$main" "$out/$language/offer" || return
  local reopened
  before="$(visible_windows)"
  keys "$main" ctrl+o
  dialog="$(wait_new_window "$before")" || { fail "no open dialog"; return; }
  shot "$dialog" open-dialog
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  xdotool key ctrl+a
  xdotool type --delay 20 "$out/$language/offer.vxcfg"
  before="$(visible_windows)"
  keys "$dialog" Return
  if box="$(wait_new_window "$before")"; then
    shot "$box" replace-question
    keys "$box" Return
  else
    fail "no question before the configuration on show is replaced"
  fi
  shot "$main" reopened
  save_configuration "$main" "$out/$language/reopened" || return
  cmp -s "$out/$language/offer.vxcfg" "$out/$language/reopened.vxcfg" ||
    fail "the reopened configuration was saved differently"

  # Settings: another language of the list (the one below, or above at its end).
  local setup_title setup move switched=""
  setup_title="$(caption "$language" ButtonSetup)"
  for move in Down Up; do
    keys "$main" ctrl+comma
    setup="$(wait_window "$setup_title")" || { fail "no settings window \"$setup_title\""; return; }
    shot "$setup" settings
    keys "$setup" ctrl+Tab
    shot "$setup" settings-languages
    keys "$setup" "$move" Return
    wait_gone "$setup_title" || { fail "the settings window stayed open"; return; }
    sleep 0.5
    switched="$(sed -n 's/^LanguageFile=\(.*\)\.lng.*/\1/p' "$data/VarnexCfg.ini" | tr -d '\r')"
    [ "$switched" != "$language" ] && break
  done
  [ "$switched" != "$language" ] || fail "the language did not change"
  shot "$main" after-language-switch

  # About, in the language now chosen.
  local about_title about
  about_title="$(caption "${switched:-$language}" ButtonInfoProgram)"
  keys "$main" F1
  about="$(wait_window "$about_title")" || { fail "no about window \"$about_title\""; return; }
  shot "$about" about
  keys "$about" Escape
  wait_gone "$about_title" || fail "the about window stayed open"

}

for language in English Deutsch Italian Spanish; do run_language "$language"; done

if [ "$update_readme" -eq 1 ] && [ "$failures" -eq 0 ]; then
  mkdir -p docs
  convert "$out/English/"*-results-layout.png -colors 128 docs/screenshot-results-layout.png
  convert "$out/Deutsch/"*-results-data.png -colors 128 docs/screenshot-data-sheet.png
fi
if [ "$failures" -ne 0 ]; then
  echo "$failures desktop step(s) failed; screenshots in $out" >&2
  exit 1
fi
echo "Every step of the four languages passed; screenshots in $out"
