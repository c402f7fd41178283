#!/usr/bin/env bash
# spanlab-cli with load combinations and design checks, run as a user would: exit statuses,
# outputs, and the envelope over combinations against the single analyses of each one.
# Usage: cli_design_test.sh CLI SOURCE_DIR SCRATCH_DIR
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

example=$SRC/examples/two-span-floor-beam.spn
three=$SRC/examples/three-span-combinations.spn

# ---- a model without the new lines: the outputs as they always were ----
for format in json csv; do
  live=$OUT/live.txt
  { cat "$SRC/examples/two-span-floor-beam.txt"; echo "Live Load: U = -0.8; LiveFactor = 1.6;"; } > "$live"
  "$CLI" envelope "$live" --format $format > "$OUT/plain.$format" || fail "envelope $format"
  "$CLI" envelope "$live" --format $format --kind all > "$OUT/all.$format" || fail "envelope --kind all"
  cmp -s "$OUT/plain.$format" "$OUT/all.$format" || fail "--kind all changed the $format envelope"
  grep -qi combination "$OUT/plain.$format" && fail "a model without combinations names one ($format)"
done
run 1 envelope "$live" --kind strength
contains "$err" "spanlab-cli: the model has no Load Combination line"
run 1 envelope "$live" --kind service
contains "$err" "spanlab-cli: the model has no Service Combination line"
[ -z "$out" ] || fail "envelope --kind service without combinations wrote: ${out:0:200}"
run 1 checks "$example"
contains "$err" "spanlab-cli: the model has no Deflection Limit or Capacity line"
run 2 results "$example" --combination U1
[ "$err" = "spanlab-cli: --combination U1: the model has no Load Combination or Service Combination line" ] ||
  fail "results --combination without combinations: $err"

# ---- bad arguments: status 2 ----
run 2 envelope "$three" --kind ultimate
run 2 checks "$three" --format xml
run 2 checks
run 2 checks "$OUT/does-not-exist.spn"
contains "$err" "Cannot open"
run 2 results "$three" --combination U9
[ "$err" = "spanlab-cli: --combination U9: the model has no combination of that name; its combinations are U1, U2, U3, S1 and S2" ] ||
  fail "unknown combination: $err"
[ -z "$out" ] || fail "an unknown combination wrote: ${out:0:200}"
run 2 results "$three" --combination u1  # names are case-sensitive

# ---- model errors: status 1 and the log, nothing on stdout ----
sed 's/^Load Combination: Name = U2;/Load Combination: Name = U1;/' "$SRC/examples/three-span-combinations.txt" > "$OUT/bad.txt"
bad=$OUT/bad.spn
rm -f "$bad"
"$CLI" import "$OUT/bad.txt" -o "$bad" || fail "import of the bad lines"
for args in "checks $bad" "envelope $bad --kind strength" "results $bad --combination U1"; do
  # shellcheck disable=SC2086
  run 1 $args
  contains "$err" "Error D19 - Two load combinations were given the same Name = U1."
  [ -z "$out" ] || fail "'$args' with errors wrote: ${out:0:200}"
done

# ---- numbers: the envelope over combinations against each combination's own analysis ----
# A three-span beam with dead and snow loads and no live load: no combination is patterned, so
# the envelope of a kind at every node and element end is the largest and smallest of the
# kind's single analyses, and each names a combination that gives it.
cases=$OUT/cases.txt
cat > "$cases" <<'MODEL'
File Format:3.0
Units:English;
Member Property: X = 0; E = 29000; I = 448;
Support: X = 0; Disp = 0;
Support: X = 20; Disp = 0;
Support: X = 44; Disp = 0;
Support: X = 60; Disp = 0;
Uniform Load: XStart = 0; XEnd = 60; UStart = -0.9; UEnd = -0.9;
Point Load: X = 30; PLoad = -4;
Uniform Load: XStart = 20; XEnd = 60; UStart = -0.5; UEnd = -0.7; Case = S;
Point Load: X = 52; PLoad = -6; Moment = 3; Case = S;
Load Combination: Name = U1; D = 1.4;
Load Combination: Name = U2; D = 1.2; S = 1.6;
Load Combination: Name = U3; D = 0.9; S = -0.5;
Service Combination: Name = S1; D = 1; S = 1;
Service Combination: Name = S2; D = 1; S = 0.3;
Deflection Limit: Span = 360;
Capacity: Moment = 400; Shear = 100;
MODEL
spn=$OUT/cases.spn
rm -f "$spn"
"$CLI" import "$cases" -o "$spn" || fail "import of the cases model"
for c in U1 U2 U3 S1 S2; do
  "$CLI" results "$spn" --combination $c > "$OUT/$c.json" || fail "results --combination $c"
