# Sourced by the play and test commands: installs the Debian packages that
# are missing, through sudo when not root.
ensure_packages() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  ((${#missing[@]} == 0)) && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-private-dev libgl-dev libxcb1-dev libfontconfig-dev fonts-dejavu-extra python3-fonttools)
TEST_PACKAGES=(googletest kwin-x11 dbus-daemon libgtest-dev xvfb xdotool x11-xserver-utils x11-utils openbox wmctrl imagemagick dpkg-dev file lintian desktop-file-utils appstream weston xwayland qt6-wayland)
BENCH_PACKAGES=(libbenchmark-dev)
# The browser build and its tests: emscripten (with its clang and binaryen)
# and Node.js build the site; Chromium, Firefox ESR and WebKitGTK's
# MiniBrowser (on a virtual X server) play it; zbarimg reads its QR codes.
WEB_PACKAGES=(cmake ninja-build emscripten nodejs googletest python3-fonttools fonts-dejavu-extra)
BROWSER_PACKAGES=(chromium firefox-esr webkit2gtk-driver xvfb xauth zbar-tools)
# The Windows build: Debian's mingw-w64 cross compiler (posix threads) and
# NSIS make diamond.exe, its zip and its installer; Wine 64-bit runs them on
# a virtual X server under openbox for the tests.
WINDOWS_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis zip python3-fonttools fonts-dejavu-extra googletest)
WINE_PACKAGES=(wine wine64 numlockx xvfb xdotool x11-utils openbox wmctrl imagemagick nodejs)
