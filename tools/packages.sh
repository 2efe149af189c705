# The Debian 12 packages the project needs, and a helper that installs the missing ones
# (as root, without questions). Sourced by the other scripts.
TAVI_PACKAGES=(
  cmake ninja-build g++ pkg-config                      # the build
  libgtest-dev googletest libbenchmark-dev              # unit tests (GoogleTest sources for the Windows build), benchmarks
  clang libclang-rt-14-dev                              # libFuzzer targets with sanitizers
  libgtk-3-dev libfontconfig-dev                        # windows, drawing, text, private fonts on Linux
  libx11-dev libxext-dev libxss-dev libxtst-dev         # monitor power, screen saver; synthetic input in tests
  libmecab-dev mecab unidic-mecab                       # morphological analysis and its dictionary
  nlohmann-json3-dev                                    # the language module's settings file
  libcurl4-openssl-dev libxml2-dev                      # HTTP/HTTPS on Linux; a reference reader for markup tests
  fonts-ipafont-gothic                                  # a Japanese font
  xvfb xauth xdotool imagemagick x11-utils xcompmgr     # GUI tests on a virtual display, screenshots, compositing
  librsvg2-bin                                          # turning the SVG character art into images
  mingw-w64 g++-mingw-w64-x86-64-posix                  # the Windows cross build
  wine64 wine locales                                   # running the Windows tests (with a Japanese locale)
)

tavi_missing_packages() {
  local p missing=()
  for p in "${TAVI_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]}"
}

tavi_install_packages() {
  local missing
  missing="$(tavi_missing_packages)"
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "Missing packages: $missing" >&2
    echo "Install them as root: apt-get install -y $missing" >&2
    return 1
  fi
  echo "== installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q && apt-get install -y -q $missing </dev/null
}
