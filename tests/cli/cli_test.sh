#!/usr/bin/env bash
# End-to-end runs of daubix-cli: exit codes, messages and files.
# Usage: cli_test.sh DAUBIX_CLI FIXTURES SOURCE_ROOT
set -u
cli=$1
fixtures=$2
root=$3
scripts=$root/tests/cli/fixtures
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

# The print preview of a black 40 x 30 image at scale 2 on a 500 x 400 page: a white 100 x 80 picture
# with black over (10, 10)-(10 + 80 div 5, 10 + 60 div 5).
check "a black image" 0 "$cli" do --size 40x30 --pen 000000 --brush 000000 "drag rectangle 0,0 40,30" \
    --out "$work/black.bmp"
check "print preview" 0 "$cli" apply PrintPreview:500,400,2 "$work/black.bmp" "$work/print-preview.bmp"
check "the preview expected" 0 "$cli" do --size 100x80 --pen 000000 --brush 000000 \
    "drag rectangle 10,10 26,22" --out "$work/print-expected.bmp"
expect "the preview is white with the image in its box" cmp -s "$work/print-preview.bmp" "$work/print-expected.bmp"
check "a page under 5 pixels a side" 1 "$cli" apply PrintPreview:4,400,2 "$work/black.bmp" "$work/x.bmp"
check "a scale under 1" 1 "$cli" apply PrintPreview:500,400,0 "$work/black.bmp" "$work/x.bmp"
check "printing needs a window" 2 "$cli" do "File > Print..."
check "list the effects" 0 "$cli" effects
expect "the list names Resample" grep -q "^Resample:filter,scale$" "$work/out"

# Scripts.
check "run figures" 0 "$cli" run "$scripts/turtle_figures.dxs" --out "$work/figures.bmp"
"$cli" convert "$scripts/turtle_figures.bmp" "$work/figures-reference.bmp"
expect "figures match the reference drawing" cmp -s "$work/figures.bmp" "$work/figures-reference.bmp"
check "run the example" 0 "$cli" run "$root/examples/rosette.dxs" --size 320x320 --out "$work/rosette.bmp"
check "the example's image reads back" 0 "$cli" convert "$work/rosette.bmp" "$work/rosette2.bmp"
printf 'pos 3 4 angle 90 down 7 2 go =' >"$work/state.dxs"
check "run with state" 0 "$cli" run "$work/state.dxs" --state
printf 'status: ready\nposition: 31\nturtle: 3 2 90 down\nstack: 7\n' >"$work/state.expected"
expect "state lists status, position, turtle and stack" cmp -s "$work/out" "$work/state.expected"
echo '5 6 +' | "$cli" run - --state >"$work/out" 2>&1
expect "a script from standard input" grep -qx "stack: 11" "$work/out"
printf 'go 10\r\nfoo 5' >"$work/bad.dxs"
cp "$work/figures.bmp" "$work/keep.bmp"
check "a failing script" 1 "$cli" run "$work/bad.dxs" --out "$work/keep.bmp"
expect "the failure names status and position" grep -qx "error at position 11: symbol foo is not defined" "$work/err"
expect "a failed run writes nothing" cmp -s "$work/figures.bmp" "$work/keep.bmp"
printf 'go 10\nfoo 5' >"$work/lf.dxs"
check "LF line breaks count as the editor's CR LF" 1 "$cli" run "$work/lf.dxs"
expect "positions count two per line break" grep -qx "error at position 11: symbol foo is not defined" "$work/err"
printf '[ r r ] r' >"$work/recurse.dxs"
check "endless recursion stops" 1 "$cli" run "$work/recurse.dxs"
expect "recursion overflows the stack" grep -q "stack overflow" "$work/err"
printf 'do 2000000000 1 drop loop' >"$work/long.dxs"
check "a timeout ends a long loop" 1 timeout 60 "$cli" run "$work/long.dxs" --timeout 0.5
expect "the timeout is reported" grep -q "run cancelled" "$work/err"
printf 'do 3 filter "trace" background "sky" loop' >"$work/requests.dxs"
check "host requests run headless" 0 "$cli" run "$work/requests.dxs"
expect "each request is noted once" test "$(grep -c 'background "sky" matches nothing' "$work/err")" -eq 1
expect "trace is run, not noted" test "$(grep -c 'trace' "$work/err")" -eq 0
check "a missing script" 1 "$cli" run "$work/none.dxs"
check "a bad size" 2 "$cli" run "$work/state.dxs" --size 100000x100000
check "both --in and --size" 2 "$cli" run "$work/state.dxs" --size 10x10 --in "$fixtures/src.bmp"
check "run on a loaded image" 0 "$cli" run "$work/state.dxs" --in "$fixtures/src.bmp" --out "$work/on-src.bmp"

# The Filters window's preview through apply, and through a script's "filter NAME".
ones=1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1
check "a quick filter" 0 "$cli" apply QuickFilter:userMatrix,And,7 "$fixtures/src.bmp" "$work/qf.bmp"
check "the grid of ones" 0 "$cli" apply UserMatrix:$ones "$fixtures/src.bmp" "$work/ones.bmp"
expect "red on UserMatrix runs the window's first grid" cmp -s "$work/qf.bmp" "$work/ones.bmp"
check "Drip with a seed" 0 "$cli" apply QuickFilter:Drip,Drip,Drip,40 "$fixtures/src.bmp" "$work/drip1.bmp" --seed 3
check "Drip with the same seed" 0 "$cli" apply QuickFilter:15,15,15,40 "$fixtures/src.bmp" "$work/drip2.bmp" --seed 3
expect "the seed fixes Drip" cmp -s "$work/drip1.bmp" "$work/drip2.bmp"
mkdir -p "$work/home"
check "a shipped preset" 0 env DAUBIX_HOME="$work/home" "$cli" apply FilterPreset:IDENTITY "$fixtures/src.bmp" \
    "$work/preset.bmp"
