#!/usr/bin/env bash
# densora-cli show over 10,000 tests against cat of the same files: the time of each (the
# best of three runs) as a ratio to cat's, and the most memory each held. Memory held per
# file is the growth from 1,000 files to 10,000, divided by the 9,000 files between: near 0
# when each file is let go of once it is shown.
#   cli_show_bench.sh BUILD-DIR
# Writes only under $DENSORA_BENCH_DIR (default /tmp/densora-bench).
set -euo pipefail
build=$(realpath "${1:-build}")
cli=$build/densora-cli
bench=${DENSORA_BENCH_DIR:-/tmp/densora-bench}
root=$bench/cli-show
# 20 projects of 5 T.I.P. numbers, 5 test types and 20 tests: 10,000 files.
"$build/bench/densora-make-projects" "$root" 20 >/dev/null
cd "$root"
times=$(mktemp)
trap 'rm -f "$times"' EXIT
mapfile -t all < <(find . -name '*.lng' | sort)
few=("${all[@]:0:1000}")
if [ "${#all[@]}" -ne 10000 ]; then
  echo "cli_show_bench: expected 10000 files under $root, found ${#all[@]}" >&2
  exit 1
fi

# "SECONDS KIB" of the best of three runs of the command (its output thrown away); the
# memory is the largest of the three.
measure() {
  local best='' rss=0 s m
  for _ in 1 2 3; do
    /usr/bin/time -o "$times" -f '%e %M' "$@" >/dev/null 2>&1
    read -r s m <"$times"
    if [ -z "$best" ] || awk -v a="$s" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$s; fi
    [ "$m" -gt "$rss" ] && rss=$m
  done
  echo "$best $rss"
}

cat "${all[@]}" >/dev/null # the files in the page cache before anything is timed
read -r cat_s cat_kib < <(measure cat "${all[@]}")
printf '%-30s %8s %8s %10s %14s\n' "10,000 files" seconds "× cat" "max KiB" "KiB per file"
printf '%-30s %8.2f %8.2f %10d %14s\n' cat "$cat_s" 1 "$cat_kib" -
for mode in show "show --json"; do
  # shellcheck disable=SC2086 # the mode is two words
  read -r s kib < <(measure "$cli" $mode "${all[@]}")
  # shellcheck disable=SC2086
  read -r _ few_kib < <(measure "$cli" $mode "${few[@]}")
  ratio=$(awk -v a="$s" -v b="$cat_s" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  per_file=$(awk -v a="$kib" -v b="$few_kib" 'BEGIN { printf "%.2f", (a - b) / 9000 }')
  printf '%-30s %8.2f %8s %10d %14s\n' "densora-cli $mode" "$s" "$ratio" "$kib" "$per_file"
done