done
for kind in strength service all; do
  "$CLI" envelope "$spn" --kind $kind > "$OUT/$kind.json" || fail "envelope --kind $kind"
done
python3 - "$OUT" "$cases" "$CLI" <<'PY' || fail "the envelope over combinations differs from the combinations' analyses"
import json, os, subprocess, sys
out, model, cli = sys.argv[1], sys.argv[2], sys.argv[3]
load = lambda name: json.load(open(os.path.join(out, name)))
runs = {c: load(c + ".json") for c in ["U1", "U2", "U3", "S1", "S2"]}
kinds = {"strength": ["U1", "U2", "U3"], "service": ["S1", "S2"]}
bad = []

def close(a, b, scale):
    return abs(a - b) <= 1e-9 * scale

def compare(kind, env, names, table, fields, scale_of):
    for i, entry in enumerate(env[table]):
        for field, key in fields:
            values = {c: runs[c][table][i][key] for c in names}
            for sense, pick in (("Max", max), ("Min", min)):
                if entry[field + sense] is None:
                    continue
                want = pick(values.values())
                got = entry[field + sense]
                name = entry[field + sense + "Combination"]
                scale = scale_of(key)
                if not close(got, want, scale) or name not in names or not close(values[name], got, scale):
                    bad.append((kind, table, i, field + sense, got, want, name))

for kind, names in kinds.items():
    env = load(kind + ".json")
    scale_of = lambda key: max(1e-30, max(abs(n[key]) for c in names for n in runs[c]["nodes"] + runs[c]["elements"] if key in n))
    compare(kind, env, names, "nodes", [("deflection", "deflection"), ("rotation", "rotation"),
                                        ("reactionVert", "reactionVert")], scale_of)
    compare(kind, env, names, "elements", [("shearStart", "shearStart"), ("shearEnd", "shearEnd"),
                                           ("momentStart", "momentStart"), ("momentEnd", "momentEnd")], scale_of)
    for key, sense, field in (("maxMoment", max, "maxMoment"), ("minMoment", min, "minMoment")):
        x = env["extremes"][key]
        want = sense(runs[c]["extremes"][field] for c in names)
        if not close(x["value"], want, abs(want)) or x["combination"] not in names:
            bad.append((kind, key, x, want))
# "all": deflection and rotation from the service combinations, the rest from the strength ones.
env, strength, service = load("all.json"), load("strength.json"), load("service.json")
for i, n in enumerate(env["nodes"]):
    for f in ("deflectionMax", "rotationMin", "deflectionMaxCombination"):
        if n[f] != service["nodes"][i][f]: bad.append(("all", i, f))
    for f in ("reactionVertMax", "reactionVertMinCombination"):
        if n[f] != strength["nodes"][i][f]: bad.append(("all", i, f))
if env["elements"] != strength["elements"]: bad.append(("all", "elements"))
# One combination's single analysis is the model with its loads factored, written out plainly.
lines = open(model).read().splitlines()
def factored(line, f):
    fields = [p.strip() for p in line.split(":", 1)[1].split(";") if p.strip()]
    kept = []
    for p in fields:
        k, v = [t.strip() for t in p.split("=")]
        if k in ("PLoad", "Moment", "UStart", "UEnd"): v = repr(f * float(v))
        if k != "Case": kept.append("%s = %s" % (k, v))
    return line.split(":", 1)[0] + ": " + "; ".join(kept) + ";"
