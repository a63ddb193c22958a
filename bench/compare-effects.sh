#!/usr/bin/env bash
# Times the Image menu's effect commands as whole daubix-cli runs beside the programs they are usually
# measured by, each run on the same 4096 x 4096 24-bit picture, and prints a table of median seconds.
#
# Usage: bench/compare-effects.sh DAUBIX_CLI [STEP-NAME...]
# The inputs go to $DAUBIX_BENCH_DIR (default /dev/shm/daubix-effects); a memory-backed folder keeps the
# file reads and writes out of the figures. Each side runs $DAUBIX_BENCH_RUNS times (default 5) after one
# untimed run: on a virtual machine that hands freed memory back to its host, the first process to touch
# memory after a pause (or after the other program freed its own) pays for fresh pages, several tenths of
# a second for a picture of this size, which would time the machine rather than the program.
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 DAUBIX_CLI [STEP-NAME...]" >&2
    exit 2
fi
cli=$(realpath "$1")
shift
runs=${DAUBIX_BENCH_RUNS:-5}
dir=${DAUBIX_BENCH_DIR:-/dev/shm/daubix-effects}
# ImageMagick's own convert, not another program of that name earlier on the path.
convert=${DAUBIX_CONVERT:-/usr/bin/convert}
[ -x "$convert" ] || convert=convert
for tool in /usr/bin/time "$convert" vips; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is not installed" >&2; exit 1; }
done
mkdir -p "$dir"
cd "$dir"

# A private policy: the system's usually caps ImageMagick at 256 MiB, below what a 4096 x 4096 picture at
# 16 bits a channel takes, which would send it to a disk cache and time that instead.
policy=$(mktemp -d)
trap 'rm -rf "$policy"' EXIT
cat >"$policy/policy.xml" <<'EOF'
<policymap>
  <policy domain="resource" name="memory" value="4GiB"/>
  <policy domain="resource" name="map" value="8GiB"/>
  <policy domain="resource" name="area" value="2GP"/>
  <policy domain="resource" name="disk" value="16GiB"/>
</policymap>
EOF
export MAGICK_CONFIGURE_PATH=$policy

# A picture like a photograph (smooth gradients with fine noise, not random bytes), made once.
if [ ! -s in.bmp ] || [ ! -s in.v ]; then
    "$convert" -seed 7 -size 4096x4096 plasma: -type truecolor BMP3:in.bmp
    "$convert" in.bmp in.ppm
    vips copy in.ppm in.v
    rm -f in.ppm
fi
# The 256 halftone colours as pixels: an 8-bit image made by daubix-cli carries the palette, and its 16 x 16
# pixels (rows of 16 bytes, no padding) get the indices 0 .. 255.
if [ ! -s halftone.bmp ]; then
    "$cli" do --size 16x16 "Image > Pixel Format > 8 bit" --out palette.bmp
    offset=$(od -An -tu4 -j10 -N4 palette.bmp | tr -d ' ')
    {
        head -c "$offset" palette.bmp
        for i in $(seq 0 255); do printf "\\$(printf %03o "$i")"; done
    } >halftone.bmp
    rm -f palette.bmp
fi

remap="+dither -remap halftone.bmp"
ring="'5x5:1,1,1,1,1 1,0,0,0,1 1,0,0,0,1 1,0,0,0,1 1,1,1,1,1'"
# name | our step | the peer's command line | the target for our time over the peer's
rows=(
    "Grayscale|Image > Effects > Grayscale|$convert in.bmp -grayscale Rec601Luma out.bmp|0.5"
    "Invert|Image > Invert|$convert in.bmp -negate out.bmp|0.5"
    "Colors|Image > Colors > Swap RG|$convert in.bmp $remap out.bmp|0.5"
    "Trace|Image > Trace > Trace|$convert in.bmp $remap -edge 1 out.bmp|1"
    "Trace 5|Image > Trace > Trace 5|$convert in.bmp $remap -edge 1 out.bmp|5 Trace"
    "Normal Blur|Image > Blur > Normal Blur|$convert in.bmp -define convolve:scale='!' -morphology Convolve $ring out.bmp|0.5"
    "Gaussian Blur|Image > Blur > Gaussian Blur|$convert in.bmp -blur 0x2 out.bmp|0.5"
    "Gaussian Blur/vips|Image > Blur > Gaussian Blur|VIPS_CONCURRENCY=1 vips gaussblur in.v out.v 2|2"
    "Pixelize 10|Image > Pixelize > 10|$convert in.bmp -sample 10% -sample 1000% out.bmp|0.5"
    "Shadow|Image > Shadow > Down Right|$convert in.bmp \\( +clone -roll +4+4 \\) -compose Darken -composite out.bmp|0.5"
    "Spray|Image > Effects > Spray|$convert in.bmp -spread 15 out.bmp|0.5"
    "Copy|Options > Blocks > BlockPen|$convert in.bmp out.bmp|-"
)

# Prints "SECONDS KILOBYTES" of one run of the command line.
timed()
{
    /usr/bin/time -f "%e %M" -o time.txt sh -c "$1" >/dev/null 2>run.err || {
        echo "$0: failed: $1" >&2
        cat run.err >&2
        exit 1
    }
    cat time.txt
}
median()
{
    sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

printf "%-19s %9s %9s %9s %9s %7s %8s\n" "effect" "ours s" "peer s" "ours MB" "peer MB" "ratio" "target"
declare -A ourMedian
for row in "${rows[@]}"; do
    IFS='|' read -r name step peer target <<<"$row"
    if [ $# -gt 0 ] && ! printf '%s\n' "$@" | grep -qxF "$name"; then
        continue
    fi
    ours=() theirs=() ourMem=0 theirMem=0
    mine="'$cli' do --in in.bmp --out out.bmp '$step'"
    timed "$mine" >/dev/null
    for _ in $(seq "$runs"); do
        read -r s m < <(timed "$mine")
        ours+=("$s") ourMem=$m
    done
    timed "$peer" >/dev/null
    for _ in $(seq "$runs"); do
        read -r s m < <(timed "$peer")
        theirs+=("$s") theirMem=$m
    done
    o=$(printf '%s\n' "${ours[@]}" | median)
    t=$(printf '%s\n' "${theirs[@]}" | median)
    ourMedian[$name]=$o
    ratio=$(awk -v o="$o" -v t="$t" 'BEGIN { if (t > 0) printf "%.2f", o / t; else print "-" }')
    printf "%-19s %9s %9s %9d %9d %7s %8s\n" "$name" "$o" "$t" $((ourMem / 1024)) $((theirMem / 1024)) "$ratio" "$target"
done
if [ -n "${ourMedian[Trace]:-}" ] && [ -n "${ourMedian[Trace 5]:-}" ]; then
    awk -v a="${ourMedian[Trace 5]}" -v b="${ourMedian[Trace]}" \
        'BEGIN { if (b > 0) printf "Trace 5 takes %.2f times as long as Trace (target: at most 5)\n", a / b }'
fi
rm -f out.bmp out.v time.txt run.err
