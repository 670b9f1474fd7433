#!/usr/bin/env bash
# densora-cli's manual page and bash completion follow densora-cli --help: every command and
# option the help shows is in the manual and is completed, and each command completes the
# kind of file its usage line names for its input and its output.
#   cli_docs_test.sh DENSORA-CLI SOURCE-DIR
set -uo pipefail
cli=$(realpath "$1")
src=$(realpath "$2")
passed=0
failed=0

check() { # WHAT COMMAND...: counts COMMAND's success
  local what=$1
  shift
  if "$@" >/dev/null 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}

# shellcheck source=/dev/null
source "$src/res/densora-cli.bash-completion"
# The completions bash offers for the command line WORDS..., the last being the word typed.
completions() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _densora_cli
  printf '%s\n' "${COMPREPLY[@]}"
}

# The manual's text as written, without troff's escapes; its synopsis, and the words of its
# options' headings.
manual=$(sed 's/\\-/-/g; s/\\f[BIRP]//g; s/"//g' "$src/docs/densora-cli.1.in")
synopsis=$(sed -n '/^\.SH SYNOPSIS/,/^\.SH/p' <<<"$manual")
option_words=$(sed -n '/^\.SH OPTIONS/,/^\.SH/{/^\.TP/{n;p}}' <<<"$manual" | tr ' ,' '\n\n')

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir folder

usages=$("$cli" --help | sed -n 's/^  densora-cli \([a-z]\)/\1/p')
if [ -z "$usages" ]; then
  echo "FAILED: densora-cli --help lists no command"
  exit 1
fi
while read -r cmd input rest; do
  check "the completion offers the command $cmd" grep -qx "$cmd" <(completions densora-cli "")
  check "the manual's synopsis has $cmd" grep -q "^\.B densora-cli $cmd$" <<<"$synopsis"

  options=$("$cli" "$cmd" --help | sed -n 's/^  \(-[^ ,]*\)\(, \(--[^ ]*\)\)\{0,1\} .*/\1 \3/p')
  for option in $options; do
    check "the completion offers $cmd $option" grep -qx -- "$option" \
      <(completions densora-cli "$cmd" -)
    check "the manual explains $option" grep -qx -- "$option" <<<"$option_words"
  done

  # The input: files of its extension (FILE.lng... reads .lng files) and folders; DIR:
  # folders alone.
  input=${input%...}
  rm -f ./*.*
  touch other.txt
  if [ "$input" = DIR ]; then
    check "$cmd completes folders alone" diff <(completions densora-cli "$cmd" "") - <<<"folder"
  else
    touch "input.${input##*.}"
    check "$cmd completes $input" diff <(completions densora-cli "$cmd" "" | sort) - \
      <<<"$(printf '%s\n' folder "input.${input##*.}" | sort)"
  fi
  # The output, where -o names one: files of its extension; every file for a FILE without
  # one.
  output=$(sed -n 's/.*-o \([^] ]*\).*/\1/p' <<<"$rest")
  if [[ $output == *.* ]]; then
    touch "output.${output##*.}"
    check "$cmd -o completes $output" diff <(completions densora-cli "$cmd" x -o "" | sort) - \
      <<<"$(printf '%s\n' folder "output.${output##*.}" | sort)"
  elif [ -n "$output" ]; then
    check "$cmd -o completes any file" diff <(completions densora-cli "$cmd" x -o "" | sort) - \
      <<<"$(ls -A | sort)"
  fi
done <<<"$usages"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