expect "the identity preset keeps the picture" cmp -s "$work/preset.bmp" "$work/src-again.bmp"
printf 'short=1,2,3\r\n' >>"$work/home/DaubixFL.txt"
for bad in QuickFilter:And,And,And,300 QuickFilter:And,Sharpen,And UserMatrix:${ones/1/x} FilterPreset:none \
    FilterPreset:short; do
    check "refused: $bad" 1 env DAUBIX_HOME="$work/home" "$cli" apply "$bad" "$fixtures/src.bmp" "$work/refused.bmp"
    expect "nothing written: $bad" test ! -e "$work/refused.bmp"
done
expect "a short preset says how short" grep -q 'preset "short" has 3 of 25 values' "$work/err"
printf 'filter "ShiftRight" filter "reduce"' >"$work/filter.dxs"
check "a script previews filters" 0 "$cli" run "$work/filter.dxs" --in "$fixtures/src.bmp" --out "$work/kept.bmp" \
    --preview-out "$work/previewed.bmp"
expect "the image stays until Use" cmp -s "$work/kept.bmp" "$work/src-again.bmp"
check "the same filter by apply" 0 "$cli" apply QuickFilter:Reduce,Reduce,Reduce "$fixtures/src.bmp" "$work/reduced.bmp"
expect "the last preview is written" cmp -s "$work/previewed.bmp" "$work/reduced.bmp"
printf 'filter "Sharpen"' >"$work/unknown-filter.dxs"
check "a name not in the list" 1 "$cli" run "$work/unknown-filter.dxs" --out "$work/unfiltered.bmp" \
    --preview-out "$work/unpreviewed.bmp"
expect "no preview, nothing written" test ! -e "$work/unpreviewed.bmp" -a ! -e "$work/unfiltered.bmp"

# Commands, toolbar items and gestures without a display.
check "do menu paths and a gesture" 0 "$cli" do --size 40x30 "Range > Select All" "penmodes > Xor" \
    "drag rectangle 5,5 20,15" --state --out "$work/do.bmp"
expect "state after do" grep -qx "range: 0,0,40,30" "$work/out"
expect "the popup item set the pen mode" grep -qx "penmode: Xor" "$work/out"
expect "the press is an undo step" grep -qx "undo: 3" "$work/out"
expect "the gesture modified the image" grep -qx "modified: yes" "$work/out"
expect "every state line is there" test "$(wc -l <"$work/out")" -eq 12
check "do writes its image" 0 "$cli" convert "$work/do.bmp" "$work/do2.bmp"
check "Undo after the gesture" 0 "$cli" do --size 40x30 "drag rectangle 5,5 20,15" goUndo --out "$work/undone.bmp"
"$cli" do --size 40x30 --out "$work/blank.bmp"
expect "Undo gives the blank image back" cmp -s "$work/undone.bmp" "$work/blank.bmp"
check "a gesture with modifiers" 0 "$cli" do --size 40x30 "drag line 7,8 right" "drag line 0,0 30,8 ctrl shift" \
    --out "$work/anchored.bmp"
check "the same line drawn from the anchor" 0 "$cli" do --size 40x30 "drag line 7,8 30,8" --out "$work/line.bmp"
expect "the right click anchors the next Ctrl+Shift press" cmp -s "$work/anchored.bmp" "$work/line.bmp"
check "answers in order, then the defaults" 0 "$cli" do --answer 9 --answer 4 "Options > Rounding..." \
    "setwidth > Other Size..." --state
expect "the second answer reached the width box" grep -qx "pen: 000000 4 Solid" "$work/out"
check "with no answer left a box takes its default" 0 "$cli" do --answer 6 "linewidth > Other Size..." \
    "linewidth > Other Size..." --state
expect "the default width is 1" grep -qx "pen: 000000 1 Solid" "$work/out"
check "clipboard in and out" 0 "$cli" do --clipboard "$fixtures/src.bmp" "Edit > Paste Image" \
    "Edit > Copy Image" --clipboard-out "$work/clip.bmp" --out "$work/pasted.bmp"
expect "the pasted image is the clipboard's" cmp -s "$work/clip.bmp" "$work/pasted.bmp"
check "an empty clipboard has nothing to write" 1 "$cli" do --clipboard-out "$work/none-clip.bmp"
expect "no clipboard file" test ! -e "$work/none-clip.bmp"
check "a message goes to stderr" 0 "$cli" do "Help > About"
expect "the message is marked" grep -q "^message: Kets Daubix 22i" "$work/err"
check "--pen, --brush, --width and --range" 0 "$cli" do --pen FF0000 --brush 00FF00 --width 4 --range 1,2,3,4 --state
expect "the options are in force" grep -qx "pen: FF0000 4 Solid" "$work/out"
expect "a brush colour makes the brush solid" grep -qx "brush: 00FF00 Solid" "$work/out"
cp "$work/do.bmp" "$work/keep-do.bmp"
check "an unknown step" 2 "$cli" do "Range > Select All" "Range > Nothing" --out "$work/keep-do.bmp"
expect "the unknown step is named" grep -q 'error: unknown step "Range > Nothing"' "$work/err"
expect "a failed do writes nothing" cmp -s "$work/do.bmp" "$work/keep-do.bmp"
check "a window's item" 2 "$cli" do "Image > Quick > Quick Effects..."
check "an item not built yet" 2 "$cli" do "File > Split Save > Vertical Split..."
expect "not built yet is said" grep -q "not available yet" "$work/err"
check "an unknown tool mode" 2 "$cli" do "drag nothing 1,1"
# Before anything is previewed the preview window's buttons are out of reach; its box is not.
check "the preview's box" 0 "$cli" do "TQuickPreviewF > transparent = on" "TQuickPreviewF > transparent = off"
check "the preview's box takes on or off" 2 "$cli" do "TQuickPreviewF > transparent = yes"
check "Use with nothing previewed" 2 "$cli" do "TQuickPreviewF > Use"
expect "the closed preview is named" grep -q "error: TQuickPreviewF is not showing" "$work/err"
check "Save... with nothing previewed" 2 "$cli" do --file "$work/frame.gif" "TQuickPreviewF > Save..."
expect "no frame" test ! -e "$work/frame1.gif"
# The Filters window's steps preview as apply does, and "Use" draws the picture.
check "Filters window steps, then Use" 0 "$cli" do --in "$fixtures/src.bmp" "TDaubixFLF > greenradio" \
    "TDaubixFLF > QFList = xor" "TDaubixFLF > trkred = 240" "TQuickPreviewF > Use" --state --out "$work/fl-use.bmp"
