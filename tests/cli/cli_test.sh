#!/usr/bin/env bash
# Runs spanlab-cli as a user would and checks exit statuses and output.
# Usage: cli_test.sh CLI SOURCE_DIR SCRATCH_DIR
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
  [ "$status" = "$expected" ] || fail "'$*' exited with $status, expected $expected: $err"
}

contains() {  # contains TEXT WHAT
  case "$1" in *"$2"*) ;; *) fail "expected to find '$2' in: ${1:0:400}" ;; esac
}

example=$SRC/examples/two-span-floor-beam.txt

# ---- results on a plain file of lines: the whole record, in internal units ----
run 0 results "$example"
contains "$out" '"nNodes": 202,'
contains "$out" '"length": 504,'
contains "$out" '"xMinShear": 360,'
contains "$out" '" 202 Nodes Defined, 404 Degrees of freedom"'
contains "$out" 'Equilibrium error: Vert = -0.000 kips;'
contains "$out" '"error": false'
run 0 results "$example" --format csv
contains "$out" $'node,x,deflection,rotation,reactionVert,reactionRot\n1,0,0,'
contains "$out" $'\nelement,ei,releaseEnd,xEnd,length,shearStart,shearEnd,momentStart,momentEnd\n1,12992000,0,'
sed 's/$/\r/' "$example" > "$OUT/crlf.txt"
run 0 results "$OUT/crlf.txt"
contains "$out" '"nNodes": 202,'

# ---- bad arguments and unreadable files: a message and status 2 ----
run 2 results "$OUT/does-not-exist.txt"
contains "$err" "Cannot open"
run 2 results "$example" --format xml
run 2 results
run 2 frobnicate
# Lines that give no beam are not a model: status 1 and the run log on stderr, as check shows
# it, never a record of success. An empty file, any text, random bytes.
printf '\001\002 Support: X = 1e999; Disp = 0;\nUniform Load: XStart = 0;\n' > "$OUT/garbage.txt"
run 1 results "$OUT/garbage.txt"
contains "$err" $'Error F1 - File format not defined.\n'
: > "$OUT/empty.txt"
run 1 results "$OUT/empty.txt"
[ "$err" = $'Error F2 - No lines in file.\n 1 Error(s),   0 Warning(s)' ] || fail "results of an empty file: $err"
printf 'hello\n' > "$OUT/hello.txt"
run 1 results "$OUT/hello.txt" --format csv
[ "$err" = $'Error F1 - File format not defined.\nFormat errors detected - data check cancelled.\n 1 Error(s),   0 Warning(s)' ] ||
  fail "results of 'hello': $err"
head -c 3000 /dev/urandom | tr '\000' '\001' > "$OUT/random.bin"  # no NUL: the shell would drop it
run 1 results "$OUT/random.bin"
contains "$err" $'Format errors detected - data check cancelled.\n'
# A model without the first line or a support is still analysed as it stands.
printf 'Member Property: X = 0; E = 1; I = 1;\nPoint Load: X = 10; PLoad = -1;\n' > "$OUT/nosupport.txt"
run 1 results "$OUT/nosupport.txt"
contains "$out" '"error": true'
tail -n +2 "$example" > "$OUT/noheader.txt"
run 0 results "$OUT/noheader.txt"
contains "$out" '"nNodes": 202,'

# ---- model files ----
spn=$SRC/examples/two-span-floor-beam.spn
run 0 check "$spn"
expected=$' 0 Error(s),   0 Warning(s)\nRunning Analysis\n 202 Nodes Defined, 404 Degrees of freedom\n Equilibrium error: Vert = -0.000 kips; Rotation = 0.000 kip ft\nAnalysis Complete'
[ "$out" = "$expected" ] || fail "check printed: $out"
run 0 results "$spn" --format csv
contains "$out" $'node,x,deflection,rotation,reactionVert,reactionRot\n1,0,0,'
for model in metric-cantilever hinge-springs-settlement; do
  run 0 check "$SRC/examples/$model.spn"
  contains "$out" "Analysis Complete"
  run 0 lines "$SRC/examples/$model.spn"
  [ "$out" = "$(cat "$SRC/examples/$model.txt")" ] || fail "$model.spn does not hold $model.txt"
done

