#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a fresh folder and checks that every file is in
# place, that the unpacked program finds its data files (the header picture of print) and its
# picture library (plot draws what the build folder's program draws), and that spanlab-cli
# itself is not linked with Qt. With PYTHON (the interpreter the Python module was built for),
# also that the unpacked module imports from Debian's Python path and gives the program's results.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR SCRATCH_DIR [PYTHON]
set -eu
BUILD=$1
SRC=$2
OUT=$3
PYTHON=${4:-}
rm -rf "$OUT" && mkdir -p "$OUT"
(cd "$BUILD" && cpack -G DEB -B "$OUT/cpack" > "$OUT/cpack.log" 2>&1) || { cat "$OUT/cpack.log"; exit 1; }
deb=$(ls "$OUT"/cpack/spanlab_*_amd64.deb)
dpkg -x "$deb" "$OUT/root"
missing=0
for f in usr/bin/spanlab usr/bin/spanlab-cli usr/share/spanlab/SPLX.mat usr/share/spanlab/SPLX.prp \
         usr/share/spanlab/spanlab.tip usr/share/spanlab/splx.wmf usr/share/spanlab/vehicles.txt \
         usr/share/applications/spanlab.desktop usr/share/mime/packages/spanlab.xml \
         usr/share/icons/hicolor/scalable/apps/spanlab.svg usr/share/man/man1/spanlab-cli.1 \
         usr/share/man/man1/spanlab.1 usr/share/doc/spanlab/README.md; do
  [ -e "$OUT/root/$f" ] || { echo "missing in the package: $f"; missing=1; }
done
[ "$missing" = 0 ] || exit 1
dpkg -I "$deb" | grep -q 'Depends:.*libqt6widgets6' || { echo "no Qt dependency declared"; exit 1; }
"$OUT/root/usr/bin/spanlab-cli" print "$SRC/examples/two-span-floor-beam.spn" -o "$OUT/page.pdf"
pdftotext -f 1 -l 1 "$OUT/page.pdf" - | grep -q "Continuous beam analysis" ||
  { echo "the installed program printed no header picture"; exit 1; }
library=$(find "$OUT/root/usr/lib" -name spanlab-cli-pictures.so)
[ -n "$library" ] || { echo "missing in the package: spanlab-cli-pictures.so"; exit 1; }
if ldd "$OUT/root/usr/bin/spanlab-cli" | grep -q libQt6; then
  echo "the installed spanlab-cli is linked with Qt"; exit 1
fi
for ext in png svg; do
  "$OUT/root/usr/bin/spanlab-cli" plot "$SRC/examples/two-span-floor-beam.spn" -o "$OUT/beam.$ext" \
    --show deflection,moment
  "$BUILD/spanlab-cli" plot "$SRC/examples/two-span-floor-beam.spn" -o "$OUT/beam-build.$ext" \
    --show deflection,moment
  cmp -s "$OUT/beam.$ext" "$OUT/beam-build.$ext" ||
    { echo "the installed program's $ext picture differs from the build folder's"; exit 1; }
done
if [ -n "$PYTHON" ]; then
  site="$OUT/root/usr/lib/python3/dist-packages"
  ls "$site"/spanlab/_core.*.so "$site"/spanlab/__init__.py >/dev/null ||
    { echo "missing in the package: the Python module spanlab"; exit 1; }
  dpkg -I "$deb" | grep -q 'Recommends:.*python3-numpy' ||
    { echo "no numpy recommendation declared"; exit 1; }
  "$BUILD/spanlab-cli" results "$SRC/examples/hinge-springs-settlement.spn" > "$OUT/cli.json"
  PYTHONPATH="$site" PYTHONDONTWRITEBYTECODE=1 "$PYTHON" - "$site" "$SRC" "$OUT/cli.json" <<'PY'
import json, os, sys
import spanlab
site, src, record = sys.argv[1:]
assert spanlab.__file__.startswith(site), spanlab.__file__
results = spanlab.Model.load(os.path.join(src, "examples", "hinge-springs-settlement.spn")).run()
with open(record) as f:
    assert results.to_dict() == json.load(f), "the installed module's results differ"
PY
fi
echo "package complete"
