# Shared set-up of ./run and ./test: installs the Debian packages each needs, then
# configures and builds. Sourced, not run.

# What building and running Project1 needs (./run): the compiler and CMake, libjpeg,
# Qt 6, and the X libraries that configuring the whole tree (talvex) asks for.
VESKAN_RUN_PACKAGES=(
  cmake g++ make pkg-config
  libjpeg62-turbo-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev libxcb1-dev libxcb-shm0-dev
  # a keyed window's colour key under a compositing manager, as the window's shape
  libxcb-shape0-dev
  # Qt's native interface, through which frames go straight onto a Wayland window
  qt6-base-private-dev
  # talvex --idle: the X server's idle time, and GNOME's on the session bus
  libxcb-screensaver0-dev libdbus-1-dev
  # talvex's Wayland client library and the protocol descriptions it is generated from
  libwayland-dev wayland-protocols
)

# What the tests, the benchmarks and the other builds need besides (./test).
VESKAN_TEST_PACKAGES=(
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils x11-xserver-utils xdotool imagemagick fonts-dejavu-core
  xscreensaver
  # xflame, the peer bench/compare-xflame measures the saver against
  xscreensaver-data-extra
  # a compositing manager: a keyed window's frames under one, and the saver's figures
  xcompmgr
  clang libclang-rt-14-dev
  # The Windows build and its tests under Wine (tools/build-windows, tools/test-windows):
  # the 64-bit MinGW-w64 compiler with POSIX threads, its headers and windres; nasm for
  # libjpeg-turbo's SIMD code; dpkg-dev to unpack Debian's source package; GoogleTest's
  # sources; Wine, with its fonts (the dialog's "MS Sans Serif"); NSIS for the installer.
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  nasm dpkg-dev googletest wine64 fonts-wine nsis
  # The Debian package and its tests (tools/build-deb, ctest -L install): Debian's build
  # tools and lintian; the MATE screen saver, with D-Bus and gsettings, that runs the
  # installed talvex; man to find the installed pages.
  build-essential debhelper fakeroot lintian
  mate-screensaver dbus dbus-x11 libglib2.0-bin man-db
  # Wayland: for the tests headless sway, its screenshots, keys and idle daemon, and Qt's
  # Wayland platform; weston, a compositor without layer-shell, on its headless backend.
  sway grim wtype swayidle qt6-wayland weston
  # GNOME's compositor headless on a session bus of the tests' own, with PipeWire and
  # GStreamer to read its screen casts.
  mutter pipewire wireplumber gstreamer1.0-pipewire gstreamer1.0-tools gstreamer1.0-plugins-base
  gstreamer1.0-plugins-good
  # KDE Plasma's compositor, and the description of its fake input for the tests' helper
  kwin-wayland plasma-wayland-protocols
)

# veskan_install_packages PACKAGE...: installs those not installed yet.
veskan_install_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
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

# veskan_configure DIR [CMAKE-ARGS...]: configures the tree into DIR.
veskan_configure() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

# veskan_build DIR [TARGET...]: builds the targets, or everything, in DIR.
veskan_build() {
  local dir=$1
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
}
