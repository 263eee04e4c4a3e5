#!/bin/sh
# Runs every fuzz target of a fuzz build for a while and reports, per
# target, the executions, the coverage libFuzzer reached and its findings.
#   run.sh BUILD_DIR SECONDS [TARGET...]   (default: every target)
# Seeds come from the test fixtures (by extension) and from the findings
# kept under tests/data/fuzz/<target>/ (targets are named after the
# extension they load through), and from the small valid files under
# fuzz/seeds/<target>/ for readers the tests have no fixture files for
# (fuzz/seeds/make_seeds.py writes them). A target that finds a crash, a leak,
# a timeout (-timeout=10) or an allocation over -rss_limit_mb=2048 leaves
# its input in BUILD_DIR/findings/<target>/ and the run fails.
set -u
build=$1
seconds=$2
shift 2
only=" $* "
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
seed_extensions() {
  case $1 in
    jpg) echo "jpg jpeg jpe";;
    ppm) echo "ppm pgm pbm pnm";;
    tif) echo "tif tiff";;
    ico) echo "ico cur";;
    dcr) echo "dcr res";;
    iff) echo "iff lbm";;
    sgi) echo "sgi rgb rgba bw";;
    psp) echo "psp pspimage";;
    language_file) echo "ini";;
    *) echo "$1";;
  esac
}
printf '%-22s %12s %8s %s\n' target executions cov findings
for fuzzer in "$build"/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=${fuzzer##*/fuzz_}
  [ "$only" = "  " ] || case $only in *" $name "*) ;; *) continue;; esac
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  mkdir -p "$corpus" "$findings"
  for e in $(seed_extensions "$name"); do
    find "$root/tests/data" "$root/lang/files" -type f -name "*.$e" -size -200k -exec cp {} "$corpus/" \; 2>/dev/null
  done
  [ -d "$root/fuzz/seeds/$name" ] && cp "$root/fuzz/seeds/$name"/* "$corpus/" 2>/dev/null
  [ -d "$root/tests/data/fuzz/$name" ] && cp "$root/tests/data/fuzz/$name"/* "$corpus/" 2>/dev/null
  log="$build/findings/$name.log"
  stamp="$build/findings/$name.start"
  : >"$stamp"  # findings of earlier runs stay, but only newer ones count
  "$fuzzer" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  found=$(find "$findings" -type f -newer "$stamp" | wc -l)
  printf '%-22s %12s %8s %s\n' "$name" "${runs:-?}" "${cov:-?}" "$found"
  if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
    status=1
    echo "  see $log and $findings/"
  fi
done
exit $status