# import -> lines reproduces the text, also for empty, long and non-ASCII lines.
{
  printf 'File Format:3.0\n\n/caf\303\251 \377\376 bytes\n'
  head -c 70000 /dev/zero | tr '\0' 'x'
  printf '\nSupport: X = 0; Disp = 0;\n\n'
} > "$OUT/odd.txt"
run 0 import "$OUT/odd.txt" -o "$OUT/odd.spn"
"$CLI" lines "$OUT/odd.spn" > "$OUT/odd-back.txt" || fail "lines failed"
cmp -s "$OUT/odd.txt" "$OUT/odd-back.txt" || fail "import/lines round trip changed the text"

# import takes text: a model file, or binary data, is refused and nothing is written. A text
# file with a stray control character is text (its line fails the format check).
rm -f "$OUT/refused.spn"
run 2 import "$spn" -o "$OUT/refused.spn"
[ "$err" = "spanlab-cli: '$spn' is a model file, not a text file of lines: use it as it is, or list its lines with 'spanlab-cli lines $spn'. Nothing was written." ] ||
  fail "import of a model file: $err"
run 2 import "$OUT/random.bin" -o "$OUT/refused.spn"
contains "$err" "spanlab-cli: '$OUT/random.bin' holds binary data, not text ("
contains "$err" " of its 3000 bytes are not text): give a text file with one model line a line, as 'spanlab-cli lines' writes it. Nothing was written."
printf '\000\001\002\003\n' > "$OUT/controls.txt"
run 2 import "$OUT/controls.txt" -o "$OUT/refused.spn"
contains "$err" "(4 of its 5 bytes are not text)"
[ -e "$OUT/refused.spn" ] && fail "a refused import wrote a file"
{ cat "$example"; printf '/stray \000 byte\nPoint Load: X = 2\001; PLoad = -1;\n'; } > "$OUT/stray.txt"
run 0 import "$OUT/stray.txt" -o "$OUT/stray.spn"
run 1 check "$OUT/stray.spn"
contains "$out" $'Error F11 - Invalid X value: Point Load: X = 2\001; PLoad = -1;\n'
# A model whose first line is the model file header still goes through lines and import.
printf 'Spanlab File Version = 3.0\nFile Format:3.0\n' > "$OUT/header-first.txt"
run 2 import "$OUT/header-first.txt" -o "$OUT/refused.spn"
python3 -c 'import sys; open(sys.argv[1], "wb").write(b"Spanlab File Version = 3.0\n\x01\x00\x1aSpanlab File Version = 3.0")' "$OUT/header-line.spn"
run 0 lines "$OUT/header-line.spn"
[ "$out" = '\Spanlab File Version = 3.0' ] || fail "lines wrote the header line as: $out"
"$CLI" lines "$OUT/header-line.spn" > "$OUT/header-line.txt"
run 0 import "$OUT/header-line.txt" -o "$OUT/header-back.spn"
cmp -s "$OUT/header-line.spn" "$OUT/header-back.spn" || fail "lines/import changed the header line"

# A model with errors: the log, and status 1.
printf 'File Format:3.0\nSupport: X = 5 ft; Disp = 0;\n' > "$OUT/bad.txt"
run 0 import "$OUT/bad.txt" -o "$OUT/bad.spn"
run 1 check "$OUT/bad.spn"
contains "$out" $'Error F11 - Invalid X value: Support: X = 5 ft; Disp = 0;\nFormat errors detected - data check cancelled.\n 1 Error(s),   0 Warning(s)'
# An unstable beam: the analysis sets its error flag, status 1.
printf 'File Format:3.0\nMember Property: X = 0; E = 200; I = 3;\nSupport: X = 10; Disp = 0; Rotation = 0;\nMoment Release: X = 5;\nPoint Load: X = 0; PLoad = -1;\n' > "$OUT/hinge.txt"
run 0 import "$OUT/hinge.txt" -o "$OUT/hinge.spn"
run 1 check "$OUT/hinge.spn"
contains "$out" "Error A3 - The stiffness at a node is extremely small."
# A value that overflows once feet become inches is refused by the data check; a solution
# beyond the range of a double has no results, and its CSV has empty cells, not "nan".
printf 'File Format:3.0\nUnits:English;\nMember Property: X = 0; E = 29000; I = 100;\nSupport: X = 0; Disp = 0;\nSupport: X = 1.5e307; Disp = 0;\n' > "$OUT/huge.txt"
run 0 import "$OUT/huge.txt" -o "$OUT/huge.spn"
run 1 check "$OUT/huge.spn"
contains "$out" $'Error D16 - A support value is too large. Converted to the units the analysis uses it exceeds 1.7e308.\n 1 Error(s),   0 Warning(s)'
printf 'File Format:3.0\nMember Property: X = 0; E = 1; I = 1;\nSupport: X = 0; Disp = 0; Rotation = 1e308;\nSupport: X = 10; Disp = 0;\n' > "$OUT/overflow.txt"
run 0 import "$OUT/overflow.txt" -o "$OUT/overflow.spn"
run 1 check "$OUT/overflow.spn"
contains "$out" $'Error A4 - The results are beyond the range of numbers the program can hold.'
run 1 results "$OUT/overflow.spn" --format csv
contains "$out" $'\n2,0.050000000000000003,,,0,0\n'
case "$out" in *nan*) fail "the CSV shows nan: ${out:0:300}" ;; esac

