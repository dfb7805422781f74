# Sourced by the scripts: the two build trees and how each is configured. Each command always
# configures its tree the same way, so the scripts never rebuild each other's trees.
#   build/      the optimised panel a user runs (RelWithDebInfo, no sanitizers), its tests and
#               benchmarks; warnings are errors, so a warning that only optimisation shows fails
#   build-san/  the test build with AddressSanitizer and UndefinedBehaviorSanitizer
#   build-fuzz/ the libFuzzer targets, built by clang with both sanitizers and coverage

KOV_RELEASE_DIR=build
KOV_SANITIZE_DIR=build-san
KOV_FUZZ_DIR=build-fuzz
KOV_FUZZ_TARGETS=(fuzz_port fuzz_settings fuzz_strtoint)

# kov_build_release [TARGET...]: configures and builds build/ (every target when none is named).
kov_build_release() {
  cmake -S . -B "$KOV_RELEASE_DIR" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKOV_SANITIZE=OFF \
    -DKOV_WERROR=ON
  kov_build_targets "$KOV_RELEASE_DIR" "$@"
}

# kov_build_sanitize [TARGET...]: configures and builds build-san/.
kov_build_sanitize() {
  cmake -S . -B "$KOV_SANITIZE_DIR" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug \
    -DKOV_SANITIZE=ON \
    -DKOV_WERROR=ON
  kov_build_targets "$KOV_SANITIZE_DIR" "$@"
}

# kov_build_fuzz [TARGET...]: configures and builds build-fuzz/ (the fuzz targets when none is
# named). The tests' scripted gateway is configured there too; only what the targets use is built.
kov_build_fuzz() {
  cmake -S . -B "$KOV_FUZZ_DIR" -G Ninja \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKOV_SANITIZE=ON \
    -DKOV_FUZZ=ON \
    -DKOV_BUILD_BENCH=OFF \
    -DKOV_WERROR=ON
  if [ $# -eq 0 ]; then
    set -- "${KOV_FUZZ_TARGETS[@]}"
  fi
  kov_build_targets "$KOV_FUZZ_DIR" "$@"
}

kov_build_targets() {
  local dir=$1
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$dir" --parallel "$(nproc)" "${targets[@]}"
}