expect "Use is one undo step" grep -qx "undo: 3" "$work/out"
check "the same choices by apply" 0 "$cli" apply QuickFilter:Reduce,Xor,Reduce,240 "$fixtures/src.bmp" "$work/fl-apply.bmp"
expect "Use draws the preview" cmp -s "$work/fl-use.bmp" "$work/fl-apply.bmp"
check "a preview without Use" 0 "$cli" do --in "$fixtures/src.bmp" "TDaubixFLF > QFList = Xor" --out "$work/fl-kept.bmp"
expect "the image stays until Use" cmp -s "$work/fl-kept.bmp" "$work/src-again.bmp"
# The Quick Effects panel: its steps preview as apply QuickEffect does, and "Use" draws the picture.
check "Quick Effects steps, then Use" 0 "$cli" do --in "$fixtures/src.bmp" "TDaubixEffectsF > ETree = wings > fold" \
    "TDaubixEffectsF > extrabar = 30" "TDaubixEffectsF > EBar = 25" "TQuickPreviewF > Use" --state \
    --out "$work/qe-use.bmp"
expect "Use of the panel's picture is one undo step" grep -qx "undo: 3" "$work/out"
check "the same bars by apply" 0 "$cli" apply QuickEffect:20,25,30 "$fixtures/src.bmp" "$work/qe-apply.bmp"
expect "Use draws the panel's preview" cmp -s "$work/qe-use.bmp" "$work/qe-apply.bmp"
check "Smooth by apply" 0 "$cli" apply QuickEffect:7,20 "$fixtures/src.bmp" "$work/smooth.bmp"
expect "Smooth keeps every pixel" cmp -s "$work/smooth.bmp" "$work/src-again.bmp"
check "Random Ripple with a seed" 0 "$cli" apply QuickEffect:48,9 "$fixtures/src.bmp" "$work/ripple1.bmp" --seed 5
check "Random Ripple with the seed again" 0 "$cli" apply QuickEffect:48,9 "$fixtures/src.bmp" "$work/ripple2.bmp" \
    --seed 5
expect "the seed fixes the ripple's reseed" cmp -s "$work/ripple1.bmp" "$work/ripple2.bmp"
check "Blend with the clipboard" 0 "$cli" apply QuickEffect:52,100 "$fixtures/src.bmp" "$work/blend.bmp" \
    --clipboard "$work/smooth.bmp"
expect "Blend at 100 is the clipboard's picture" cmp -s "$work/blend.bmp" "$work/src-again.bmp"
"$cli" do --size 7x5 --out "$work/small.bmp"
for bad in QuickEffect:56,0 QuickEffect:11,54 QuickEffect:11,101 QuickEffect:0,5,0 QuickEffect:0,5,301 \
    QuickEffect:15,5,1,1 "QuickEffect:15,5,1,-1,0" QuickEffect:15,5,1,0,99999 QuickEffect:0,1e1 QuickEffect:x,0 \
    QuickEffect:52,50; do
    check "refused: $bad" 1 "$cli" apply "$bad" "$fixtures/src.bmp" "$work/qe-refused.bmp" --clipboard "$work/small.bmp"
    expect "nothing written: $bad" test ! -e "$work/qe-refused.bmp"
done
expect "a clipboard of another size is said" grep -q '"Blend" needs a clipboard picture' "$work/err"
check "an entry not in the tree" 2 "$cli" do "TDaubixEffectsF > ETree = Sharpen"
check "Blend with no clipboard" 1 "$cli" apply QuickEffect:52,50 "$fixtures/src.bmp" "$work/qe-noclip.bmp"
expect "no clipboard, nothing written" test ! -e "$work/qe-noclip.bmp"
check "an effect by its number" 0 "$cli" do --in "$fixtures/src.bmp" "TDaubixEffectsF > ETree = 20" \
    "TDaubixEffectsF > extrabar = 30" "TDaubixEffectsF > EBar = 25" "TQuickPreviewF > Use" --out "$work/qe-number.bmp"
expect "the number is the effect's, as apply takes it" cmp -s "$work/qe-number.bmp" "$work/qe-apply.bmp"
# The texture window: apply Texture sets size, noise, mono and colour in that order and tiles the image;
# every tile reseeds from the clock, which the seed fixes. A 24 x 16 BMP has rows of 72 bytes from byte 54.
"$cli" do --size 24x16 --out "$work/tex-in.bmp"
check "a texture with a seed" 0 "$cli" apply Texture:8,40,0,0x008080,5 "$work/tex-in.bmp" "$work/tex1.bmp"
check "the texture with the seed again" 0 "$cli" apply Texture:8,40,0,32896,5 "$work/tex-in.bmp" "$work/tex2.bmp"
expect "the seed fixes the tile" cmp -s "$work/tex1.bmp" "$work/tex2.bmp"
expect "the tile repeats across" cmp -s -n 48 -i 54:78 "$work/tex1.bmp" "$work/tex1.bmp"
expect "the tile repeats down" cmp -s -n 576 -i 54:630 "$work/tex1.bmp" "$work/tex1.bmp"
expect "the texture changed the image" test -n "$(cmp "$work/tex1.bmp" "$work/tex-in.bmp")"
check "--seed fixes the clock too" 0 "$cli" apply Texture:8,40,0,0x008080 "$work/tex-in.bmp" "$work/tex3.bmp" --seed 5
expect "as the seed argument does" cmp -s "$work/tex1.bmp" "$work/tex3.bmp"
check "the window's steps, then Use" 0 "$cli" do --in "$work/tex-in.bmp" --seed 5 --color FF0000 \
    "TTextureF > texsize = 8" "TTextureF > noisebar = 90" "TTextureF > mononoise = on" "TTextureF > gocolor" \
    "TTextureF > goUse" --state --out "$work/tex-do.bmp"