# An older-version file: converted with the notice on stderr, saved in the current format.
old=$SRC/examples/old-format-beam.spn
run 0 lines "$old"
contains "$out" $'File Format:3.0\n/Older-version model: simple span with an overhang\n'
contains "$out" $'Units: English;\nMember Property: X = 0; E = 4060000; I = 1;\nSupport: X = 0; Disp = 0;\n'
contains "$err" "This file was created in a previous version of Spanlab."
run 0 convert "$old" -o "$OUT/converted.spn"
[ "$(head -c 27 "$OUT/converted.spn")" = "Spanlab File Version = 3.0" ] || fail "convert did not write the current format"
run 0 check "$OUT/converted.spn"

# An over-long line in a text file: cancelled without the flag, truncated with it.
row=$(head -c 90 /dev/zero | tr '\0' 'y')
printf '/old\n/%s\nUNITS: METRIC\n' "$row" > "$OUT/long-old.spn"
run 2 lines "$OUT/long-old.spn"
contains "$err" "Line number 2 has more than 80 characters."
run 0 lines "$OUT/long-old.spn" --truncate-long-lines
contains "$out" $'/old\n/'"${row:0:79}"$'\nUnits: Metric;'

# Damaged and unwritable files: a message and status 2; a failed save keeps the old file.
printf 'Spanlab File Version = 3.0\n\005\000\003abc' > "$OUT/damaged.spn"
run 2 check "$OUT/damaged.spn"
contains "$err" "damaged"
run 2 import "$OUT/odd.txt" -o "$OUT/no-such-folder/x.spn"
contains "$err" "Cannot save"
cp "$spn" "$OUT/keep.spn"
chmod a-w "$OUT"
if [ "$(id -u)" != 0 ]; then  # root writes anywhere
  run 2 import "$OUT/bad.txt" -o "$OUT/keep.spn"
  cmp -s "$spn" "$OUT/keep.spn" || fail "a failed save changed the old file"
fi
chmod u+w "$OUT"

