#!/usr/bin/env bash
# Reads a CT series of 512 x 512 x 1,500 slices of 0.9 mm and builds the decedent's skin (-500 HU)
# and bone (+300 HU) as ruvo does (CtBodyBench's BM_SeriesReadAndBuild: reading, then the
# surfaces smoothed, simplified and parted, on one thread and on both cores), and times VTK's
# iso-surface (python3-vtk9's vtkFlyingEdges3D, every core) at the same thresholds on the same
# series, read with pydicom into numpy; only VTK's iso-surfaces are timed. Whole processes, run
# in turn, with their peak memory (/usr/bin/time -v).
#   bench/ct_vtk_side_by_side.sh [SERIES_FOLDER]
# Without a folder it writes tools/ctphantom's body phantom at that size into a temporary folder
# (750 MB: the default body's skin with its lungs, bones, wound channel and metal, 0.9 mm across,
# slices 1.4 mm apart so that the 1,500 hold the whole body). VTK is installed here when missing (it is never linked into the program).
set -euo pipefail

build=${RUVO_BUILD:-build/default}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python=/usr/bin/python3 # Debian's, which has numpy, pydicom and VTK

missing=()
for package in python3-vtk9 python3-numpy python3-pydicom; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "Run once: sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >/dev/null
fi

cmake --build "$build" -j2 --target CtBodyBench ct_phantom >/dev/null
series=${1:-$work/series}
if [[ ! -d $series ]]; then
    "$build/tools/ctphantom/ct_phantom" "$series" --body --size 512,512,1500 --spacing 0.9 \
        --slice-gap 1.4 >/dev/null
fi

cat >"$work/vtk_iso.py" <<'PYTHON'
import pathlib, sys, time
import numpy as np, pydicom, vtk
from vtk.util import numpy_support

slices = [pydicom.dcmread(str(p)) for p in pathlib.Path(sys.argv[1]).iterdir() if p.is_file()]
slices = [s for s in slices if "PixelData" in s]
normal = np.cross(np.array(slices[0].ImageOrientationPatient[:3], float),
                  np.array(slices[0].ImageOrientationPatient[3:], float))
slices.sort(key=lambda s: float(np.dot(normal, np.array(s.ImagePositionPatient, float))))
rows, columns = int(slices[0].Rows), int(slices[0].Columns)
gap = abs(float(np.dot(normal, np.array(slices[1].ImagePositionPatient, float) -
                       np.array(slices[0].ImagePositionPatient, float))))
spacing = [float(v) for v in slices[0].PixelSpacing]
volume = np.empty((len(slices), rows, columns), np.int16)
for k, s in enumerate(slices):
    volume[k] = s.pixel_array * float(s.RescaleSlope) + float(s.RescaleIntercept)
del slices
image = vtk.vtkImageData()
image.SetDimensions(columns, rows, volume.shape[0])
image.SetSpacing(spacing[1], spacing[0], gap)
image.GetPointData().SetScalars(
    numpy_support.numpy_to_vtk(volume.ravel(), deep=False, array_type=vtk.VTK_SHORT))
total = cpu = 0.0
for iso in (-500, 300):
    surface = vtk.vtkFlyingEdges3D()
    surface.SetInputData(image)
    surface.SetValue(0, iso)
    surface.ComputeNormalsOn()
    surface.ComputeGradientsOff()
    surface.ComputeScalarsOff()
    start, startCpu = time.perf_counter(), time.process_time()
    surface.Update()
    seconds = time.perf_counter() - start
    total += seconds
    cpu += time.process_time() - startCpu
    print(f"VTK vtkFlyingEdges3D at {iso} HU: {seconds:.2f} s, "
          f"{surface.GetOutput().GetNumberOfPolys()} triangles")
print(f"VTK iso-surfaces, skin and bone: {total:.2f} s wall, {cpu:.2f} s CPU "
      f"({vtk.vtkSMPTools.GetBackend()}, {vtk.vtkSMPTools.GetEstimatedNumberOfThreads()} threads)")
PYTHON

# Peak resident memory of a finished /usr/bin/time -v run, in MB.
peak() {
    awk '/Maximum resident/ { printf "%.0f MB", $6 / 1024 }' "$1"
}

echo "series: $series ($(find "$series" -type f | wc -l) files), load: $(cut -d' ' -f1-3 /proc/loadavg)"
for threads in 1 2; do
    RUVO_CT_SERIES=$series /usr/bin/time -v -o "$work/ours.$threads" \
        "$build/bench/CtBodyBench" --benchmark_filter="BM_SeriesReadAndBuild/$threads/" \
        >"$work/ours.$threads.out"
    line=$(grep BM_SeriesReadAndBuild "$work/ours.$threads.out")
    echo "ruvo, read + skin + bone, $threads thread(s): $(awk '{ print $2 " " $3 }' <<<"$line")" \
        "wall, peak $(peak "$work/ours.$threads"); ${line#*iterations:1/real_time}"
done
for threads in 1 2; do
    RUVO_CT_SERIES=$series "$build/bench/CtBodyBench" \
        --benchmark_filter="BM_SeriesIsoSurfaces/$threads/" >"$work/iso.$threads.out"
    line=$(grep BM_SeriesIsoSurfaces "$work/iso.$threads.out")
    echo "ruvo, the two iso-surfaces alone as marched, $threads thread(s):" \
        "$(awk '{ print $2 " " $3 }' <<<"$line") wall," \
        "$(awk '{ print $4 " " $5 }' <<<"$line") CPU; ${line#*iterations:3/process_time/real_time}"
done
/usr/bin/time -v -o "$work/vtk" "$python" "$work/vtk_iso.py" "$series"
echo "VTK process (pydicom read + iso-surfaces): peak $(peak "$work/vtk")"