expect "Use is one undo step" grep -qx "undo: 3" "$work/out"
check "the same settings by apply" 0 "$cli" apply Texture:8,90,1,0x0000FF,5 "$work/tex-in.bmp" "$work/tex-apply.bmp"
expect "Use tiles what apply tiles" cmp -s "$work/tex-do.bmp" "$work/tex-apply.bmp"
check "sizes and amounts out of range" 0 "$cli" apply Texture:2,-200,0,0x008080,5 "$work/tex-in.bmp" "$work/tex-sub.bmp"
expect "the size is substituted with its message" grep -qxF $'message: Minimum Texture Size of\r  4 has been substituted' \
    "$work/err"
expect "the amount is substituted with its message" \
    grep -qxF $'message: Maximum Noise Amount of\r  100 has been substituted' "$work/err"
check "the substituted values by apply" 0 "$cli" apply Texture:4,100,0,0x008080,5 "$work/tex-in.bmp" "$work/tex-4.bmp"
expect "out-of-range values become 4 and 100" cmp -s "$work/tex-sub.bmp" "$work/tex-4.bmp"
for bad in Texture:8,40,2,0 Texture:eight,40,0,0 Texture:8,4x,0,0 Texture:8,40,0,0x1000000 Texture:8,40,0,red \
    Texture:8,40,0,0,-1 Texture:8,40; do
    check "refused: $bad" 1 "$cli" apply "$bad" "$work/tex-in.bmp" "$work/tex-refused.bmp"
    expect "nothing written: $bad" test ! -e "$work/tex-refused.bmp"
done
for bad in "noisebar = 101" "noisebar = -1" "texsize = 7" "texsize = 241" "mononoise = yes" "goNowhere"; do
    check "a texture step out of reach: $bad" 2 "$cli" do "TTextureF > $bad"
done
expect "an unknown button is named" grep -q "error: TTextureF has no button \"goNowhere\"" "$work/err"
check "the grid and Show" 0 "$cli" do --in "$fixtures/src.bmp" "TDaubixFLF > matrix = ${ones/1/3}" "TDaubixFLF > btnshow" \
    "TQuickPreviewF > Use" --out "$work/fl-grid.bmp"
check "the same grid by apply" 0 "$cli" apply "UserMatrix:${ones/1/3}" "$fixtures/src.bmp" "$work/fl-grid2.bmp"
expect "Show previews the grid" cmp -s "$work/fl-grid.bmp" "$work/fl-grid2.bmp"
check "a preset from the program folder" 0 env DAUBIX_HOME="$work/home" "$cli" do --in "$fixtures/src.bmp" \
    "TDaubixFLF > FilterPresets = Sharpen" "TQuickPreviewF > Use" --out "$work/fl-sharp.bmp"
check "the same preset by apply" 0 env DAUBIX_HOME="$work/home" "$cli" apply FilterPreset:sharpen "$fixtures/src.bmp" \
    "$work/fl-sharp2.bmp"
expect "choosing a preset previews it" cmp -s "$work/fl-sharp.bmp" "$work/fl-sharp2.bmp"
check "a preset added with an answer" 0 env DAUBIX_HOME="$work/home" "$cli" do --answer threes \
    "TDaubixFLF > matrix = ${ones/1/3}" "TDaubixFLF > FilterPresets > Add"
expect "the file holds the new preset" grep -qx "threes=3,${ones#1,}" "$work/home/DaubixFL.txt"
check "the window itself needs a display" 2 "$cli" do "Image > Quick > Quick Filter..."
check "a grid of two cells" 2 "$cli" do "TDaubixFLF > matrix = 1,2"
check "a cell that is no integer" 1 "$cli" do --in "$fixtures/src.bmp" "TDaubixFLF > matrix = ${ones/1/x}" \
    "TDaubixFLF > btnshow" --out "$work/fl-bad.bmp"
expect "the cell is named" grep -q "message: invalid integer in UserMatrix" "$work/err"
expect "nothing written for a bad cell" test ! -e "$work/fl-bad.bmp"
check "a bad option" 2 "$cli" do --color red "goUndo"
check "a colour with a sign" 2 "$cli" do --pen -00001
check "a range beyond int" 2 "$cli" do --range 99999999999,0,1,1
check "resample bilinearly" 0 "$cli" apply Bilinear:7,5 "$fixtures/src.bmp" "$work/bilinear.bmp"
check "a bilinear size of nothing" 1 "$cli" apply Bilinear:0,5 "$fixtures/src.bmp" "$work/none-bilinear.bmp"
expect "nothing written for a bad size" test ! -e "$work/none-bilinear.bmp"
check "a scroll-box drag" 0 "$cli" do --size 200x100 "scrollbox 250,50 403,10 shift" --state
expect "the drag resized the image" grep -qx "size: 400x200" "$work/out"
check "whirl, project, mirror and move from the menus" 0 "$cli" do --size 40x30 "drag ellipse 5,5 30,25" \
    "Image > Whirl > Wirl Wave 10" "Image > Projection > Globe" "Image > Mirror > Quad Top Left" \
    "Image > Move > Up" "Image > Flip > Down" --state
expect "the flip left eight bits" grep -qx "format: 8" "$work/out"
expect "every command was an undo step" grep -qx "undo: 8" "$work/out"
check "list the commands" 0 "$cli" commands
expect "the list names menu items without accelerators" grep -qx "Range > Select All" "$work/out"
expect "window items are marked" grep -qx "Help > Contents (window)" "$work/out"
expect "items not built yet are marked" grep -qx "File > Split Save > Vertical Split... (not available yet)" "$work/out"
check "a seed" 0 "$cli" do --seed 5 "goUndo"
check "a seed that is not a number" 2 "$cli" do --seed five "goUndo"
check "apply takes a seed" 0 "$cli" apply NoiseColor:40 "$fixtures/src.bmp" "$work/n1.bmp" --seed 3
check "apply again with the seed" 0 "$cli" apply NoiseColor:40 "$fixtures/src.bmp" "$work/n2.bmp" --seed 3
expect "seeded noise repeats" cmp -s "$work/n1.bmp" "$work/n2.bmp"
check "run takes a seed" 0 "$cli" run "$work/state.dxs" --seed 9

# Every format the Open table reads into every format the Save As table writes.
byte() { od -An -tu1 -j"$2" -N1 "$1" | tr -d ' '; }
word32() { od -An -tu4 -j"$2" -N4 "$1" | tr -d ' '; }
mkdir -p "$work/formats"
f=$work/formats
cp "$fixtures/src.bmp" "$f/in.bmp"
cp "$scripts/shapes.wmf" "$f/in.wmf"
cp "$scripts/shapes.emf" "$f/in.emf"
for ext in png jpg gif ico; do
    check "convert to $ext" 0 "$cli" convert "$f/in.bmp" "$f/in.$ext"