# A read-only output is left as it is unless --force is given (a save would replace it: the
# folder allows that); with --force it is replaced and stays read-only.
for cmd in "import $OUT/bad.txt spn" "convert $old spn" "report $spn rpt" "plot $spn png" "print $spn pdf"; do
  target=$OUT/read-only.${cmd##* }
  rm -f "$target"
  cp "$spn" "$target"
  chmod a-w "$target"
  # shellcheck disable=SC2086
  run 2 ${cmd% *} -o "$target"
  [ "$err" = "spanlab-cli: Cannot save '$target': the file is read-only. Nothing was written; use --force to replace it." ] ||
    fail "'$cmd' over a read-only file: $err"
  cmp -s "$spn" "$target" || fail "'$cmd' changed a read-only file"
done
run 0 plot "$spn" -o "$OUT/read-only.png" --force
[ "$(head -c 4 "$OUT/read-only.png" | tail -c 3)" = "PNG" ] || fail "plot --force wrote no PNG"
ln -sf read-only.spn "$OUT/link.spn"
run 2 import "$OUT/bad.txt" -o "$OUT/link.spn"
cmp -s "$spn" "$OUT/read-only.spn" || fail "import through a link changed a read-only file"
run 0 import "$OUT/bad.txt" -o "$OUT/read-only.spn" --force
"$CLI" lines "$OUT/read-only.spn" > "$OUT/read-only.txt"
cmp -s "$OUT/bad.txt" "$OUT/read-only.txt" || fail "import --force did not replace the read-only file"
[ "$(stat -c %a "$OUT/read-only.spn")" = 444 ] || fail "the replaced file is not read-only"
run 0 report "$spn" -o "$OUT/read-only.spn" --force
for cmd in import convert report plot print; do
  "$CLI" "$cmd" --help | grep -q -- '--force' || fail "$cmd --help does not name --force"
done
rm -f "$OUT"/read-only.* "$OUT/link.spn"

# ---- report ----
run 0 report "$spn"
contains "$out" "Spanlab Input Data"
contains "$out" "Spanlab Analysis Summary"
contains "$out" " Beam Length = 42. feet"
case "$out" in *"Spanlab Analysis Details"*) fail "details printed without --details" ;; esac
"$CLI" report "$spn" --details --points 25 -o "$OUT/beam.rpt" || fail "report -o failed"
grep -q $'^Spanlab Analysis Details\r$' "$OUT/beam.rpt" || fail "no details title in the report file"
grep -q $'\r$' "$OUT/beam.rpt" || fail "report file lines do not end in CRLF"
run 0 report "$spn" --tab-details
contains "$out" $'X\tEI\tShear\tMoment\tRotation\tDisp\r\nin\tkip in^2\tkips\tkip in\trad\tin\r\n0\t'
run 2 report "$spn" --points 30
run 2 report "$spn" -o "$OUT/no-such-folder/x.rpt"
contains "$err" "Error - File could not be opened"

# ---- plot ----
for ext in png svg pdf; do
  run 0 plot "$spn" -o "$OUT/beam.$ext" --show deflection,moment
  [ -s "$OUT/beam.$ext" ] || fail "plot wrote no $ext"
done
[ "$(head -c 4 "$OUT/beam.png" | tail -c 3)" = "PNG" ] || fail "not a PNG"
head -c 5 "$OUT/beam.pdf" | grep -q '%PDF' || fail "not a PDF"
grep -q '<svg' "$OUT/beam.svg" || fail "not an SVG"
run 0 plot "$spn" -o "$OUT/r.png" --show reactions --size 400x300 --select "Support: X = 30; Disp = 0;"
run 2 plot "$spn" -o "$OUT/r.png" --show reactions,shear
run 2 plot "$spn" -o "$OUT/r.png" --size 0x300
run 2 plot "$spn" -o "$OUT/r.gif"
run 2 plot "$spn" -o "$OUT/r.png" --select "Support: X = 99; Disp = 0;"

# ---- the text commands load no GUI library; plot and print load theirs when they run ----
# The dynamic loader names every library it loads on stderr (LD_DEBUG=libs).
gui_libs='(find library=|calling init: ).*lib(Qt6|dbus-1|X11|xcb|EGL|GLX|OpenGL|fontconfig|freetype)'
if ldd "$CLI" | grep -q 'libQt6'; then fail "spanlab-cli is linked with Qt: $(ldd "$CLI" | grep libQt6)"; fi
for cmd in "results $spn" "results $example --format csv" "check $spn" "lines $spn" \
           "report $spn --details" "import $OUT/bad.txt -o $OUT/libs.spn" "convert $old -o $OUT/libs.spn"; do
  # shellcheck disable=SC2086
  LD_DEBUG=libs "$CLI" $cmd > /dev/null 2> "$OUT/libs.txt"
  grep -q 'calling init: .*libc\.so' "$OUT/libs.txt" || fail "LD_DEBUG=libs listed no libraries for '$cmd'"
  grep -E "$gui_libs" "$OUT/libs.txt" > "$OUT/gui-libs.txt" && fail "'$cmd' loaded: $(head -3 "$OUT/gui-libs.txt")"
done
LD_DEBUG=libs "$CLI" plot "$spn" -o "$OUT/libs.png" > /dev/null 2> "$OUT/libs.txt"
grep -q 'calling init: .*libQt6Gui' "$OUT/libs.txt" || fail "plot did not load Qt's GUI library"

