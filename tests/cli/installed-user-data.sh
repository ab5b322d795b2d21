#!/bin/sh
# The installed layout used by a user who cannot write the program's folder:
# corvane-cli data adds, lists and removes a fluid, the user file goes to
# the user's data folder ($XDG_DATA_HOME/corvane, by default
# ~/.local/share/corvane), created on the first write, the stock files are
# read from beside the program, a user file left beside the program is
# still listed, and nothing in the program's folder changes.
#   installed-user-data.sh BUILD_DIR
set -eu
build=$1
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "installed-user-data: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" > /dev/null
program=$work/prefix/lib/corvane
cli=$work/prefix/bin/corvane-cli
printf '11\tLeft beside\t5\t5.000000\t5.000000\r\n' > "$program/CorvaneUserFluids.dat"
chmod -R a+rX "$work"
chmod 755 "$work"
mkdir "$work/home"
if [ "$(id -u)" -eq 0 ]; then
  # root may write anywhere: the user is "nobody".
  chown nobody "$work/home"
  as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups --"
else
  chmod 555 "$program"
  as_user=""
fi
before=$(ls -l --time-style=+%s.%N "$program" | md5sum)
run() { env -i HOME="$work/home" PATH=/usr/bin:/bin ${xdg:+XDG_DATA_HOME=$xdg} $as_user "$cli" data "$@"; }

xdg=""
run add fluid Oil 15C 46 0.87 || fail "add"
mine=$work/home/.local/share/corvane/CorvaneUserFluids.dat
[ "$(cat "$mine")" = "$(printf '11\tOil\t15C\t46.000000\t0.870000\r')" ] || fail "the user file is not in ~/.local/share/corvane"
listing=$(run list fluids) || fail "list"
echo "$listing" | grep -q "^stock	liquid	Water" || fail "stock rows not listed"
echo "$listing" | grep -q "^shared	liquid	Left beside" || fail "the user file beside the program is not listed"
echo "$listing" | grep -q "^user	liquid	Oil	15C" || fail "the added row is not listed"
run remove fluid "Left beside" 5 2>/dev/null && fail "a row of the program's folder was removed"
run remove fluid Oil 15C || fail "remove"
[ -z "$(cat "$mine")" ] || fail "the removed row is still there"
run list fluids | grep -q "Oil" && fail "the removed row is still listed"

xdg=$work/home/xdg
run add pipe PVC 1/2 13.1 || fail "add with XDG_DATA_HOME"
[ -f "$xdg/corvane/CorvaneUserPipeID.dat" ] || fail "the user file is not in \$XDG_DATA_HOME/corvane"

[ "$(ls -l --time-style=+%s.%N "$program" | md5sum)" = "$before" ] || fail "the program's folder changed"
echo "installed layout: user data in the user's data folder"
