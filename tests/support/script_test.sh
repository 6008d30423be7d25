# What the shell-script tests share, sourced after `set -uo pipefail`: the
# check of their two arguments (PROGRAM PICTURE), a folder of their own
# that goes when they end, and the tally of failed checks.
# Usage: source script_test.sh "$0" "$@"

if [[ $# -ne 3 ]]; then
    echo "usage: $1 PROGRAM PICTURE" >&2
    exit 2
fi
program=$2
picture=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# Exits 1 after any failed check, else prints "$1: all checks passed".
finish() {
    if [[ $failures -ne 0 ]]; then
        exit 1
    fi
    echo "$1: all checks passed"
}