done
for from in bmp png jpg gif ico wmf emf; do
    for to in bmp png jpg gif ico tif; do
        check "convert $from to $to" 0 "$cli" convert "$f/in.$from" "$f/out-$from.$to"
        expect "$from to $to wrote a file" test -s "$f/out-$from.$to"
    done
done
expect "a metafile is drawn at its own size" test "$(word32 "$f/out-wmf.bmp" 18)" = 64
expect "the EMF bounds give its size" test "$(word32 "$f/out-emf.bmp" 22)" = 48
expect "an icon saved by extension has 256 colours" test "$(stat -c %s "$f/out-bmp.ico")" = 2238
expect "an icon read is 32 wide" test "$(word32 "$f/out-ico.bmp" 18)" = 32
check "icon stretch" 0 "$cli" convert "$f/in.ico" "$f/big.bmp" --icon-stretch
expect "a stretched icon is 256 wide" test "$(word32 "$f/big.bmp" 18)" = 256
check "upper-case extensions" 0 "$cli" convert "$f/in.bmp" "$f/case.Png"
expect "a .Png name writes a PNG" test "$(head -c 4 "$f/case.Png" | tail -c 3)" = PNG
expect "no key: colour type 2" test "$(byte "$f/out-bmp.png" 25)" = 2
check "transparent PNG" 0 "$cli" convert "$f/in.bmp" "$f/key.png" --png-transparent
expect "a key: colour type 6" test "$(byte "$f/key.png" 25)" = 6
expect "GIF87a without transparency" test "$(head -c 6 "$f/out-bmp.gif")" = GIF87a
check "transparent GIF" 0 "$cli" convert "$f/in.bmp" "$f/key.gif" --gif-transparent
expect "GIF89a with transparency" test "$(head -c 6 "$f/key.gif")" = GIF89a
check "JPEG quality" 0 "$cli" convert "$f/in.bmp" "$f/q90.jpg" --quality 90
expect "a higher quality makes a bigger file" test "$(stat -c %s "$f/q90.jpg")" -gt "$(stat -c %s "$f/out-bmp.jpg")"
for q in 0 101 x; do
    check "quality $q is refused" 2 "$cli" convert "$f/in.bmp" "$f/bad.jpg" --quality "$q"
done
check "unknown option" 2 "$cli" convert "$f/in.bmp" "$f/bad.jpg" --frobnicate
before=$(ls "$f" | wc -l)
check "unknown output extension" 1 "$cli" convert "$f/in.bmp" "$f/out.xyz"
check "no output extension" 1 "$cli" convert "$f/in.bmp" "$f/out"
check "only .tif names a TIFF" 1 "$cli" convert "$f/in.bmp" "$f/out.tiff"
check "TIFF is not read" 1 "$cli" convert "$f/out-bmp.tif" "$f/back.bmp"
head -c 60 "$f/in.png" >"$f/cut.png"
check "a damaged PNG" 1 "$cli" convert "$f/cut.png" "$f/cut.bmp"
expect "the PNG reader's message" grep -q "Error Reading File!" "$work/err"
expect "failures leave no file and no temporary" test "$(ls "$f" | wc -l)" = $((before + 1))
check "icon save headless" 0 "$cli" do --in "$f/in.bmp" --file "$f/saved" "Image > Icon > Save with 16 Colors..."
expect "a name without extension gets .ico, 16 colours" test "$(stat -c %s "$f/saved.ico")" = 766
check "icon save 256 headless" 0 "$cli" do --in "$f/in.bmp" --file "$f/saved256.ico" \
    "Image > Icon > Save with 256 Colors..."
expect "a 256-colour icon" test "$(stat -c %s "$f/saved256.ico")" = 2238
check "icon preview headless" 0 "$cli" do --in "$f/in.bmp" --range 1,1,2,2 "Image > Icon > Preview" --state
expect "the preview takes the whole image as the range" grep -q "range: 0,0," "$work/out"

check "the same picture saved at quality 10" 0 "$cli" convert "$f/in.bmp" "$f/q10.jpg" --quality 10
check "JPEG preview" 0 "$cli" apply JpegPreview:10,0 "$f/in.bmp" "$f/preview.bmp"
expect "Size= is the compressed file's size" grep -qx "Size=$(stat -c %s "$f/q10.jpg")" "$work/out"
check "the preview's picture is the saved file's" 0 "$cli" convert "$f/q10.jpg" "$f/q10.bmp"
expect "preview and file agree" cmp -s "$f/preview.bmp" "$f/q10.bmp"
check "JPEG preview needs a quality in range" 1 "$cli" apply JpegPreview:0,0 "$f/in.bmp" "$f/p0.bmp"
check "the JPEG preview needs its window" 2 "$cli" do --in "$f/in.bmp" --out "$f/no.bmp" "Image > Quick > Quick JPEG..."
expect "nothing is written for a window's item" test ! -e "$f/no.bmp"

# The File menu, headless.
check "File > New" 0 "$cli" do --answer 30 --answer 45 --out "$f/new.bmp" --state "File > New"
expect "New asks height then width" grep -q "^size: 45x30" "$work/out"
expect "New leaves the image saved" grep -q "modified: no" "$work/out"
check "New out of range" 1 "$cli" do --answer 0 --answer 45 --out "$f/new0.bmp" "File > New"
expect "New says the size is out of range" grep -q "message: Image size out of range" "$work/err"
expect "a failed step writes no --out" test ! -e "$f/new0.bmp"
check "File > New Banner" 0 "$cli" do --in "$f/in.bmp" --out "$f/banner.bmp" --state "File > New Banner"
expect "a banner is 468 x 60" grep -q "^size: 468x60" "$work/out"
check "File > Open" 0 "$cli" do --file "$f/in.ico" --out "$f/opened.bmp" --state "File > Open..."
expect "Open stretches icons as the program starts" grep -q "^size: 256x256" "$work/out"
check "Open a damaged file" 1 "$cli" do --file "$f/cut.png" --out "$f/o.bmp" "File > Open..."
expect "the reader's message" grep -q "message: Error Reading File!" "$work/err"
check "Open an unknown type" 1 "$cli" do --file "$f/in.xyz" --out "$f/o.bmp" "File > Open..."
expect "nothing was opened" grep -q "message: Unknown file type: nothing was opened." "$work/err"
check "Save As with an option" 0 "$cli" do --in "$f/in.bmp" --file "$f/saved.png" "Options > Transparent PNG" \
    "File > Save As..."
