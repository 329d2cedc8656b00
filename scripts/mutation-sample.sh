#!/usr/bin/env bash
# A mutation sample: applies each one-line fault of scripts/mutations.txt on
# its own, rebuilds the unit tests incrementally, runs them, and prints a
# table of which faults the tests caught (and the first test that failed).
#
#   scripts/mutation-sample.sh [--build DIR] [--timeout SECONDS] [--list FILE]
#                              [--shards N] [--out FILE] [LABEL-SUBSTRING...]
#
# The tests run in N shards side by side (4 by default): most of their time
# is spent waiting on threads, timers and child processes.
# The build folder (default build-mutation/) is the script's own. The file a
# fault is applied to is restored afterwards, also when the run is
# interrupted. A fault whose run exceeds the timeout counts as caught (the
# tests hung); one that does not compile is reported as such and counts as
# neither.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-mutation
list=$root/scripts/mutations.txt
limit=600
shards=4
out=
filters=()
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$2; shift 2 ;;
    --timeout) limit=$2; shift 2 ;;
    --shards) shards=$2; shift 2 ;;
    --list) list=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    -h|--help) sed -n 2,16p "$0"; exit 0 ;;
    *) filters+=("$1"); shift ;;
  esac
done

work=$(mktemp -d)
backup=
target=
restore() {
  if [ -n "$backup" ] && [ -f "$backup" ]; then
    cp "$backup" "$target"  # a fresh mtime, so the next build recompiles it
    rm -f "$backup"
  fi
  backup=
}
cleanup() {
  restore
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

build_tests() {
  cmake --build "$build" --target vantrel_tests </dev/null >"$work/build.log" 2>&1
}

run_tests() {  # the shards' output into $work/test.log; the worst shard's status
  local status=0 pids=() i
  for ((i = 0; i < shards; i++)); do
    (cd "$build/tests" && GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$i \
       timeout --kill-after=10 "$limit" ./vantrel_tests --gtest_brief=1 \
       </dev/null >"$work/shard$i.log" 2>&1) &
    pids+=($!)
  done
  for i in "${!pids[@]}"; do
    local code=0
    wait "${pids[$i]}" || code=$?
    # A timeout outranks a failure, which outranks success.
    if [ $code = 124 ] || [ $code = 137 ]; then status=124
    elif [ $code != 0 ] && [ $status = 0 ]; then status=$code; fi
  done
  cat "$work"/shard*.log >"$work/test.log"
  return $status
}

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
echo "building the unmutated tests in $build ..." >&2
build_tests || { cat "$work/build.log" >&2; exit 1; }
run_tests || { tail -n 40 "$work/test.log" >&2; echo "the unmutated tests fail" >&2; exit 1; }

# file, original, replacement, label: one fault per line, tab separated.
apply() {
  python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, original, replacement = sys.argv[1:4]
text = open(path, encoding="utf-8").read()
if text.count(original) != 1:
    sys.exit(f"{path}: the original text occurs {text.count(original)} times")
open(path, "w", encoding="utf-8").write(text.replace(original, replacement))
EOF
}

table=$work/table.md
{
  echo "| # | fault | file | result | first failing test |"
  echo "|---|---|---|---|---|"
} >"$table"
number=0 caught=0 missed=0 broken=0
while IFS=$'\t' read -r file original replacement label <&3; do
  [ -z "$file" ] || [ "${file:0:1}" = "#" ] && continue
  number=$((number + 1))
  if [ ${#filters[@]} -gt 0 ]; then
    keep=0
    for f in "${filters[@]}"; do [[ $label == *"$f"* ]] && keep=1; done
    [ $keep = 1 ] || continue
  fi
  target=$root/$file
  backup=$work/backup
  cp "$target" "$backup"
  if ! apply "$target" "$original" "$replacement" 2>"$work/apply.log"; then
    restore
    result="not applied ($(cat "$work/apply.log"))" first=
    broken=$((broken + 1))
  elif ! build_tests; then
    restore
    result="does not build" first=
    broken=$((broken + 1))
  else
    status=0
    run_tests || status=$?
    restore
    first=$(grep -m1 -oE '^\[  FAILED  \] [A-Za-z0-9_/.]+' "$work/test.log" | sed 's/^\[  FAILED  \] //' || true)
    failures=$( (grep -oE '^\[  FAILED  \] [A-Za-z0-9_/.]+' "$work/test.log" || true) | sort -u | wc -l)
    if [ $status = 0 ]; then
      result="NOT CAUGHT" first=
      missed=$((missed + 1))
    elif [ $status = 124 ] || [ $status = 137 ]; then
      result="caught (timeout)"
      caught=$((caught + 1))
    elif [ -n "$first" ]; then
      result="caught ($failures failed)"
      caught=$((caught + 1))
    else
      result="caught (exit $status)"
      first=$(tail -n 1 "$work/test.log" | cut -c1-60)
      caught=$((caught + 1))
    fi
  fi
  line="| $number | $label | \`$file\` | $result | ${first:+\`$first\`} |"
  echo "$line" >>"$table"
  echo "$line" >&2
done 3<"$list"

echo "rebuilding the unmutated tests ..." >&2
build_tests || true
{
  echo
  echo "caught $caught, not caught $missed, not run $broken"
} >>"$table"
cat "$table"
[ -z "$out" ] || cp "$table" "$out"
