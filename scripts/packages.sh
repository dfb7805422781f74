# Sourced by scripts/test, scripts/fuzz, scripts/demo and scripts/package: installs what the
# build, the tests, the fuzz targets (clang with libFuzzer and the sanitizer runtimes), the demo
# and the package (Debian's build flags and library dependencies, lintian, the AppStream
# validator) need; the screen reader's checks need a D-Bus session, the accessibility bus and an
# AT-SPI client.
# Quick when everything is there: apt-get runs only for packages that are missing.

KOV_PACKAGES=(
  cmake ninja-build g++ pkg-config
  clang libclang-rt-14-dev
  qt6-base-dev qt6-svg-dev libgl-dev
  libmodbus-dev
  libgtest-dev libgmock-dev libbenchmark-dev librapidcheck-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth xdotool imagemagick
  desktop-file-utils
  dpkg-dev lintian appstream
  dbus-daemon dbus-bin at-spi2-core python3-pyatspi gir1.2-atspi-2.0 libqt6dbus6
)

kov_install_packages() {
  local missing=()
  local pkg
  for pkg in "${KOV_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
}