expect "the option applies" test "$(byte "$f/saved.png" 25)" = 6
check "Save As an unknown type" 1 "$cli" do --in "$f/in.bmp" --file "$f/saved.xyz" "File > Save As..."
expect "nothing was saved" test ! -e "$f/saved.xyz"
check "Save Pattern" 0 "$cli" do --in "$f/in.bmp" --file "$f/pattern.png" "File > Save Pattern..."
expect "a pattern is a 32 x 32 BMP" test "$(head -c 2 "$f/pattern.png")$(word32 "$f/pattern.png" 18)" = BM32
check "Open Pattern" 0 "$cli" do --in "$f/in.bmp" --file "$f/pattern.png" --out "$f/patterned.bmp" --state \
    "File > Open Pattern..."
expect "Open Pattern keeps the size" grep -q "^size: 20x14" "$work/out"

# The Image menu's effect commands and the toolbar's effects, headless.
e=$work/effects
mkdir -p "$e"
check "Invert" 0 "$cli" do --size 30x10 "Image > &Invert" --state --out "$e/invert.bmp"
expect "the trace settings start at 0 and 1" grep -qx "trace: 0 1" "$work/out"
expect "Invert is one undo step" grep -qx "undo: 3" "$work/out"
check "the trace settings from answers" 0 "$cli" do --answer 200 --answer 3 "Image > Trace > Color Byte" \
    "Image > Trace > Intensity" --state
expect "both settings taken" grep -qx "trace: 200 3" "$work/out"
check "answers out of range or not whole" 0 "$cli" do --answer 256 --answer 12abc "Image > Trace > Color Byte" \
    "Image > Trace > Intensity" --state
expect "both settings kept" grep -qx "trace: 0 1" "$work/out"
check "Trace on one colour" 0 "$cli" do --size 40x30 "Image > Trace > Trace 5" --state
expect "Trace on one colour leaves no step" grep -qx "undo: 2" "$work/out"
check "Trace and Trace Range" 0 "$cli" do --size 40x30 --pen 000000 --brush 000000 "drag rectangle 10,10 30,20" \
    --range 5,5,35,25 "Image > Trace > Trace &Range" "Image > Trace > Trace" --state --out "$e/traced.bmp"
expect "two steps after the gesture" grep -qx "undo: 5" "$work/out"
check "a checkerboard of two blocks" 0 "$cli" do --size 100x100 --pen FF0000 --brush 0000FF --answer 2 \
    "Options > Blocks > Blocks..." "Image > Effects > Checkerboard" --out "$e/board.bmp"
# Rows bottom up from byte 54, 300 bytes each, blue, green, red: the top row is the last.
expect "the first colour at the top left" test "$(byte "$e/board.bmp" 29756)$(byte "$e/board.bmp" 29754)" = 2550
expect "the second colour at the top right" test "$(byte "$e/board.bmp" 30051)$(byte "$e/board.bmp" 30053)" = 2550
check "Colors" 0 "$cli" do --in "$fixtures/src.bmp" "Image > Colors > Roll RGB" --state
expect "Colors leaves 8 bits" grep -qx "format: 8" "$work/out"
blur=1,1,1,1,1,1,0,0,0,1,1,0,0,0,1,1,0,0,0,1,1,1,1,1,1
for pair in "Image > Blur > Normal Blur=Convolve5x5:$blur" "Image > Blur > Gaussian Blur=GaussianBlur:4" \
    "effectspop > Lighter=Brightness:20" "seteffects > Darker=Darken:20" \
    "effectspop > More Contrast=Contrast:20" "Image > Effects > Anti Alias=AntiAlias"; do
    step=${pair%%=*}
    check "$step" 0 "$cli" do --in "$fixtures/src.bmp" "$step" --out "$e/step.bmp"
    check "its effect by apply" 0 "$cli" apply "${pair#*=}" "$fixtures/src.bmp" "$e/applied.bmp"
    expect "$step is its effect on the whole image" cmp -s "$e/step.bmp" "$e/applied.bmp"
done
for step in "Image > Effects > Grayscale" "Image > Effects > Spray" "Image > Shadow > Down Right" \
    "Image > Pixelize > 3" "Image > Effects > Dartboard" "Image > Effects > Bars > Vertical"; do
    check "$step" 0 "$cli" do --in "$fixtures/src.bmp" --answer 4 "Options > Blocks > Blocks..." "$step" --state
    expect "$step changed the image" grep -qx "modified: yes" "$work/out"
