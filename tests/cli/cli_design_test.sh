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

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "cli design tests passed"
