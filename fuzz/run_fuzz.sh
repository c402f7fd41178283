#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) for FUZZ_SECONDS each.
#   fuzz/run_fuzz.sh BUILD_FOLDER [target...]      e.g. fuzz/run_fuzz.sh build-fuzz fuzz_lines
# Seeds: fuzz/corpus/<name>/ (open_file shares model_file's), plus the examples and the shipped
# data files. What a run learns is kept in BUILD_FOLDER/fuzz-corpus/<name>/ for the next run; a
# crash, hang or runaway allocation stops the run, leaves its input in BUILD_FOLDER/fuzz-findings/
# and fails the script.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: run_fuzz.sh BUILD_FOLDER [target...]}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
  targets=(fuzz_model_file fuzz_open_file fuzz_lines fuzz_database fuzz_tips fuzz_metafile)
seconds=${FUZZ_SECONDS:-60}
# More libFuzzer options, e.g. FUZZ_ARGS="-len_control=0 -jobs=2".
read -r -a extra <<< "${FUZZ_ARGS:-}"

# Seed files that live elsewhere in the tree, gathered into one folder per target.
seeds() {
  local name=$1 dir=$build/fuzz-seeds/$1
  rm -rf "$dir" && mkdir -p "$dir"
  [ -d "$root/fuzz/corpus/$name" ] && cp "$root/fuzz/corpus/$name"/* "$dir"/
  case $name in
    model_file | open_file)
      cp "$root"/examples/*.spn "$root"/examples/*.txt "$root"/fuzz/corpus/model_file/* "$dir"/ ;;
    lines) cp "$root"/examples/*.txt "$dir"/ ;;
    database) cp "$root"/resources/SPLX.mat "$root"/resources/SPLX.prp "$dir"/ ;;
    # Four bytes of stored position and one flag byte come before the file.
    tips) { printf '\0\0\0\0\1'; cat "$root"/resources/spanlab.tip; } > "$dir"/spanlab.tip ;;
    metafile) cp "$root"/resources/splx.wmf "$dir"/ ;;
  esac
  echo "$dir"
}

status=0
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  corpus=$build/fuzz-corpus/$name
  findings=$build/fuzz-findings
  mkdir -p "$corpus" "$findings"
  dict=()
  case $name in model_file | open_file | lines) dict=(-dict="$root/fuzz/lines.dict") ;; esac
  # Model files get room for large line counts and long lines at once (libFuzzer would otherwise
  # grow its inputs past the largest seed, 100 KB, only slowly), and time for them: a 1 MB
  # model is run, reported, printed and painted, which takes seconds with the sanitizers on a
  # busy machine. The other readers' inputs are small.
  max_len=(-max_len=16384) timeout=10
  case $name in model_file | open_file) max_len=(-max_len=1048576 -len_control=0) timeout=60 ;; esac
  echo "== $target for ${seconds}s"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 \
      "${max_len[@]}" -print_final_stats=1 -artifact_prefix="$findings/$name-" "${dict[@]}" \
      "${extra[@]}" \
      "$corpus" "$(seeds "$name")" 2>"$build/fuzz-$name.log"; then
    status=1
    echo "!! $target found a fault; see $build/fuzz-$name.log and $findings/"
    tail -n 40 "$build/fuzz-$name.log"
  else
    grep -E ' cov: ' "$build/fuzz-$name.log" | tail -n 1 || true
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$build/fuzz-$name.log" || true
  fi
done
exit $status
