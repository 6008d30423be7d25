#!/usr/bin/env bash
# Installs the build into a temporary folder and checks what it installed as
# a desktop would use it (scripts/check-package): the desktop entry, the
# AppStream metainfo, the manual page, the icons and the program.
# Usage: installed_files_test.sh BUILD_FOLDER SOURCE_FOLDER
set -euo pipefail
if [[ $# -ne 2 ]]; then
    echo "usage: $0 BUILD_FOLDER SOURCE_FOLDER" >&2
    exit 2
fi
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
"$2/scripts/check-package" --installed "$prefix"
