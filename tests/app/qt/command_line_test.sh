#!/usr/bin/env bash
# The program's command line, run as a script would run it: with no display
# and no usable platform plugin.
#  - --help and --version exit 0; an unknown option or a wrong count of
#    files gives the usage and exit status 2;
#  - --apply writes the deformed picture in the format OUT's extension names,
#    and --out-dir each input under its own name; --quality N (1 to 100)
#    reaches the JPEG encoder; --resample overrides the grid file's choice;
#  - a malformed grid file, a picture of another size and an unreadable input
#    each give one line naming the fault on standard error, exit status 1,
#    and no output file.
# Usage: command_line_test.sh PROGRAM PICTURE   (PICTURE 640 x 480)
set -uo pipefail
source "$(dirname "$0")/../../support/script_test.sh" "$0" "$@"

# Runs the program without a display; sets status, out and err.
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=no-such-platform "$program" "$@" \
        >"$work/out" 2>"$work/err"
    status=$?
    out=$(cat "$work/out")
    err=$(cat "$work/err")
}
expect_status() {
    [[ $status -eq $1 ]] || fail "$2: exit status $status, not $1 (stderr: $err)"
}

run --help
expect_status 0 "--help"
[[ $out == *"--apply"* && $out == *"--out-dir"* ]] || fail "--help does not show --apply and --out-dir"
run --version
expect_status 0 "--version"
[[ $out == "plexor 0.1" ]] || fail "--version printed '$out'"
run --no-such-option
expect_status 2 "an unknown option"
[[ $err == *"Unknown option"* && $err == *"Usage: plexor"* ]] || fail "an unknown option gave '$err'"
run --apply "$work/g.grid" "$picture"
expect_status 2 "--apply with one file"

cat >"$work/g.grid" <<'GRID'
plexor-grid 1
# two points moved
size 640 480
step 48
point 3 3 20 -11
point 7 5 -30 30
GRID
run --apply "$work/g.grid" "$picture" "$work/out.png"
expect_status 0 "--apply to PNG"
[[ $(head -c 8 "$work/out.png" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] ||
    fail "out.png is not a PNG file"
mkdir "$work/dir"
cp "$picture" "$work/second.bmp"
run --apply "$work/g.grid" --out-dir "$work/dir" "$picture" "$work/second.bmp"
expect_status 0 "--out-dir"
cmp -s "$work/dir/second.bmp" "$work/dir/$(basename "$picture")" || fail "--out-dir did not write both pictures alike"
cmp -s "$work/dir/second.bmp" "$picture" && fail "--out-dir wrote the picture undeformed"

# --quality reaches the JPEG encoder: a lower one gives a smaller file.
run --apply "$work/g.grid" --quality 20 "$picture" "$work/low.jpg"
expect_status 0 "--quality 20"
[[ $err == "" ]] || fail "--quality 20 said '$err'"
run --apply "$work/g.grid" "$picture" "$work/standard.jpg"
expect_status 0 "JPEG at its own quality"
(($(stat -c %s "$work/low.jpg") < $(stat -c %s "$work/standard.jpg"))) ||
    fail "a JPEG at quality 20 is no smaller than one at 92"
for quality in 0 101 high; do
    run --apply "$work/g.grid" --quality "$quality" "$picture" "$work/never.jpg"
    expect_status 2 "--quality $quality"
    [[ $err == *"--quality takes a whole number from 1 to 100"* ]] || fail "--quality $quality gave '$err'"
done
run --quality 50 "$picture"
expect_status 2 "--quality without --apply"
[[ -e $work/never.jpg ]] && fail "a refused --quality left an output"

# --resample smooth gives what the grid file's own line gives, and not the
# exact picture; --resample exact overrides that line.
{ sed -n 1,3p "$work/g.grid"; echo "resample smooth"; sed -n '4,$p' "$work/g.grid"; } >"$work/smooth.grid"
run --apply "$work/g.grid" --resample smooth "$picture" "$work/smooth.bmp"
expect_status 0 "--resample smooth"
run --apply "$work/smooth.grid" "$picture" "$work/smooth-file.bmp"
expect_status 0 "a grid file with resample smooth"
cmp -s "$work/smooth.bmp" "$work/smooth-file.bmp" || fail "--resample smooth differs from the file's line"
run --apply "$work/smooth.grid" --resample exact "$picture" "$work/exact.bmp"
expect_status 0 "--resample exact"
run --apply "$work/g.grid" "$picture" "$work/exact-file.bmp"
cmp -s "$work/exact.bmp" "$work/exact-file.bmp" || fail "--resample exact does not override the file's line"
cmp -s "$work/exact.bmp" "$work/smooth.bmp" && fail "smooth and exact results are the same"
run --apply "$work/g.grid" --resample cubic "$picture" "$work/never.bmp"
expect_status 2 "--resample cubic"
[[ $err == *"--resample takes exact or smooth"* ]] || fail "--resample cubic gave '$err'"

printf 'plexor-grid 1\nsize 640 480\nstep 48\npoint 3 3 48 0\n' >"$work/far.grid"
run --apply "$work/far.grid" "$picture" "$work/far.png"
expect_status 1 "a point moved a whole step"
[[ $err == *"far.grid: line 4: point 3 3 moves a whole step"* ]] || fail "a point moved a whole step gave '$err'"
printf 'plexor-grid 1\nsize 320 240\nstep 48\n' >"$work/small.grid"
run --apply "$work/small.grid" --out-dir "$work/dir" "$picture" "$work/none.bmp"
expect_status 1 "a grid of another size and a missing picture"
[[ $(wc -l <"$work/err") -eq 2 && $err == *"line 2: the grid was made on a picture of 320 x 240"* &&
    $err == *"none.bmp: Cannot open file"* ]] || fail "another size and a missing picture gave '$err'"
[[ -e $work/far.png ]] && fail "a refused grid file left an output"

finish "command line"
