#!/bin/sh
# Installs the Debian packages a make target needs, when they are missing.
#   tools/install-deps.sh run    what building and starting the program needs
#   tools/install-deps.sh test   that, plus what the tests and benchmarks need
#   tools/install-deps.sh fuzz   clang and its fuzzing runtime
#   tools/install-deps.sh mutate what the tests need, Python 3 and ccache (make mutate)
set -eu

# Qt Charts' CMake package asks for Qt OpenGL's, which is in libqt6opengl6-dev
# and is not pulled in by qt6-charts-dev: name it.  Liberation Sans has no
# superscript digits beyond ³ and no subscripts (10⁻⁶, 10⁴, ρ₀ on the sheet
# and the Moody axes): DejaVu Sans stands in for them.
run_pkgs="cmake ninja-build g++ make qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev fonts-liberation fonts-dejavu-core nlohmann-json3-dev libeigen3-dev"
test_pkgs="$run_pkgs libgtest-dev libgmock-dev googletest libbenchmark-dev desktop-file-utils appstream dpkg-dev file strace poppler-utils shared-mime-info libglib2.0-bin xvfb xauth"
fuzz_pkgs="cmake ninja-build make clang-14 libclang-rt-14-dev nlohmann-json3-dev libeigen3-dev"

case "${1:-}" in
  run)  wanted=$run_pkgs ;;
  test) wanted=$test_pkgs ;;
  fuzz) wanted=$fuzz_pkgs ;;
  mutate) wanted="$test_pkgs python3 ccache" ;;
  *) echo "usage: $0 run|test|fuzz|mutate" >&2; exit 2 ;;
esac

missing=""
for p in $wanted; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=""
elif command -v sudo >/dev/null 2>&1; then
  as_root="sudo"
else
  echo "Missing Debian packages:$missing (run as root or install sudo)" >&2
  exit 1
fi

echo "Installing Debian packages:$missing"
export DEBIAN_FRONTEND=noninteractive
$as_root apt-get update -qq
# shellcheck disable=SC2086
$as_root apt-get install -y -qq --no-install-recommends $missing
