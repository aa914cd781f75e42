#!/bin/sh
# expect_exit.sh CODE PATTERN COMMAND...: COMMAND must exit with CODE and say PATTERN on stderr.
code=$1 pattern=$2
shift 2
err=$("$@" 2>&1 >/dev/null)
status=$?
printf '%s\n' "$err"
[ "$status" -eq "$code" ] || { echo "exit status $status, expected $code"; exit 1; }
printf '%s\n' "$err" | grep -q -- "$pattern" || { echo "stderr lacks: $pattern"; exit 1; }