# Without its picture library the program still runs the text commands; plot and print say
# what is missing. A damaged library or one without the commands is refused the same way.
mkdir -p "$OUT/alone"
rm -f "$OUT/alone/spanlab-cli-pictures.so"
cp "$CLI" "$OUT/alone/spanlab-cli"
cli_in_build=$CLI
CLI=$OUT/alone/spanlab-cli
run 0 results "$spn"
contains "$out" '"nNodes": 202,'
run 2 plot "$spn" -o "$OUT/alone/beam.png"
contains "$err" "spanlab-cli: plot needs the picture library spanlab-cli-pictures.so, which is not installed (looked for '$OUT/alone/spanlab-cli-pictures.so' and "
printf 'not a library\n' > "$OUT/alone/spanlab-cli-pictures.so"
run 2 print "$spn" -o "$OUT/alone/beam.pdf"
contains "$err" "spanlab-cli: print: cannot load the picture library: $OUT/alone/spanlab-cli-pictures.so: "
rm -f "$OUT/alone/spanlab-cli-pictures.so"
ln -s "$(ldd "$CLI" | awk '/libm\.so/ {print $3}')" "$OUT/alone/spanlab-cli-pictures.so"
run 2 plot "$spn" -o "$OUT/alone/beam.png"
contains "$err" "spanlab-cli: plot: the picture library '$OUT/alone/spanlab-cli-pictures.so' does not belong to this spanlab-cli; reinstall Spanlab"
[ -e "$OUT/alone/beam.png" ] && fail "plot wrote a picture without its library"
CLI=$cli_in_build

# ---- envelope and influence ----
live=$OUT/live.txt
{ cat "$example"; echo "Live Load: U = -0.8; LiveFactor = 1.6; DeadMax = 1.2; DeadMin = 0.9;"; } > "$live"
run 0 envelope "$live"
contains "$out" $'{\n  "spans": [\n    {"start": 0, "end": 360},\n    {"start": 360, "end": 504}\n  ],'
contains "$out" '"rotationMin": 0.0050296449257235219, "reactionVertMax": null, "reactionVertMin": null,'
contains "$out" $'"extremes": {\n    "maxShear": {"value": '
contains "$out" '"maxMoment": {"value": 4026.2399999999998,'
contains "$out" '"x": 180, "spansOnMax": [0]},'
contains "$out" '"minMoment": {"value": -3041.2799999999997,'
contains "$out" '"x": 360, "spansOnMax": [0, 1]},'
# The whole output, flushed in parts, is one JSON document without stray bytes.
"$CLI" envelope "$live" > "$OUT/envelope.json" || fail "envelope into a file failed"
python3 -c 'import json, sys; json.load(open(sys.argv[1], encoding="ascii"))' "$OUT/envelope.json" ||
  fail "envelope wrote no valid JSON"
"$CLI" envelope "$live" --format csv > "$OUT/envelope.csv" || fail "envelope CSV into a file failed"
[ "$(tr -d '[:print:]\n' < "$OUT/envelope.csv" | wc -c)" = 0 ] || fail "envelope CSV has stray bytes"
run 0 envelope "$live" --format csv
contains "$out" $'node,x,deflectionMax,deflectionMin,rotationMax,rotationMin,reactionVertMax,reactionVertMin,reactionRotMax,reactionRotMin\n1,0,0,0,'
contains "$out" $'\n2,2.5,-0.012578990165823197,-0.086727293251509477,0.034684093309558017,0.0050296449257235219,,,,\n'
contains "$out" $'\n\nelement,xEnd,shearStartMax,shearStartMin,shearEndMax,shearEndMin,momentStartMax,momentStartMin,momentEndMax,momentEndMin\n1,2.5,'
# Without a Live Load line, or with errors: the log on stderr and status 1.
run 1 envelope "$example"
contains "$err" "Analysis Complete"
contains "$err" "spanlab-cli: the model has no Live Load line"
[ -z "$out" ] || fail "envelope without a Live Load line wrote: ${out:0:200}"
{ cat "$live"; echo "Live Load: U = -1;"; } > "$OUT/live2.txt"
run 1 envelope "$OUT/live2.txt"
contains "$err" "Error D17 - Only one Live Load line can be specified."
# Influence lines: positions in feet, values in internal units (kip in).
run 0 influence "$live" --of moment --at 15
contains "$out" $'{\n  "of": "moment",\n  "at": 15,\n  "points": [\n    {"x": 0, "value": 0},'
contains "$out" '{"x": 15, "value": 90},'
run 0 influence "$live" --of reaction-vert --at 30.1 --format csv
contains "$out" $'x,value\n0,0\n'
contains "$out" $'\n30,1\n'
contains "$out" $'\n42,1.39999999'
run 2 influence "$live" --of reaction-rot --at 30
contains "$err" "There is no support or spring restraining the rotation"
run 2 influence "$live" --of torque --at 30
run 2 influence "$live" --of moment
# Positions: a number from 0 to the beam's length in the model's unit, nothing else.
for at in nan NaN "" inf -inf infinity abc 0x10 1e999 "15 ft" 15,5; do
  run 2 influence "$live" --of moment --at "$at"
  [ "$err" = "spanlab-cli: --at takes a position on the beam in the model's length unit, such as --at 15: '$at' is not a number" ] ||
    fail "--at '$at': $err"
