# Sourced by the scripts: the build trees and how each is configured. Each command always
# configures its tree the same way, so the scripts never rebuild each other's trees.
#   build/      the optimised panel a user runs (RelWithDebInfo, no sanitizers), its tests and
#               benchmarks; warnings are errors, so a warning that only optimisation shows fails
#   build-san/  the test build with AddressSanitizer and UndefinedBehaviorSanitizer
#   build-fuzz/ the libFuzzer targets, built by clang with both sanitizers and coverage
#   build-pkg/  the program as the Debian package ships it: Release with Debian's hardening flags

KOV_RELEASE_DIR=build
KOV_SANITIZE_DIR=build-san
KOV_FUZZ_DIR=build-fuzz
KOV_PACKAGE_DIR=build-pkg
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

# kov_build_package [TARGET...]: configures and builds build-pkg/, which scripts/package packs:
# no tests or benchmarks, and the compiler and linker flags dpkg-buildflags gives a Debian package
# with every hardening feature (fortified functions, stack protector, read-only relocations bound
# at start; position-independent code is the compiler's default). The package is stripped, so no
# debug information is made.
kov_build_package() {
  local -x DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g
  cmake -S . -B "$KOV_PACKAGE_DIR" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release \
    "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" \
    -DKOV_SANITIZE=OFF \
    -DKOV_BUILD_TESTS=OFF \
    -DKOV_BUILD_BENCH=OFF \
    -DKOV_WERROR=ON
  kov_build_targets "$KOV_PACKAGE_DIR" "$@"
}

kov_build_targets() {
  local dir=$1
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$dir" --parallel "$(nproc)" "${targets[@]}"
}
