# Sourced by scripts/test (after scripts/build.sh and scripts/packages.sh): what the checks of a
# run depend on, so that a run with nothing changed need not run them again.

# kov_checks_fingerprint: one line that changes whenever anything the checks run changes: the
# programs, libraries and test definitions of the three trees (their size and time of change: the
# build rewrites a file only when it is rebuilt), the test scripts and fuzz seed inputs of the
# source tree (their contents), and the versions of the packages installed.
kov_checks_fingerprint() {
  {
    find "$KOV_SANITIZE_DIR" "$KOV_FUZZ_DIR/fuzz" "$KOV_PACKAGE_DIR/app" -path '*/CMakeFiles' -prune \
      -o -type f \( -perm -u+x -o -name '*.so' -o -name CTestTestfile.cmake \) \
      -printf '%p %s %T@\n' | sort
    find tests scripts fuzz -type f -print0 | sort -z | xargs -0 sha256sum
    dpkg-query -W "${KOV_PACKAGES[@]}"
  } | sha256sum | cut -d' ' -f1
}