done
for at in 99 -1 42.000001 -1e-300; do
  run 2 influence "$live" --of moment --at "$at"
  [ "$err" = "spanlab-cli: --at $at is outside the beam: give a position from 0 to 42 feet." ] ||
    fail "--at $at: $err"
done
run 0 influence "$live" --of moment --at 42 --format csv
# (0 to the round-off of the solution: the moment at a free end is no moment at all.)
echo "$out" | tail -1 | awk -F, '$1 == 42 && $2 * $2 < 1e-18 { ok = 1 } END { exit !ok }' ||
  fail "the moment's influence line at the free end: ${out: -100}"

run 0 influence "$live" --of moment --at 0
run 0 influence "$live" --of moment --at +4.2e1
# A Consistent model of 10 units: its end is on the beam, a position past it is not.
printf 'File Format:3.0\nUnits:Consistent;\nMember Property: X = 0; E = 1; I = 1;\nSupport: X = 0; Disp = 0;\nSupport: X = 10; Disp = 0;\n' > "$OUT/ten.txt"
run 0 influence "$OUT/ten.txt" --of moment --at 10
run 2 influence "$OUT/ten.txt" --of moment --at 99
[ "$err" = "spanlab-cli: --at 99 is outside the beam: give a position from 0 to 10." ] || fail "--at 99 of 10: $err"
run 1 influence "$OUT/live2.txt" --of moment --at 15
contains "$err" "Error D17"

