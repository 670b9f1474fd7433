#!/usr/bin/env bash
# The desktop program on a terminal: --help and --version print and end with no display at
# all; an unknown option is refused with exit status 2 and the program ends, no window shown.
#   command_line_test.sh DENSORA
set -uo pipefail
app=$(realpath "$1")
failed=0
fail() {
  echo "FAILED: $1"
  failed=1
}

# The program never writes into the user's own settings or desktop files from here.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data

headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$@"; }
out=$(headless "$app" --help) || fail "--help ended with $?"
grep -q '^Usage: densora \[options\] \[FILE.lng\]$' <<<"$out" || fail "--help printed: $out"
out=$(headless "$app" --version) || fail "--version ended with $?"
grep -qx 'densora [0-9][0-9.]*' <<<"$out" || fail "--version printed: $out"

# A program that started after all would not end by itself: timeout ends it with 124.
err=$(QT_QPA_PLATFORM=offscreen timeout 20 "$app" --bogus 2>&1 >/dev/null)
code=$?
[ "$code" -eq 2 ] || fail "--bogus ended with $code"
grep -q '^densora: unknown option --bogus' <<<"$err" || fail "--bogus said: $err"
[ ! -e "$XDG_CONFIG_HOME" ] || fail "--bogus started the program: it wrote its settings"

[ "$failed" -eq 0 ] && echo "passed"
[ "$failed" -eq 0 ]
