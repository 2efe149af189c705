# The Debian 12 packages the project needs, in groups, and a helper that installs the missing
# ones (as root, without questions). Sourced by the other scripts: tools/run.sh installs the
# "run" group (building and running the companion), tools/test-all.sh every group.

# Building the program and running it, on a desktop or (for the screenshot) a virtual display.
TAVI_PACKAGES_RUN=(
  cmake ninja-build g++ pkg-config                      # the build
  libgtk-3-dev libfontconfig-dev                        # windows, drawing, text, private fonts on Linux
  libx11-dev libxext-dev libxss-dev                     # monitor power and screen saver calls
  libmecab-dev unidic-mecab                             # morphological analysis and its dictionary
  nlohmann-json3-dev                                    # the language module's settings file
  libcurl4-openssl-dev                                  # HTTP/HTTPS on Linux
  fonts-ipafont-gothic                                  # a Japanese font
  xvfb xauth imagemagick                                # the run without a display: virtual display, screenshot
)
# Tests, sanitizers, fuzzing, benchmarks and the tools that make the character art.
TAVI_PACKAGES_TEST=(
  libgtest-dev googletest libbenchmark-dev              # unit tests (GoogleTest sources for the Windows build), benchmarks
  clang libclang-rt-14-dev                              # libFuzzer targets with sanitizers
  mecab libxml2-dev                                     # the analyser's command; a reference reader for markup benchmarks
  python3 openssl xdotool x11-utils xcompmgr            # test servers; GUI tests: input, window inspection, compositing
  openbox                                               # window manager: whole-program tests (struts, work area), guide pictures
  libxtst-dev                                           # synthetic input from the UI test driver
  librsvg2-bin                                          # turning the SVG character art and charts into images
)
# Building for Windows and running its tests.
TAVI_PACKAGES_WINDOWS=(
  mingw-w64 g++-mingw-w64-x86-64-posix                  # the Windows cross build
  wine64 wine locales                                   # running the Windows tests (with a Japanese locale)
)

# tavi_missing_packages [GROUP...]: the missing packages of the groups (run, test, windows;
# all of them by default), on one line.
tavi_missing_packages() {
  local group p missing=() groups=("$@")
  [ ${#groups[@]} -eq 0 ] && groups=(run test windows)
  for group in "${groups[@]}"; do
    local -n list="TAVI_PACKAGES_${group^^}"
    for p in "${list[@]}"; do
      dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
  done
  echo "${missing[@]}"
}

# tavi_install_packages [GROUP...]: installs what tavi_missing_packages names.
tavi_install_packages() {
  local missing
  missing="$(tavi_missing_packages "$@")"
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
