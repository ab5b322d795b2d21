#!/bin/sh
# Installs a build into a scratch prefix and checks what a Linux user gets:
# the folder of programs, data and help, the relative links in bin/, the
# desktop entry, the AppStream metadata and the icons; then builds the
# Debian package, unpacks it with dpkg -x and runs its corvane-cli on the
# examples.
#   tools/check-install.sh BUILD_DIR SOURCE_DIR
set -eu
build="$1"
source="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

fail() { echo "check-install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/prefix" > /dev/null
p="$scratch/prefix"
for f in lib/corvane/corvane lib/corvane/corvane-cli lib/corvane/corvane-sheet lib/corvane/CorvaneFluidsO.dat lib/corvane/CorvanePipeIDO.dat \
         lib/corvane/CorvaneHelp100.pdf share/applications/org.example.Corvane.desktop \
         share/metainfo/org.example.Corvane.metainfo.xml share/icons/hicolor/scalable/apps/org.example.Corvane.svg \
         share/icons/hicolor/48x48/apps/org.example.Corvane.png share/icons/hicolor/256x256/apps/org.example.Corvane.png \
         share/mime/packages/org.example.Corvane.mime.xml \
         share/icons/hicolor/48x48/mimetypes/application-x-corvane-diameter.png \
         share/icons/hicolor/48x48/mimetypes/application-x-corvane-run.png \
         share/man/man1/corvane.1.gz share/man/man1/corvane-cli.1.gz share/doc/corvane/copyright \
         share/doc/corvane/changelog.gz share/doc/corvane/examples/pressure-drop.PW1 \
         share/doc/corvane/examples/pump-suction-lift.cvrun share/doc/corvane/corvane-run.schema.json; do
  [ -e "$p/$f" ] || fail "missing $f"
done
for program in corvane corvane-cli; do
  [ "$(readlink "$p/bin/$program")" = "../lib/corvane/$program" ] || fail "bin/$program is not a relative link"
done
file "$p/share/icons/hicolor/48x48/apps/org.example.Corvane.png" | grep -q "48 x 48" || fail "48x48 icon has another size"
desktop-file-validate "$p/share/applications/org.example.Corvane.desktop" || fail "desktop entry"
grep -q '^Exec=corvane %F$' "$p/share/applications/org.example.Corvane.desktop" || fail "the desktop entry takes no files"
grep -q '^MimeType=.*application/x-corvane-diameter;' "$p/share/applications/org.example.Corvane.desktop" ||
  fail "the desktop entry names no panel file type"
appstreamcli validate --no-net "$p/share/metainfo/org.example.Corvane.metainfo.xml" > /dev/null || fail "AppStream metadata"
"$p/bin/corvane-cli" "$source"/examples/*.PW? > /dev/null || fail "installed corvane-cli"
# A pipe run naming rows of the stock data bases beside the installed program.
"$p/bin/corvane-cli" run "$p/share/doc/corvane/examples/pump-suction-lift.cvrun" > /dev/null || fail "installed corvane-cli run"
# --sheet through the link in bin/: corvane-cli hands it to corvane-sheet beside it.
(unset DISPLAY WAYLAND_DISPLAY; "$p/bin/corvane-cli" --sheet "$scratch/sheet.pdf" "$source"/examples/pressure-drop.PW1) ||
  fail "installed corvane-cli --sheet"
head -c 5 "$scratch/sheet.pdf" | grep -q '%PDF-' || fail "installed corvane-cli --sheet wrote no PDF"
(unset DISPLAY WAYLAND_DISPLAY; "$p/bin/corvane-cli" run --sheet "$scratch/run.pdf" "$p/share/doc/corvane/examples/pump-cavitating.cvrun") ||
  fail "installed corvane-cli run --sheet"
head -c 5 "$scratch/run.pdf" | grep -q '%PDF-' || fail "installed corvane-cli run --sheet wrote no PDF"
ldd "$p/lib/corvane/corvane-cli" | grep -q libQt && fail "corvane-cli links Qt"

# The package.
(cd "$build" && cpack -G DEB -B "$scratch/package" > /dev/null) || fail "cpack"
deb="$(ls "$scratch"/package/*.deb)"
dpkg-deb -f "$deb" Depends | grep -q "fonts-liberation" || fail "package does not depend on fonts-liberation"
dpkg-deb -f "$deb" Depends | grep -q "fonts-dejavu-core" || fail "package does not depend on fonts-dejavu-core"
dpkg-deb -f "$deb" Depends | grep -q "qt6-qpa-plugins" || fail "package does not depend on the Qt platform plugins"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "shlibdeps found no Qt library"
dpkg-deb -f "$deb" Description | sed -n 2p | grep -q "Corvane calculates" || fail "package has no extended description"
dpkg -x "$deb" "$scratch/root"
for program in corvane corvane-cli corvane-sheet; do
  file "$scratch/root/usr/lib/corvane/$program" | grep -q ", stripped" || fail "packaged $program is not stripped"
done
"$scratch/root/usr/bin/corvane-cli" --json "$source"/examples/*.PW? > "$scratch/out.json" || fail "packaged corvane-cli"
# The package's MIME database, built as the system's trigger builds it,
# gives a .PW3 file Corvane's type.
XDG_DATA_HOME="$scratch/none" XDG_DATA_DIRS="$scratch/root/usr/share" update-mime-database "$scratch/root/usr/share/mime" ||
  fail "update-mime-database refused the packaged types"
printf 'Corvane_Find_DIAMETER\r\n' > "$scratch/x.PW3"
XDG_DATA_HOME="$scratch/none" XDG_DATA_DIRS="$scratch/root/usr/share" gio info -a standard::content-type "$scratch/x.PW3" |
  grep -q 'application/x-corvane-diameter' || fail "the packaged MIME types do not give x.PW3 Corvane's type"
cp "$source/examples/pump-cavitating.cvrun" "$scratch/y.cvrun"
XDG_DATA_HOME="$scratch/none" XDG_DATA_DIRS="$scratch/root/usr/share" gio info -a standard::content-type "$scratch/y.cvrun" |
  grep -q 'application/x-corvane-run' || fail "the packaged MIME types do not give y.cvrun Corvane's type"
grep -q '"PipeLength_RightEdit4": "17.132"' "$scratch/out.json" || fail "packaged corvane-cli gave other results"
echo "check-install: installed layout, desktop entry, media types, metadata, icons and package are fine"
