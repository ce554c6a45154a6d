#!/bin/sh
# validate.sh desktop-file-validate|appstreamcli <file>
# Runs one validator on one file and fails on any error or warning it reports.
set -u
tool=$1
file=$2
if ! command -v "$tool" >/dev/null 2>&1; then
    echo "FAIL: $tool is not installed (Debian: desktop-file-utils / appstream); cannot validate $file" >&2
    exit 1
fi
case $tool in
desktop-file-validate)
    # It exits 0 on warnings, so its output decides.
    output=$(desktop-file-validate "$file" 2>&1)
    status=$?
    [ -n "$output" ] && echo "$output"
    if [ $status -ne 0 ] || echo "$output" | grep -Eq 'error:|warning:'; then
        echo "FAIL: $file is not a valid desktop entry" >&2
        exit 1
    fi
    ;;
appstreamcli)
    # --no-net: the homepage is not fetched, so the test runs offline.
    if ! appstreamcli validate --no-net --explain "$file"; then
        echo "FAIL: $file is not valid AppStream metadata" >&2
        exit 1
    fi
    ;;
*)
    echo "FAIL: unknown validator $tool" >&2
    exit 2
    ;;
esac
echo "OK: $file"