u2 = {"D": 1.2, "S": 1.6}
plain = []
for line in lines:
    if line.startswith(("Load Combination", "Service Combination", "Deflection", "Capacity")): continue
    if line.startswith(("Point Load", "Uniform Load")):
        case = "S" if "Case = S" in line else "D"
        line = factored(line, u2[case])
    plain.append(line)
open(os.path.join(out, "u2-plain.txt"), "w").write("\n".join(plain) + "\n")
ref = json.loads(subprocess.run([cli, "results", os.path.join(out, "u2-plain.txt")],
                                capture_output=True, check=True).stdout)
mine = runs["U2"]
for table, keys in (("nodes", ["x", "deflection", "rotation", "reactionVert", "reactionRot"]),
                    ("elements", ["xEnd", "shearStart", "shearEnd", "momentStart", "momentEnd"])):
    for key in keys:
        scale = max(abs(e[key]) for e in ref[table]) or 1
        for a, b in zip(mine[table], ref[table]):
            if not close(a[key], b[key], scale): bad.append(("U2 single", table, key, a[key], b[key]))
if len(mine["nodes"]) != len(ref["nodes"]): bad.append(("U2 nodes", len(mine["nodes"]), len(ref["nodes"])))
for b in bad[:20]: print(b, file=sys.stderr)
sys.exit(1 if bad else 0)
PY
run 0 results "$spn" --combination U2 --format csv
contains "$out" $'node,x,deflection,rotation,reactionVert,reactionRot\n1,0,0,'

# ---- checks: pass and fail exactly at the limit ----
run 0 checks "$spn"
python3 -c 'import json, sys; d = json.loads(sys.argv[1]); assert not d["exceeded"] and len(d["checks"]) == 3 * 4, d' "$out" ||
  fail "checks JSON: ${out:0:300}"
moment=$(python3 -c 'import json, sys; print(max(abs(c["value"]) for c in json.loads(sys.argv[1])["checks"] if c["check"] in ("moment", "momentNeg")))' "$out")
for f in 1.000001 0.999999; do
  capacity=$(python3 -c "print(repr($moment * $f))")
  sed "s/^Capacity: .*/Capacity: Moment = $capacity;/" "$cases" > "$OUT/limit.txt"
  rm -f "$OUT/limit.spn"; "$CLI" import "$OUT/limit.txt" -o "$OUT/limit.spn" || fail "import limit"
  if [ $f = 1.000001 ]; then
    run 0 checks "$OUT/limit.spn" --format csv
    run 0 check "$OUT/limit.spn"
    case "$out" in *"Warning W7"*) fail "a moment within its capacity warned: $out" ;; esac
  else
    run 3 checks "$OUT/limit.spn" --format csv
    contains "$out" ',exceeds,U2,'
    run 0 check "$OUT/limit.spn"
    contains "$out" "Warning W7 - Span "
    contains "$out" "exceeds its hogging capacity"
  fi
