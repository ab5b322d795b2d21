#!/bin/sh
# The panel files' media types: a MIME database built from Corvane's
# package in a scratch folder gives each panel file its type, by the
# extension in either letter case and by the header on its first line.
#   mime-types.sh SOURCE_DIR
set -eu
source="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "mime-types: $*" >&2; exit 1; }

mkdir -p "$scratch/share/mime/packages" "$scratch/home" "$scratch/files"
cp "$source/data/desktop/org.example.Corvane.mime.xml" "$scratch/share/mime/packages/"
XDG_DATA_HOME="$scratch/home" XDG_DATA_DIRS="$scratch/share" update-mime-database "$scratch/share/mime" || fail "update-mime-database refused the package"

type_of() {
  XDG_DATA_HOME="$scratch/home" XDG_DATA_DIRS="$scratch/share" gio info -a standard::content-type "$1" |
    sed -n 's/^ *standard::content-type: //p'
}
cd "$scratch/files"
printf 'Corvane_Find_DIAMETER\r\nGasFalse3\r\n' > x.PW3
printf 'Corvane_Find_FLOW\r\nGasFalse2\r\n' > y.pw2
printf 'Corvane_Find_LENGTH\r\nGasFalse4\r\n' > case-without-extension
cp "$source/examples/pressure-drop.PW1" p.PW1
cp "$source/examples/pump-suction-lift.cvrun" r.cvrun
cp "$source/examples/pump-suction-lift.cvrun" R.CVRUN
printf '{\n  "corvane_run": 1,\n  "sections": []\n}\n' > run-without-extension
for pair in x.PW3:diameter y.pw2:flow case-without-extension:length p.PW1:pressure-drop r.cvrun:run R.CVRUN:run \
            run-without-extension:run; do
  file="${pair%%:*}"
  want="application/x-corvane-${pair#*:}"
  got="$(type_of "$file")"
  [ "$got" = "$want" ] || fail "$file is $got, not $want"
done
# Every type the desktop entry names is in the package.
for type in $(sed -n 's/^MimeType=//p' "$source/data/desktop/org.example.Corvane.desktop" | tr ';' ' '); do
  grep -q "type=\"$type\"" "$source/data/desktop/org.example.Corvane.mime.xml" || fail "$type is not in the package"
done
grep -q '^Exec=corvane %F$' "$source/data/desktop/org.example.Corvane.desktop" || fail "the desktop entry takes no files"
echo "mime-types: x.PW3, y.pw2, run files, files by their first bytes and examples get Corvane's types"