# ---- what is not a file, memory in proportion to the file, saves ----
# measured STATUS LIMIT_KB ARGS...: as run, but within a minute (no hang) and, outside a sanitizer
# build, within LIMIT_KB of peak memory.
measured() {
  local expected=$1 limit=$2
  shift 2
  /usr/bin/time -f '%M' -o "$OUT/peak" timeout 60 "$CLI" "$@" > "$OUT/stdout" 2> "$OUT/stderr"
  status=$?
  out=$(cat "$OUT/stdout")
  err=$(cat "$OUT/stderr")
  local peak
  peak=$(tail -n 1 "$OUT/peak")
  [ "$status" = "$expected" ] || fail "'$*' exited with $status, expected $expected: $err"
  if [ "$sanitized" = no ] && [ "$peak" -gt "$limit" ]; then
    fail "'$*' peaked at $peak KB, more than $limit KB"
  fi
}
sanitized=no
ldd "$CLI" | grep -q 'libasan\|libubsan' && sanitized=yes
if [ -x /usr/bin/time ]; then
  # A named pipe without a writer and endless devices: refused at once, nothing read.
  rm -f "$OUT/pipe.spn"
  mkfifo "$OUT/pipe.spn"
  for cmd in check report; do  # report once opened the file twice
    measured 2 20000 "$cmd" "$OUT/pipe.spn"
    contains "$err" "Cannot open '$OUT/pipe.spn': it is a named pipe, not a file."
  done
  measured 2 20000 import "$OUT/pipe.spn" -o "$OUT/from-pipe.spn"
  contains "$err" "it is a named pipe, not a file."
  for device in /dev/zero /dev/urandom; do
    measured 2 20000 check "$device"
    contains "$err" "Cannot open '$device': it is a device, not a file."
  done

  # 20 MB of empty lines: more lines than a model may have, refused before they are listed.
  { printf 'Spanlab File Version = 3.0\n\377\377\000\055\061\001'; head -c 20000000 /dev/zero; } \
    > "$OUT/20m-empty.spn"
  measured 2 60000 check "$OUT/20m-empty.spn"
  contains "$err" "The model has 20000000 lines; a model may have at most 4000000."
  head -c 20000000 /dev/zero | tr '\0' '\n' > "$OUT/20m-empty.txt"
  measured 2 60000 results "$OUT/20m-empty.txt"
  contains "$err" "Cannot open '$OUT/20m-empty.txt'. The model has 20000000 lines;"
  # As many empty or one-character lines as a model may have: within ten times the file
  # (4 to 8 MB) and 400 MB.
  head -c 3999999 /dev/zero | tr '\0' '\n' > "$OUT/4m-empty.txt"
  measured 0 450000 import "$OUT/4m-empty.txt" -o "$OUT/4m-empty.spn"
  measured 1 450000 check "$OUT/4m-empty.spn"
  measured 1 450000 check "$OUT/4m-empty.txt"
  # A model converted from an older file may grow past the limit: it is not saved, since no
  # reader would open the file.
  rm -f "$OUT/4m-empty.converted.spn"
  measured 2 450000 convert "$OUT/4m-empty.txt" -o "$OUT/4m-empty.converted.spn"
  contains "$err" "spanlab-cli: Cannot save '$OUT/4m-empty.converted.spn'. The model has 4000002 lines; a model may have at most 4000000. Nothing was written."
  [ -e "$OUT/4m-empty.converted.spn" ] && fail "convert wrote a model of more lines than a model may have"
  # Exactly as many lines as a model may have, each ended by its line feed: every reader counts
  # 4,000,000 (a final line feed does not start a line); one more line is too many for all.
  head -c 4000000 /dev/zero | tr '\0' '\n' | sed 's/^/x/' > "$OUT/4m-x.txt"
  measured 1 490000 results "$OUT/4m-x.txt"  # lines of "x" give no beam
  contains "$err" $'Error F1 - File format not defined.\n'
  measured 0 490000 import "$OUT/4m-x.txt" -o "$OUT/4m-x.spn"
  measured 1 490000 check "$OUT/4m-x.spn"
  measured 0 490000 lines "$OUT/4m-x.spn"
  measured 1 490000 check "$OUT/4m-x.txt"
  contains "$out" "Error D1- The beam has zero length."
  measured 0 490000 lines "$OUT/4m-x.txt"
  measured 0 490000 convert "$OUT/4m-x.txt" -o "$OUT/4m-x.converted.spn"
  printf 'x' >> "$OUT/4m-x.txt"
  for cmd in results check lines; do
    measured 2 490000 "$cmd" "$OUT/4m-x.txt"
    contains "$err" "The model has 4000001 lines; a model may have at most 4000000."
  done
  measured 2 490000 import "$OUT/4m-x.txt" -o "$OUT/4m-x.spn"
  contains "$err" "The model has 4000001 lines; a model may have at most 4000000."
  rm -f "$OUT"/20m-empty.* "$OUT"/4m-*

  # A comment line of 100 MB: printed within the memory of the other commands (ten times the
  # file and 420 MB); only the part of the line on the page is laid out.
  { head -n 2 "$example"; printf '/'; head -c 100000000 /dev/zero | tr '\0' 'c'; printf '\n';
    tail -n +3 "$example"; } > "$OUT/long-comment.txt"
  measured 0 1400000 print "$OUT/long-comment.txt" -o "$OUT/long-comment.pdf" --input
  head -c 5 "$OUT/long-comment.pdf" | grep -q '%PDF' || fail "print of a long comment wrote no PDF"
  rm -f "$OUT"/long-comment.*

  # A model is never saved over a pipe; a report goes into it, or is refused at once without a
  # reader.
  measured 2 20000 import "$OUT/bad.txt" -o "$OUT/pipe.spn"
  contains "$err" "Cannot save '$OUT/pipe.spn': it is a named pipe, not a file. Nothing was written."
  measured 2 20000 report "$spn" -o "$OUT/pipe.spn"
  contains "$err" "Error - File could not be opened"
  timeout 10 cat "$OUT/pipe.spn" > "$OUT/from-pipe.rpt" &
  reader=$!
  sleep 0.2
  measured 0 60000 report "$spn" -o "$OUT/pipe.spn"
  wait "$reader"
  "$CLI" report "$spn" -o "$OUT/to-file.rpt"
  cmp -s "$OUT/from-pipe.rpt" "$OUT/to-file.rpt" || fail "the report in the pipe differs from the file"
  [ -p "$OUT/pipe.spn" ] || fail "the named pipe was replaced"
