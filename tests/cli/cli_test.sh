#!/usr/bin/env bash
# End-to-end runs of daubix-cli: exit codes, messages and files. Usage: cli_test.sh DAUBIX_CLI FIXTURES
set -u
cli=$1
fixtures=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

check() { # check NAME EXPECTED_STATUS COMMAND...
    local name=$1 expected=$2
    shift 2
    "$@" >"$work/out" 2>"$work/err"
    local status=$?
    if [ "$status" -eq "$expected" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: $name: exit $status, expected $expected"
        cat "$work/err"
    fi
}
expect() { # expect NAME CONDITION...
    local name=$1
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $name"; fi
}

check "help" 0 "$cli" --help
expect "help names convert" grep -q "convert IN OUT" "$work/out"
check "version" 0 "$cli" --version
expect "version text" grep -q "^daubix-cli " "$work/out"
check "no command" 2 "$cli"
check "unknown command" 2 "$cli" frobnicate
check "convert with one name" 2 "$cli" convert "$fixtures/src.bmp"

check "convert" 0 "$cli" convert "$fixtures/src.bmp" "$work/a.bmp"
check "convert again" 0 "$cli" convert "$work/a.bmp" "$work/b.bmp"
expect "conversions are stable" cmp -s "$work/a.bmp" "$work/b.bmp"

check "missing input" 1 "$cli" convert "$work/none.bmp" "$work/c.bmp"
expect "missing input is named" grep -q "none.bmp" "$work/err"
expect "nothing written for a missing input" test ! -e "$work/c.bmp"

head -c 100 "$fixtures/src.bmp" >"$work/cut.bmp"
cp "$work/a.bmp" "$work/keep.bmp"
check "truncated input" 1 "$cli" convert "$work/cut.bmp" "$work/keep.bmp"
expect "truncation is reported" grep -q "truncated" "$work/err"
expect "the old output survives" cmp -s "$work/a.bmp" "$work/keep.bmp"
check "unsupported output type" 1 "$cli" convert "$fixtures/src.bmp" "$work/x.xyz"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
