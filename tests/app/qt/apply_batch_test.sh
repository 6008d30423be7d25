#!/usr/bin/env bash
# --apply for batches: two processes at once into one --out-dir, one taking
# its pictures from a list file, the other from standard input, each with
# its own --threads; then two writing the same names at once. Every result
# must be whole, the bytes a single --apply writes for the picture; no
# temporary file may be left; a picture that cannot be read costs its own
# process one line on standard error and exit status 1, and nothing else.
# Usage: apply_batch_test.sh PROGRAM PICTURE   (PICTURE 640 x 480)
set -uo pipefail
source "$(dirname "$0")/../../support/script_test.sh" "$0" "$@"

apply() {
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=no-such-platform "$program" --apply "$work/g.grid" "$@"
}
# Runs a process taking the list $1 from a file with --threads $2 and one
# taking the list $3 from standard input with --threads $4, both at once
# into out/; sets status1, status2, err1 and err2.
apply_both() {
    apply --out-dir "$work/out" --threads "$2" --files-from "$1" 2>"$work/err1" &
    local first=$!
    apply --out-dir "$work/out" --threads "$4" --files-from - <"$3" 2>"$work/err2" &
    local second=$!
    wait $first
    status1=$?
    wait $second
    status2=$?
    err1=$(cat "$work/err1")
    err2=$(cat "$work/err2")
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
    names+=("picture $i.bmp")
    cp "$picture" "$work/in/picture $i.bmp"
    echo "$work/in/picture $i.bmp" >>"$work/all.list"
done
head -n 8 "$work/all.list" >"$work/first.list"
(tail -n 8 "$work/all.list" && echo missing.bmp) >"$work/second.list"

apply_both "$work/first.list" 1 "$work/second.list" 2
[[ $status1 -eq 0 && -z $err1 ]] || fail "the first process: status $status1, '$err1'"
[[ $status2 -eq 1 && $(wc -l <"$work/err2") -eq 1 && $err2 == *"missing.bmp: Cannot open file"* ]] ||
    fail "the second process: status $status2, '$err2'"
check_results "two halves"

# Both over every name at once: whichever renames last, each file is whole.
rm -f "$work"/out/*
apply_both "$work/all.list" 1 "$work/all.list" 1
[[ $status1 -eq 0 && $status2 -eq 0 ]] || fail "the same names: $status1 $status2, '$err1' '$err2'"
check_results "the same names"

apply --out-dir "$work/out" --threads 0 "$picture" 2>/dev/null
[[ $? -eq 2 ]] || fail "--threads 0 is not a usage error"
apply --files-from "$work/all.list" "$picture" "$work/x.bmp" 2>/dev/null
[[ $? -eq 2 ]] || fail "--files-from without --out-dir is not a usage error"

finish "apply batch"
