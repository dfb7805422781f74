# Sourced by scripts/test and scripts/fuzz (after scripts/build.sh): runs the libFuzzer targets
# built in build-fuzz/ from their seed inputs in fuzz/corpus/.

# kov_run_fuzzer WORK_DIR TARGET LIBFUZZER_FLAG...: one target, from fuzz/corpus/<name>/ (never
# written) and WORK_DIR/<name>/, where new inputs go, with the dictionary fuzz/<name>.dict. A finding is saved as
# build-fuzz/findings/<target>-crash-... (or -timeout-, -oom-) and fails the run. The output
# goes to WORK_DIR/<target>.log: its summary is shown, all of it on a finding.
kov_run_fuzzer() {
  local work=$1 target=$2
  shift 2
  local findings="$KOV_FUZZ_DIR/findings"
  local corpus="$work/${target#fuzz_}"
  local log="$work/$target.log"
  local dict=()
  [ -f "fuzz/${target#fuzz_}.dict" ] && dict=(-dict="fuzz/${target#fuzz_}.dict")
  mkdir -p "$findings" "$corpus"
  # The settings store syncs every file it saves: on tmpfs that costs nothing.
  local tmp=${TMPDIR:-/tmp}
  [ -d /dev/shm ] && [ -w /dev/shm ] && tmp=/dev/shm
  echo "== $target $*"
  # The store names every file it cannot read on standard error, which is closed
  # (-close_fd_mask=2); the targets report on standard output, the sanitizers still reach the log.
  if TMPDIR=$tmp "$KOV_FUZZ_DIR/fuzz/$target" "${dict[@]}" "$@" -timeout=10 -close_fd_mask=2 \
    -artifact_prefix="$findings/$target-" "$corpus" "fuzz/corpus/${target#fuzz_}" >"$log" 2>&1; then
    grep -E '^(Done|INFO: seed corpus)' "$log" || tail -n 3 "$log"
    return 0
  fi
  cat "$log"
  echo "$target found a fault: the input is in $findings/;" \
    "replay it with $KOV_FUZZ_DIR/fuzz/$target FILE" >&2
  return 1
}

# kov_run_fuzzers WORK_DIR LIBFUZZER_FLAG...: every target in turn with the same flags; fails
# when any of them found a fault.
kov_run_fuzzers() {
  local work=$1
  shift
  local target failed=0
  for target in "${KOV_FUZZ_TARGETS[@]}"; do
    kov_run_fuzzer "$work" "$target" "$@" || failed=1
  done
  return $failed
}
