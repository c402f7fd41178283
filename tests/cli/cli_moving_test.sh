#!/usr/bin/env bash
# spanlab-cli with Vehicle lines, run as a user would: the moving-load envelope's record, its
# governing position reproduced by the single analysis of the vehicle standing there, and the
# refusals of bad arguments and bad models.
# Usage: cli_moving_test.sh CLI SOURCE_DIR SCRATCH_DIR
set -u
CLI=$1
SRC=$2
OUT=$3
mkdir -p "$OUT"
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# run STATUS ARGS...: runs the CLI, keeps stdout in $out and stderr in $err.
run() {
  local expected=$1
  shift
  out=$("$CLI" "$@" 2>"$OUT/stderr"; echo "~$?")
  status=${out##*~}
  out=${out%~*}
  out=${out%$'\n'}
  err=$(cat "$OUT/stderr")
  [ "$status" = "$expected" ] || fail "'$*' exited with $status, expected $expected: ${err:0:400}"
}

contains() {  # contains TEXT WHAT
  case "$1" in *"$2"*) ;; *) fail "expected to find '$2' in: ${1:0:400}" ;; esac
}

truck=$SRC/examples/two-span-truck.spn

# ---- the envelope: valid JSON with every node, element and extreme ----
run 0 moving "$truck"
echo "$out" > "$OUT/moving.json"
python3 - "$OUT/moving.json" <<'EOF' || fail "the moving record"
import json, sys
d = json.load(open(sys.argv[1]))
assert len(d["nodes"]) == len(d["elements"]) + 1 > 2, "nodes and elements"
kinds = ["maxShear", "minShear", "maxMoment", "minMoment",
         "maxRotation", "minRotation", "maxDeflection", "minDeflection"]
assert sorted(d["extremes"]) == sorted(kinds), sorted(d["extremes"])
for k in kinds:
    assert d["extremes"][k]["vehicle"] == "Truck", k
assert d["extremes"]["maxMoment"]["value"] > 0 > d["extremes"]["minMoment"]["value"]
EOF

# ---- the governing position of the largest moment, run as one analysis ----
# Without the lane load (an ordinary run of the vehicle has the axles only). The record is in
# inches; --front and --gap take the model's feet.
sed 's/Library = HL93-Truck;/Library = HL93-Truck; Lane = 0;/' "$SRC/examples/two-span-truck.txt" \
  > "$OUT/nolane.txt"
run 0 import "$OUT/nolane.txt" -o "$OUT/nolane.spn"
truck=$OUT/nolane.spn
run 0 moving "$truck"
echo "$out" > "$OUT/moving.json"
read -r front gap dir x value < <(python3 -c '
import json, sys
e = json.load(open(sys.argv[1]))["extremes"]["maxMoment"]
print(repr(e["front"] / 12), repr(e["gap"] / 12), e["direction"], repr(e["x"]), repr(e["value"]))
' "$OUT/moving.json")
backward=()
[ "$dir" = backward ] && backward=(--backward)
run 0 results "$truck" --vehicle Truck --front "$front" --gap "$gap" "${backward[@]}"
echo "$out" > "$OUT/single.json"
python3 - "$OUT/single.json" "$x" "$value" <<'EOF' || fail "the single analysis at the maxMoment position"
import json, sys
d, x, value = json.load(open(sys.argv[1])), float(sys.argv[2]), float(sys.argv[3])
start, found = 0.0, None
for e in d["elements"]:
    if abs(start - x) <= 1e-9 * d["length"]:
        found = e["momentStart"]
    start = e["xEnd"]
assert found is not None, "no element starts at the extreme's x"
assert abs(found - value) <= 1e-8 * abs(value), (found, value)
EOF

# ---- bad arguments: status 2, nothing on stdout ----
run 2 results "$truck" --vehicle Bus --front 10
[ "$err" = "spanlab-cli: --vehicle Bus: the model has no vehicle of that name; its vehicles are Truck" ] ||
  fail "unknown vehicle: $err"
[ -z "$out" ] || fail "an unknown vehicle wrote: ${out:0:200}"
run 2 results "$truck" --vehicle Truck --front ten
contains "$err" "--front ten: give the front axle's X as a number"
for g in 13.9 30.1 x; do
  run 2 results "$truck" --vehicle Truck --front 10 --gap $g
  [ -z "$out" ] || fail "--gap $g wrote: ${out:0:200}"
done
run 0 results "$truck" --vehicle Truck --front 10 --gap 30  # the range's ends are in it
run 2 results "$truck" --front 10
contains "$err" "--front, --backward and --gap go with --vehicle NAME"

# ---- models without vehicles, and with a bad one: status 1 ----
run 1 moving "$SRC/examples/two-span-floor-beam.spn"
contains "$err" "spanlab-cli: the model has no Vehicle line"
[ -z "$out" ] || fail "moving without vehicles wrote: ${out:0:200}"
sed 's/Library = HL93-Truck;/Axles = -8, -32, -32; Spacing = 30..14, 14;/' \
  "$SRC/examples/two-span-truck.txt" > "$OUT/bad.txt"
rm -f "$OUT/bad.spn"
"$CLI" import "$OUT/bad.txt" -o "$OUT/bad.spn" || fail "import of the bad lines"
run 1 check "$OUT/bad.spn"
contains "$out" "Error F45 - Invalid Spacing value: Vehicle: Name = Truck; Axles = -8, -32, -32; Spacing = 30..14, 14;"
run 1 moving "$OUT/bad.spn"
contains "$err" "Error F45 - Invalid Spacing value:"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "cli_moving: all passed"