fi

# Saving onto /dev/null and /dev/stdout, in a mount namespace of our own where /dev is a fresh
# tmpfs: a faulty save there cannot harm the real /dev.
if unshare -m true 2> /dev/null; then
  # shellcheck disable=SC2016
  unshare -m bash -c '
    mount -t tmpfs -o size=1m tmpfs /dev || exit 3
    ln -s /proc/self/fd/1 /dev/stdout && mknod -m 666 /dev/null c 1 3 || exit 3
    "$1" import "$3" -o /dev/null 2> "$4/null.err"; echo $? > "$4/null.status"
    "$1" report "$2" -o /dev/null || echo "report into /dev/null failed" >&2
    "$1" report "$2" -o /dev/stdout | cat > "$4/stdout.rpt"
    [ -c /dev/null ] && [ -L /dev/stdout ] && ls -A /dev > "$4/dev.list"' \
    _ "$CLI" "$spn" "$OUT/bad.txt" "$OUT" || fail "the /dev checks could not run: $?"
  [ "$(cat "$OUT/null.status")" = 2 ] || fail "import -o /dev/null did not fail"
  contains "$(cat "$OUT/null.err")" "Cannot save '/dev/null': it is a device, not a file."
  [ "$(cat "$OUT/dev.list" 2> /dev/null)" = $'null\nstdout' ] || fail "/dev changed: $(cat "$OUT/dev.list")"
  cmp -s "$OUT/stdout.rpt" "$OUT/to-file.rpt" || fail "report -o /dev/stdout wrote something else"
else
  echo "cannot make a private mount namespace (needs root): /dev/null and /dev/stdout checks skipped" >&2
fi

# lines and import are exact inverses, for every byte value anywhere in a line; lines that
# would not come back (a line feed inside, a carriage return at the end, a backslash first)
# are written escaped.
python3 - "$OUT/bytes.spn" << 'PYTHON'
import struct, sys
lines = [b"File Format:3.0", b"", b"\\", b"\\\\n", b"\r", b"\n", b"\r\n", b"a\r\nb\\r", b"\\x"]
for b in range(256):
    c = bytes([b])
    lines += [c, b"a" + c + b"z", b"a" + c, c + b"z", c + c]
out = b"Spanlab File Version = 3.0\n" + struct.pack("<H", len(lines))
for line in lines:
    out += bytes([len(line)]) + line
open(sys.argv[1], "wb").write(out)
PYTHON
"$CLI" lines "$OUT/bytes.spn" > "$OUT/bytes.txt" 2> /dev/null || fail "lines failed on every byte"
run 0 import "$OUT/bytes.txt" -o "$OUT/bytes-back.spn"
cmp -s "$OUT/bytes.spn" "$OUT/bytes-back.spn" || fail "lines/import changed a model line"
count=$(tr -cd '\n' < "$OUT/bytes.txt" | wc -c)
[ "$count" = 1289 ] || fail "lines wrote $count lines, not 1289"
grep -qxF '\a\r\nb\\r' "$OUT/bytes.txt" || fail "no escaped line for 'a CR LF b \\r'"

# ---- the same results and report under a comma-decimal locale ----
if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  for cmd in "results $spn" "results $spn --format csv" "report $spn --details" "check $spn"; do
    # shellcheck disable=SC2086
    LC_ALL=C "$CLI" $cmd > "$OUT/c.out" 2>&1
    # shellcheck disable=SC2086
    LC_ALL=de_DE.UTF-8 "$CLI" $cmd > "$OUT/de.out" 2>&1
    cmp -s "$OUT/c.out" "$OUT/de.out" || fail "'$cmd' differs under de_DE.UTF-8"
  done
  LC_ALL=de_DE.UTF-8 "$CLI" print "$spn" -o "$OUT/de.pdf" --input --summary || fail "print under de_DE.UTF-8"
else
  echo "de_DE.UTF-8 is not installed: locale checks skipped" >&2
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures CLI check(s) failed" >&2
  exit 1
fi
echo "all CLI checks passed"
