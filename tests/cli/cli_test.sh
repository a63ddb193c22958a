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

check "apply an effect" 0 "$cli" apply GaussianBlur:1 "$fixtures/src.bmp" "$work/blur.bmp"
check "apply reads its result back" 0 "$cli" convert "$work/blur.bmp" "$work/blur2.bmp"
check "apply a convolution" 0 "$cli" apply Convolve5x5:0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,0,0,0,0,0,0,0,0,0 \
    "$fixtures/src.bmp" "$work/identity.bmp"
"$cli" convert "$fixtures/src.bmp" "$work/src-again.bmp"
expect "an identity kernel changes nothing" cmp -s "$work/identity.bmp" "$work/src-again.bmp"
check "apply an unknown effect" 1 "$cli" apply Sharpen "$fixtures/src.bmp" "$work/x.bmp"
expect "the unknown effect is named" grep -q "Sharpen" "$work/err"
check "apply with a bad argument" 1 "$cli" apply Mosaic:big "$fixtures/src.bmp" "$work/x.bmp"
expect "nothing written after a bad argument" test ! -e "$work/x.bmp"
check "apply with too few words" 2 "$cli" apply Emboss "$fixtures/src.bmp"
check "list the effects" 0 "$cli" effects
expect "the list names Resample" grep -q "^Resample:filter,scale$" "$work/out"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
