#!/usr/bin/env bash
# Times `ruvo --obj-info` (read, fit, and the count of the normals the smoothing makes) against
# fast_obj, a public single-threaded OBJ reader, reading the same file: whole processes, in turn.
#   bench/fast_obj_side_by_side.sh [RUNS] [MODEL.obj]
# Without a model it writes ObjReaderBench's 1,000,000-triangle torus. fast_obj is the copy that
# Debian's meshoptimizer source carries (extern/fast_obj.h); it is fetched into a temporary folder
# with a ten-line driver and is never part of the build.
set -euo pipefail

runs=${1:-21}
build=${RUVO_BUILD:-build/default}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

model=${2:-$work/torus.obj}
if [[ ! -f $model ]]; then
    "$build/bench/ObjReaderBench" --write-torus="$model"
fi

source_url=http://deb.debian.org/debian/pool/main/m/meshoptimizer/meshoptimizer_0.18+dfsg.orig.tar.xz
curl -fsSL "$source_url" | tar -xJ -C "$work" --wildcards '*/extern/fast_obj.h'
cat > "$work/driver.c" <<'DRIVER'
#define FAST_OBJ_IMPLEMENTATION
#include "fast_obj.h"
#include <stdio.h>
int main(int argc, char** argv) {
    fastObjMesh* mesh = argc == 2 ? fast_obj_read(argv[1]) : 0;
    if (!mesh) return 1;
    printf("positions %u faces %u\n", mesh->position_count, mesh->face_count);
    fast_obj_destroy(mesh);
    return 0;
}
DRIVER
cc -O3 -I "$work"/meshoptimizer-*/extern "$work/driver.c" -o "$work/fast_obj_read" -lm

# Seconds of wall time of one run, its output thrown away.
wall() {
    local TIMEFORMAT=%R
    { time "$@" >/dev/null; } 2>&1
}

# Minimum and median of the numbers in a file, one per line.
summary() {
    sort -n "$1" | awk '{ v[NR] = $1 } END { printf "min %.3f s, median %.3f s", v[1], v[int((NR + 1) / 2)] }'
}

# Once each first, untimed: both warm, the file in the page cache, and a model either cannot read
# is said before anything is timed.
"$work/fast_obj_read" "$model" >/dev/null || { echo "fast_obj cannot read $model" >&2; exit 1; }
"$build/src/ruvo" --obj-info "$model" >/dev/null || { echo "ruvo cannot read $model" >&2; exit 1; }
for ((i = 0; i < runs; i++)); do
    wall "$work/fast_obj_read" "$model" >>"$work/fast_obj.times"
    wall "$build/src/ruvo" --obj-info "$model" >>"$work/ruvo.times"
done
echo "model: $model ($(stat -c %s "$model") bytes), $runs runs each, in turn"
echo "fast_obj read:     $(summary "$work/fast_obj.times")"
echo "ruvo --obj-info:   $(summary "$work/ruvo.times")"