done
run 0 checks "$spn" --format text
contains "$out" " Span  Check           Value      Limit  Unit   Rule           Use  Status  Governing"
contains "$out" "All checks pass."
# A factor that makes the results overflow: A4 and status 1, never infinities with status 0.
sed 's/^Load Combination: Name = U2; D = 1.2; S = 1.6;/Load Combination: Name = U2; D = 1.2; S = 1e308;/' "$cases" > "$OUT/huge.txt"
rm -f "$OUT/huge.spn"; "$CLI" import "$OUT/huge.txt" -o "$OUT/huge.spn" || fail "import huge"
run 1 check "$OUT/huge.spn"
contains "$out" "Error A4 - "
run 1 checks "$OUT/huge.spn"
run 1 envelope "$OUT/huge.spn" --kind strength
run 1 results "$OUT/huge.spn" --combination U2
contains "$out" '"error": true'
contains "$out" "Error A4 - "
run 0 results "$OUT/huge.spn" --combination U1
# The example of the README: three spans, D, L and S, patterned live load.
run 0 checks "$three" --format text
contains "$out" "    2  Moment -     -162.933    200.000  kip ft              0.815  OK      U3, spans 2, 3"
# A patterned combination's single analysis: the live load at its factor on every span, as a
# plain uniform load would give it.
python3 - "$SRC/examples/three-span-combinations.txt" "$OUT/u2-three.txt" <<'PY' || fail "factoring the example"
import sys
factors = {"D": 1.2, "L": 1.6, "S": 0.5}
out = []
for line in open(sys.argv[1]).read().splitlines():
    line = line.split("/", 1)[0].strip() if not line.startswith("/") else line
    if line.startswith(("Load Combination", "Service Combination", "Deflection", "Capacity")):
        continue
    if line.startswith("Live Load"):
        u = float(line.split("U =")[1].split(";")[0]) * factors["L"]
        line = "Uniform Load: XStart = 0; XEnd = 60; UStart = %r; UEnd = %r;" % (u, u)
    elif line.startswith(("Point Load", "Uniform Load")):
        f = factors["S" if "Case = S" in line else "D"]
        head, body = line.split(":", 1)
        fields = []
        for p in [p.strip() for p in body.split(";") if p.strip()]:
            k, v = [t.strip() for t in p.split("=")]
            if k == "Case": continue
            if k in ("PLoad", "Moment", "UStart", "UEnd"): v = repr(f * float(v))
            fields.append("%s = %s" % (k, v))
        line = head + ": " + "; ".join(fields) + ";"
    out.append(line)
open(sys.argv[2], "w").write("\n".join(out) + "\n")
PY
"$CLI" results "$three" --combination U2 > "$OUT/u2-three-combination.json" || fail "results --combination U2"
"$CLI" results "$OUT/u2-three.txt" > "$OUT/u2-three-plain.json" || fail "results of U2 by hand"
python3 - "$OUT/u2-three-combination.json" "$OUT/u2-three-plain.json" <<'PY' || fail "U2 of the example differs from its loads factored by hand"
import json, sys
a, b = (json.load(open(f)) for f in sys.argv[1:3])
assert len(a["nodes"]) == len(b["nodes"]), (len(a["nodes"]), len(b["nodes"]))
for key in ("deflection", "rotation", "reactionVert"):
    scale = max(abs(n[key]) for n in b["nodes"])
    worst = max(abs(x[key] - y[key]) for x, y in zip(a["nodes"], b["nodes"]))
    assert worst <= 1e-9 * scale, (key, worst, scale)
for key in ("maxMoment", "minMoment", "maxShear", "minShear"):
    assert abs(a["extremes"][key] - b["extremes"][key]) <= 1e-9 * abs(b["extremes"][key]), key
PY

# ---- reports: the strength and service envelopes and the checks follow the summary ----
run 0 report "$three" --summary --points 25
for title in "Spanlab Strength Envelope" "Spanlab Service Envelope" "Spanlab Design Checks"; do
  contains "$out" "$title"
done
contains "$out" $'   Min Moment     =   -162.933 kip ft  at     40.000 feet\r\n                    combination U3, spans loaded: 2, 3'
case "$out" in *"Live Load Envelope"*) fail "a model with combinations printed the live-load envelope report" ;; esac
run 0 report "$three" --input
contains "$out" $'  Load Combinations - Factors of the Load Cases\r\n    Name = U1; D = 1.4;\r\n'
contains "$out" $'  Capacity - Moment = kip ft, Shear = kips\r\n    Moment = 200; Shear = 60; MomentNeg = 200;\r\n'
case "$out" in *"Strength Envelope"*) fail "the input data alone printed an envelope" ;; esac

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "cli design tests passed"