done
check "Pixelize beyond the size" 0 "$cli" do --size 19x40 "drag rectangle 2,2 10,10" "Image > Pixelize > 20" --state
expect "Pixelize beyond the size leaves no step" grep -qx "undo: 3" "$work/out"
printf 'filter "invert"' >"$e/invert.dxs"
check "a script's invert" 0 "$cli" run "$e/invert.dxs" --size 30x10 --out "$e/run-invert.bmp"
expect "a script's invert is the menu's" cmp -s "$e/run-invert.bmp" "$e/invert.bmp"
printf 'filter "invert" pos 25 2 down go 5' >"$e/after.dxs"
printf 'pos 25 2 down go 5 filter "invert"' >"$e/before.dxs"
check "drawing after invert" 0 "$cli" run "$e/after.dxs" --size 30x10 --out "$e/after.bmp"
check "drawing before invert" 0 "$cli" run "$e/before.dxs" --size 30x10 --out "$e/before.bmp"
expect "the turtle draws on the inverted image" cmp -s "$e/after.bmp" "$e/before.bmp"
expect "the turtle drew" test -n "$(cmp "$e/after.bmp" "$e/invert.bmp")"
printf 'filter "INVERT"' >"$e/capital.dxs"
check "INVERT is a filter list name" 0 "$cli" run "$e/capital.dxs" --size 30x10 --out "$e/capital.bmp"
expect "INVERT is not in the list" grep -q 'filter "INVERT" matches nothing' "$work/err"
"$cli" do --size 30x10 --out "$e/blank.bmp"
expect "INVERT leaves the image" cmp -s "$e/capital.bmp" "$e/blank.bmp"
printf 'filter "trace"' >"$e/trace.dxs"
check "a script's trace" 0 "$cli" run "$e/trace.dxs" --in "$fixtures/src.bmp" --out "$e/run-trace.bmp"
check "the menu's trace" 0 "$cli" do --in "$fixtures/src.bmp" "Image > Trace > Trace" --out "$e/menu-trace.bmp"
expect "a script's trace is the menu's" cmp -s "$e/run-trace.bmp" "$e/menu-trace.bmp"
printf 'filter "TRACE"' >"$e/capital-trace.dxs"
check "TRACE previews the filter list's Trace" 0 "$cli" run "$e/capital-trace.dxs" --in "$fixtures/src.bmp" \
    --out "$e/capital-trace.bmp" --preview-out "$e/trace-preview.bmp"
check "the list's Trace on red" 0 "$cli" apply QuickFilter:Trace,Reduce,Reduce "$fixtures/src.bmp" "$e/list-trace.bmp"
expect "TRACE is the list's filter" cmp -s "$e/trace-preview.bmp" "$e/list-trace.bmp"
expect "TRACE leaves the image" cmp -s "$e/capital-trace.bmp" "$work/src-again.bmp"

# Quick Backdrops: the window's steps, "Use", apply, the presets and a script's request by name.
q=$work/backdrops
mkdir -p "$q/home"
check "backdrop steps, then Use" 0 env DAUBIX_HOME="$q/home" "$cli" do --in "$fixtures/src.bmp" \
    "TDaubixQBF > greenradio = OUTER" "TDaubixQBF > blueradio = ProdProdSum" "TDaubixQBF > trkred = 7" \
    "TDaubixQBF > trkfactor = 40" "TDaubixQBF > Add Backdrop" --answer "my sky" "TQuickPreviewF > Use" --state \
    --out "$q/use.bmp"
expect "the state line" grep -qx "backdrop: 0,18,39,7,0,0,40" "$work/out"
expect "Use is one undo step" grep -qx "undo: 3" "$work/out"
expect "the preset is written" grep -qx "my sky=0,18,39,7,0,0,40" "$q/home/DaubixQB.txt"
check "the same by apply" 0 "$cli" apply Backdrop:0,18,39,7,0,0,40 "$fixtures/src.bmp" "$q/apply.bmp"
expect "Use draws the backdrop" cmp -s "$q/use.bmp" "$q/apply.bmp"
check "the preset chosen" 0 env DAUBIX_HOME="$q/home" "$cli" do --in "$fixtures/src.bmp" "TDaubixQBF > qbpresets = MY SKY" \
    "TQuickPreviewF > Use" --out "$q/chosen.bmp"
expect "the preset is the settings" cmp -s "$q/chosen.bmp" "$q/apply.bmp"
printf 'background "My Sky"' >"$q/sky.dxs"
check "a script asks for the preset" 0 env DAUBIX_HOME="$q/home" "$cli" run "$q/sky.dxs" --in "$fixtures/src.bmp" \
    --out "$q/run.bmp"
expect "the script draws the backdrop" cmp -s "$q/run.bmp" "$q/apply.bmp"
printf 'background "my"' >"$q/none.dxs"
check "a script asks for no preset" 0 env DAUBIX_HOME="$q/home" "$cli" run "$q/none.dxs" --in "$fixtures/src.bmp" \
    --out "$q/none.bmp"
expect "no preset leaves the image" cmp -s "$q/none.bmp" "$work/src-again.bmp"
for bad in Backdrop:41,0,0,0,0,0,255 Backdrop:0,-1,0,0,0,0,255 Backdrop:0,0,0,256,0,0,255 Backdrop:0,0,0,0,0,0,15 \
    Backdrop:0,0,0,0,0,0,0 Backdrop:0,0,0,0,0,0 Backdrop:x,0,0,0,0,0,255; do
    check "refused: $bad" 1 "$cli" apply "$bad" "$fixtures/src.bmp" "$q/refused.bmp"
    expect "nothing written: $bad" test ! -e "$q/refused.bmp"
done
for bad in "TDaubixQBF > trkfactor = 15" "TDaubixQBF > trkred = 256" "TDaubixQBF > redradio = Prods"; do
    check "refused: $bad" 2 "$cli" do "$bad"
done
check "Update without a preset" 0 env DAUBIX_HOME="$q/home" "$cli" do "TDaubixQBF > Update Backdrop"
expect "Update says so" grep -qx "message: No item selected!" "$work/err"
printf 'b=1,2,3,4,x,6,7\nmy sky=0,18,39,7,0,0,40\n' >"$q/home/DaubixQB.txt"
check "a bad preset chosen" 0 env DAUBIX_HOME="$q/home" "$cli" do "TDaubixQBF > qbpresets = b" --state
expect "a bad preset says so" grep -qx "message: Error in Presets" "$work/err"
expect "what was read stays" grep -qx "backdrop: 1,2,3,4,0,0,255" "$work/out"
check "a preset added through the drop-down's menu" 0 env DAUBIX_HOME="$q/home" "$cli" do --answer a \
    "TDaubixQBF > qbpresets > Add Backdrop" "TDaubixQBF > qbpresets = my sky" "TDaubixQBF > Delete Backdrop"
expect "added in its place, the chosen one deleted" test "$(cat "$q/home/DaubixQB.txt")" = "$(printf 'a=0,0,0,0,0,0,255\nb=1,2,3,4,x,6,7')"
printf 'background "b"' >"$q/bad.dxs"
check "a script asks for a bad preset" 0 env DAUBIX_HOME="$q/home" "$cli" run "$q/bad.dxs" --size 9x9 --state
expect "a bad preset changes nothing" grep -q 'background "b" matches nothing' "$work/err"
rm "$q/home/DaubixQB.txt"
mkdir "$q/home/DaubixQB.txt"
check "an unreadable preset file" 1 env DAUBIX_HOME="$q/home" "$cli" do --answer c "TDaubixQBF > Add Backdrop"
expect "an unreadable preset file is said" grep -q "message: .*DaubixQB.txt" "$work/err"
expect "an unreadable preset file stays" test -d "$q/home/DaubixQB.txt"

