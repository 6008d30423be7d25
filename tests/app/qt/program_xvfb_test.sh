#!/usr/bin/env bash
# Runs the real program under a virtual X server, driven as a user would:
#  1. with a picture named on the command line: the window fits itself to
#     the picture, and Ctrl+Q ends the program with status 0;
#     The picture is then first in the recent pictures that the program
#     keeps in the user's settings, in the standard place under
#     $XDG_CONFIG_HOME (a temporary folder here);
#  2. with a file that cannot be read: the error box appears, Enter closes
#     it, the empty window stays, and Ctrl+Q ends the program.
# Skips (status 77) where xvfb-run or xdotool is missing.
# Usage: program_xvfb_test.sh PROGRAM PICTURE   (PICTURE 640 x 480)
set -euo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: $0 PROGRAM PICTURE" >&2
    exit 2
fi
for tool in xvfb-run xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/deps installs it)"
        exit 77
    fi
done

# Runs inside the virtual server.
drive() {
    local program=$1 picture=$2

    fail() {
        echo "FAIL: $*" >&2
        kill "$pid" 2>/dev/null || true
        exit 1
    }
    # The first visible window whose whole title matches the expression $1.
    find_window() {
        local found=""
        for _ in $(seq 150); do
            found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
            [[ -n $found ]] && break
            sleep 0.1
        done
        echo "$found"
    }
    window_width() {
        local WIDTH=0
        eval "$(xdotool getwindowgeometry --shell "$1")"
        echo "$WIDTH"
    }
    # Waits for the program to end and checks its status.
    expect_exit() {
        for _ in $(seq 150); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$pid" 2>/dev/null && fail "Ctrl+Q did not end the program"
        local status=0
        wait "$pid" || status=$?
        [[ $status -eq 0 ]] || fail "the program ended with status $status"
    }
    press() {
        xdotool windowfocus --sync "$1"
        xdotool key --clearmodifiers "$2"
    }

    echo "-- a picture on the command line"
    "$program" "$picture" &
    pid=$!
    local window
    window=$(find_window "Plexor machine( - .*)?")
    [[ -n $window ]] || fail "no main window appeared"
    # Fitted to the 640-pixel picture: panel 41, picture, border 4.
    local width=0
    for _ in $(seq 100); do
        width=$(window_width "$window")
        [[ $width -eq 685 ]] && break
        sleep 0.1
    done
    [[ $width -eq 685 ]] || fail "the window is $width pixels wide, not 685: the picture was not opened"
    press "$window" ctrl+q
    expect_exit
    local settings="$XDG_CONFIG_HOME/plexor/plexor.conf"
    [[ -f $settings ]] || fail "no settings were kept in $settings"
    grep -q "^recentFiles=$(realpath -s "$picture")\$" "$settings" ||
        fail "the picture is not the recent picture in $settings: $(cat "$settings")"

    echo "-- a file that cannot be read"
    "$program" /nonexistent/picture.bmp &
    pid=$!
    local box
    box=$(find_window "Plexor")
    [[ -n $box ]] || fail "no error box appeared"
    press "$box" Return
    for _ in $(seq 50); do
        [[ -z $(xdotool search --onlyvisible --name '^Plexor$' 2>/dev/null || true) ]] && break
        sleep 0.1
    done
    window=$(find_window "Plexor machine( - .*)?")
    [[ -n $window ]] || fail "the main window is gone after the error"
    kill -0 "$pid" 2>/dev/null || fail "the program ended after the error"
    press "$window" ctrl+q
    expect_exit
    echo "PASS"
}

# The program must use the virtual server, whatever platform the other
# tests are told to use.
unset QT_QPA_PLATFORM

# The settings the program keeps go into a folder of the test's own.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

# A virtual server has no session bus. Without an address the D-Bus library
# tries to launch one, and that failure leaves a buffer the leak checker of
# a sanitized build reports: point it at no bus instead.
export DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-disabled:}"

# The server must not reset when the first program has gone, or the second
# may find it away. xvfb-run is a POSIX shell script, which passes no exported function on:
# the function travels as text.
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c "$(declare -f drive)"'; drive "$@"' drive "$1" "$2"
