#!/usr/bin/env bash
# --apply for batches: two processes at once into one --out-dir, one taking
# its pictures from a list file, the other from standard input, each with
# its own --threads; then two writing the same names at once. Every result
# must be whole, the bytes a single --apply writes for the picture; no
# temporary file may be left; a picture that cannot be read costs its own
# process one line on standard error and exit status 1, and nothing else.
# Usage: apply_batch_test.sh PROGRAM PICTURE   (PICTURE 640 x 480)
set -uo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: $0 PROGRAM PICTURE" >&2
    exit 2
fi
program=$1
picture=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
apply() {
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=no-such-platform "$program" --apply "$work/g.grid" "$@"
}
# Every picture of the batch in out/, as the single run wrote it, and
# nothing else there.
check_results() {
    for name in "${names[@]}"; do
        cmp -s "$work/expected.bmp" "$work/out/$name" || fail "$1: $name is not the whole result"
    done
    local entries
    entries=$(ls -A "$work/out" | wc -l)
    [[ $entries -eq ${#names[@]} ]] || fail "$1: $entries files in the folder, not ${#names[@]}: $(ls -A "$work/out")"
}

printf 'plexor-grid 1\nsize 640 480\nstep 48\npoint 3 3 20 -11\npoint 7 5 -30 30\npoint 9 6 47 -47\n' >"$work/g.grid"
apply "$picture" "$work/expected.bmp" || fail "a single --apply"
mkdir "$work/in" "$work/out"
names=()
for i in $(seq 1 16); do
    name="picture $i.bmp"
    cp "$picture" "$work/in/$name"
    names+=("$name")
done
printf "$work/in/%s\n" "${names[@]:0:8}" >"$work/first.list"
printf "$work/in/%s\n" "${names[@]:8}" "missing.bmp" >"$work/second.list"

apply --out-dir "$work/out" --threads 1 --files-from "$work/first.list" 2>"$work/err1" &
first=$!
apply --out-dir "$work/out" --threads 2 --files-from - <"$work/second.list" 2>"$work/err2" &
second=$!
wait $first
status1=$?
wait $second
status2=$?
[[ $status1 -eq 0 && ! -s $work/err1 ]] || fail "the first process: status $status1, '$(cat "$work/err1")'"
[[ $status2 -eq 1 && $(wc -l <"$work/err2") -eq 1 && $(cat "$work/err2") == *"missing.bmp: Cannot open file"* ]] ||
    fail "the second process: status $status2, '$(cat "$work/err2")'"
check_results "two halves"

# Both processes over every name at once: whichever renames last, each
# file is whole.
rm -f "$work"/out/*
cat "$work/first.list" "$work/second.list" | grep -v missing >"$work/all.list"
apply --out-dir "$work/out" --threads 1 --files-from "$work/all.list" 2>"$work/err1" &
first=$!
apply --out-dir "$work/out" --threads 1 --files-from - <"$work/all.list" 2>"$work/err2" &
second=$!
wait $first
status1=$?
wait $second
status2=$?
[[ $status1 -eq 0 && $status2 -eq 0 ]] || fail "the same names: $status1 $status2, '$(cat "$work/err1" "$work/err2")'"
check_results "the same names"

apply --out-dir "$work/out" --threads 0 "$picture" 2>/dev/null
[[ $? -eq 2 ]] || fail "--threads 0 is not a usage error"
apply --files-from "$work/all.list" "$picture" "$work/x.bmp" 2>/dev/null
[[ $? -eq 2 ]] || fail "--files-from without --out-dir is not a usage error"

if [[ $failures -ne 0 ]]; then
    exit 1
fi
echo "apply batch: all checks passed"