# The Script menu headless: the editor in memory, the library in the program folder.
k=$work/scripts
mkdir -p "$k/home"
check "Ctrl+Alt types the point into the editor" 0 "$cli" do --size 200x200 --file "$k/o.dxs" "Script > View Editor" \
    "drag line 120,45 ctrl alt" "Script > Save As" --state
expect "the point is saved" test "$(cat "$k/o.dxs")" = "120 45 "
expect "no tool drew" grep -qx "undo: 2" "$work/out"
check "hidden, Ctrl+Alt types nothing" 0 "$cli" do --size 200x200 --file "$k/hidden" "drag line 120,45 ctrl alt" \
    "Script > Save As"
expect "the file gets .dxs" test "$(cat "$k/hidden.dxs")" = ""
printf 'pos 5 5 down go 20\r\nright 90 go 10\r\nfoo\r\n' >"$k/error.dxs"
check "a script error is told and the steps go on" 0 "$cli" do --size 40x40 --file "$k/error.dxs" "Script > Open..." \
    "Script > Run" "Range > Select All" --state --out "$k/drawn.bmp"
expect "the error is told" grep -qx "message: symbol foo is not defined" "$work/err"
expect "the run is one undo step" grep -qx "undo: 3" "$work/out"
check "the same script by run" 1 "$cli" run "$k/error.dxs" --size 40x40
printf 'do 2000000000 go 1 loop' >"$k/long.dxs"
check "a long run stops at the timeout" 0 timeout 60 "$cli" do --size 20x20 --timeout 0.3 --file "$k/long.dxs" \
    "Script > Open..." "Script > Run"
expect "the stop is told" grep -qx "message: run cancelled" "$work/err"
check "Add, select and Run Item" 0 env DAUBIX_HOME="$k/home" "$cli" do --size 40x40 --file "$k/error.dxs" \
    "Script > Open..." "editor-select 0,34" "Script > Add" --answer "two lines" "library-select two lines" \
    "Script > Run Item" --out "$k/item.bmp"
expect "the entry is stored with ~~" grep -q "^two lines=pos 5 5 down go 20~~right 90 go 10" "$k/home/DaubixLib.tip"
expect "Run Item draws what Run drew" cmp -s "$k/item.bmp" "$k/drawn.bmp"
check "the double-click inserts the entry" 0 env DAUBIX_HOME="$k/home" "$cli" do --file "$k/inserted.dxs" \
    "library-select two lines" "library-insert" "Script > Save As"
expect "the entry's script with its breaks" test "$(cat "$k/inserted.dxs")" = "$(printf 'pos 5 5 down go 20\r\nright 90 go 10')"
check "no such entry" 2 env DAUBIX_HOME="$k/home" "$cli" do "library-select nothing"
check "a bad selection" 2 "$cli" do "editor-select 3"

# Range > Logic, Border and Tile as steps.
check "Logic And Green on a range" 0 "$cli" do --size 20x10 --brush 7F9FBF --range 0,0,19,9 "Range > Erase" \
    "Range > Logic > And > Green" --state --out "$work/logic.bmp"
expect "Logic is one undo step" grep -qx "undo: 4" "$work/out"
check "Logic Xor User with a colour" 0 "$cli" do --size 20x10 --range 2,2,8,8 --color 00FF00 \
    "Range > Logic > Xor > User" "Range > Tile > Diagonal" "Range > Border > All" --out "$work/logic2.bmp"
check "Tile with a reversed range changes nothing" 0 "$cli" do --size 20x10 --range 8,8,2,2 "Range > Tile > All" --state
expect "nothing stored" grep -qx "undo: 2" "$work/out"
check "the bump editor's picture" 0 "$cli" apply BumperPicture:1,1,51,11 "$fixtures/src.bmp" "$work/bump.bmp"
check "a range over 50 for the bump editor" 1 "$cli" apply BumperPicture:0,0,51,11 "$fixtures/src.bmp" "$work/bump2.bmp"
expect "too large is said" grep -q "selection too large (>50)!" "$work/err"
expect "nothing written when too large" test ! -e "$work/bump2.bmp"
check "Assign To steps headless" 0 "$cli" do --size 60x60 --range 0,0,70,10 "Range > Assign To > Bumper" \
    "Range > Assign To > Quick Button"
expect "the step says too large" grep -qx "message: selection too large (>50)!" "$work/err"

if command -v tifftopnm >/dev/null && command -v bmptopnm >/dev/null; then
    bmptopnm "$f/in.bmp" >"$f/in.ppm" 2>/dev/null
    tifftopnm "$f/out-bmp.tif" >"$f/tif.ppm" 2>/dev/null
    expect "tifftopnm reads our TIFF as the picture" cmp -s "$f/in.ppm" "$f/tif.ppm"
fi

# A texture as large as the image is its tile; netpbm's plain tiling of that tile is what Use paints.
if command -v pnmtile >/dev/null && command -v bmptopnm >/dev/null; then
    "$cli" do --size 37x37 --out "$work/tex-37.bmp"
    "$cli" do --size 100x90 --out "$work/tex-100.bmp"
    "$cli" apply Texture:37,60,1,0x336699,8 "$work/tex-37.bmp" "$work/tex-tile.bmp"
    "$cli" apply Texture:37,60,1,0x336699,8 "$work/tex-100.bmp" "$work/tex-tiled.bmp"
    bmptopnm "$work/tex-tile.bmp" >"$work/tex-tile.ppm" 2>/dev/null
    bmptopnm "$work/tex-tiled.bmp" >"$work/tex-tiled.ppm" 2>/dev/null
    pnmtile 100 90 "$work/tex-tile.ppm" >"$work/tex-peer.ppm"
    expect "Use tiles as pnmtile does" cmp -s "$work/tex-tiled.ppm" "$work/tex-peer.ppm"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
