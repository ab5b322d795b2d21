#!/bin/sh
# corvane-cli --sheet on a machine without a display: every example gives a
# PDF whose text holds the panel's result, and a refused file gives status 1.
#   sheet-without-display.sh BUILD_DIR EXAMPLES_DIR
set -eu
cli="$1/corvane-cli"
examples="$2"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
for f in "$examples"/*.PW?; do
  name=$(basename "$f")
  "$cli" --sheet "$out/$name.pdf" "$f" 2>"$out/err" || { echo "$name: status $?"; cat "$out/err"; exit 1; }
  [ ! -s "$out/err" ] || { echo "$name: said"; cat "$out/err"; exit 1; }
  pdfinfo "$out/$name.pdf" | grep -q '^Pages: *[2-9]' || { echo "$name: pages"; exit 1; }
  pdftotext "$out/$name.pdf" - | grep -q '^4 *The result' || { echo "$name: no result section"; exit 1; }
done
# The text of the pressure drop example: its printed head.
pdftotext -layout "$out/pressure-drop.PW1.pdf" - | grep -q 'Pressure drop *5.831 *m hd' || { echo "no 5.831 m hd"; exit 1; }
# A pipe run's sheet, handed over the same way: its grade lines and the
# node where the liquid boils; never over the run file.
"$cli" run --sheet "$out/run.pdf" "$examples/pump-cavitating.cvrun" || { echo "run --sheet: status $?"; exit 1; }
pdftotext "$out/run.pdf" - | grep -q '^5 *Grade lines' || { echo "run sheet: no grade lines"; exit 1; }
pdftotext "$out/run.pdf" - | grep -q 'below the vapour pressure' || { echo "run sheet: no boiling node"; exit 1; }
cp "$examples/pump-cavitating.cvrun" "$out/self.cvrun"
status=0
"$cli" run --sheet "$out/self.cvrun" "$out/self.cvrun" 2>/dev/null || status=$?
[ "$status" -eq 2 ] && cmp -s "$out/self.cvrun" "$examples/pump-cavitating.cvrun" || { echo "run sheet over its file: $status"; exit 1; }
# A refused calculation: status 1, no file.
sed 's/^100\.000\r$/0\r/' "$examples/pressure-drop.PW1" >"$out/zero.PW1"
status=0
"$cli" --sheet "$out/zero.pdf" "$out/zero.PW1" 2>/dev/null || status=$?
[ "$status" -eq 1 ] && [ ! -e "$out/zero.pdf" ] || { echo "refused: status $status"; exit 1; }
# The batch tool itself loads no Qt: it hands --sheet to corvane-sheet
# beside it, and alone it says what is missing.
if ldd "$cli" | grep -q libQt; then echo "corvane-cli links Qt"; exit 1; fi
mkdir "$out/alone"
cp "$cli" "$out/alone/"
status=0
"$out/alone/corvane-cli" --sheet "$out/alone.pdf" "$examples/flow.PW2" 2>"$out/err" || status=$?
[ "$status" -eq 2 ] && grep -q 'needs corvane-sheet beside corvane-cli' "$out/err" && [ ! -e "$out/alone.pdf" ] ||
  { echo "alone: status $status"; cat "$out/err"; exit 1; }
echo "ok"
