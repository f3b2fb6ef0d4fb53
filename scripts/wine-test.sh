#!/bin/sh
# Runs a Windows test program under Wine for CTest. Its output passes through files:
# a background service that Wine starts meanwhile inherits that output, and it must
# not hold CTest's pipe open once the program has ended.
out=$(mktemp) && err=$(mktemp) || exit 1
wine "$@" >"$out" 2>"$err"
rc=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $rc
