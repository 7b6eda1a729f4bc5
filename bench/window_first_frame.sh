#!/usr/bin/env bash
# window_first_frame.sh [RUNS] [RUVO]: how long the desktop program takes from its start to the
# first frame it shows, whole processes, each on a display of its own (scripts/with-display).
# A small library preloaded into the program notes the first buffer swap of its window (the
# frame that shows the body), prints the time since the program was started and ends it.
# Prints every run and the median, in milliseconds. Run it from the project folder.
set -euo pipefail
runs=${1:-11}
ruvo=${2:-build/default/src/ruvo}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/shim.c" <<'SHIM'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>
typedef void (*SwapFunction)(void*, unsigned long);
void glXSwapBuffers(void* display, unsigned long drawable) {
    SwapFunction real = (SwapFunction)dlsym(RTLD_NEXT, "glXSwapBuffers");
    if (!real) {
        void* gl = dlopen("libGLX.so.0", RTLD_LAZY);
        real = gl ? (SwapFunction)dlsym(gl, "glXSwapBuffers") : NULL;
    }
    if (real) {
        real(display, drawable);
    }
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const char* start = getenv("RUVO_FIRST_FRAME_START");
    const double begun = start ? atof(start) : 0;
    fprintf(stderr, "first-frame-ms %.1f\n", (now.tv_sec + now.tv_nsec * 1e-9 - begun) * 1000.0);
    fflush(stderr);
    _exit(0);
}
SHIM
cc -O2 -shared -fPIC -o "$work/shim.so" "$work/shim.c" -ldl
times=()
for _ in $(seq "$runs"); do
    # The clock starts once the display is up, just before the program.
    line=$("$root/scripts/with-display" bash -c \
        'RUVO_FIRST_FRAME_START=$(date +%s.%N) LD_PRELOAD="$0" exec "$1"' "$work/shim.so" "$ruvo" \
        2>&1 | grep 'first-frame-ms' || true)
    [ -z "$line" ] && { echo "no frame was shown" >&2; exit 1; }
    ms=${line#first-frame-ms }
    echo "$ms"
    times+=("$ms")
done
printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print "median " a[int((NR+1)/2)] " ms"}'
