# Shared set-up of ./run and ./test: installs the Debian packages the build and the
# tests need, then configures and builds into build/. Sourced, not run.

VESKAN_PACKAGES=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev libxcb1-dev libxcb-shm0-dev
  xvfb xauth x11-utils x11-xserver-utils xdotool imagemagick fonts-dejavu-core
  xscreensaver
  # xflame, the peer bench/compare-xflame measures the saver against
  xscreensaver-data-extra
  clang libclang-rt-14-dev
  # The Windows build and its tests under Wine (tools/build-windows, tools/test-windows):
  # the 64-bit MinGW-w64 compiler with POSIX threads, its headers and windres; nasm for
  # libjpeg-turbo's SIMD code; dpkg-dev to unpack Debian's source package; GoogleTest's
  # sources; Wine, with its fonts (the dialog's "MS Sans Serif").
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  nasm dpkg-dev googletest wine64 fonts-wine
  # Wayland: talvex's client library and protocol descriptions (build), and for the
  # tests headless sway, its screenshots, keys and idle daemon, and Qt's Wayland platform.
  libwayland-dev wayland-protocols sway grim wtype swayidle qt6-wayland
)

veskan_install_packages() {
  local missing=()
  local pkg
  for pkg in "${VESKAN_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo -n)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq </dev/null
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" </dev/null
}

veskan_build() {
  local dir=${1:-build}
  shift || true
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
