#!/bin/sh
# The clean-room check: what a newcomer meets on a brand-new minimal Debian 12.
#
#   tools/fresh-check.sh [COMMIT]        (as root; COMMIT defaults to HEAD)
#
# Bootstraps a minimal Debian 12 (debootstrap --variant=minbase) from the
# Debian archive that this machine's apt sources name, and keeps it as a
# tarball in $CORVANE_FRESH_CACHE (default /var/cache/corvane) so that later
# runs skip the bootstrap.  In a fresh copy of that tree, with /proc, /dev and
# a tmpfs on /tmp mounted, it clones COMMIT, installs make and runs in turn:
#   make test       every test passes;
#   make run        without a display: builds, then ends with its message;
#   make package    and lintian on the package, which must report nothing.
# Then it installs the package with apt-get into a second fresh copy, where
# the installed corvane-cli calculates the installed examples, the
# installed program starts and the system's MIME database knows the panel
# files.  Whatever happens, everything mounted is
# unmounted and the copies are removed; the last line gives the outcome.
set -eu

top="$(cd "$(dirname "$0")/.." && pwd)"
cache="${CORVANE_FRESH_CACHE:-/var/cache/corvane}"
pristine="$cache/debian12-minbase.tar.gz"
suite=bookworm
started=$(date +%s)

say() { echo "fresh-check: $*"; }

if [ "$(id -u)" -ne 0 ]; then
  say "FAILED: must run as root (it bootstraps, mounts and chroots)" >&2
  exit 2
fi
commit="$(git -C "$top" rev-parse --verify "${1:-HEAD}^{commit}")"

mkdir -p "$cache"
work="$(mktemp -d /var/tmp/corvane-fresh.XXXXXX)"
logs="$cache/logs"
rm -rf "$logs"
mkdir -p "$logs"
mounted=""     # mount points, newest first
step="setting up"

# ------------------------------------------------------------ clean-up
still_mounted() {  # any mount point at or below $1?
  awk -v p="$1" '$2 == p || index($2, p "/") == 1 { found = 1 } END { exit !found }' /proc/self/mounts
}
cleanup() {
  status=$?
  set +e
  # Whatever still runs inside a copy goes first.
  for p in /proc/[0-9]*; do
    case "$(readlink "$p/root" 2>/dev/null)" in
      "$work"/*) kill -KILL "${p#/proc/}" 2>/dev/null ;;
    esac
  done
  sleep 1
  for m in $mounted; do
    umount "$m" 2>/dev/null || umount -l "$m"
  done
  # Never delete a tree that still has something mounted in it: that would
  # reach through to the host's /dev.
  if still_mounted "$work"; then
    say "left $work in place: something is still mounted below it" >&2
  else
    rm -rf "$work"
  fi
  elapsed=$(( $(date +%s) - started ))
  if [ "$status" -eq 0 ]; then
    say "passed: make test, make run, make package, lintian and the installed package on a fresh Debian 12 (commit ${commit%"${commit#????????????}"}, $((elapsed / 60)) min $((elapsed % 60)) s)"
  else
    say "FAILED while $step after $((elapsed / 60)) min $((elapsed % 60)) s; logs in $logs"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

fail() { echo "fresh-check: $*" >&2; exit 1; }

# ------------------------------------------------------------ the archive
# The Debian archive this machine's apt sources name for the release (and
# its security archive), read from both source formats.
source_uri() {  # $1: suite; prints the first URI that serves it
  {
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v want="$1" '
        BEGIN { RS = ""; FS = "\n" }
        {
          uris = ""; suites = ""; enabled = 1
          for (i = 1; i <= NF; i++) {
            if ($i ~ /^URIs:/) { uris = $i; sub(/^URIs:[ \t]*/, "", uris) }
            if ($i ~ /^Suites:/) { suites = " " $i " "; sub(/^ Suites:/, "", suites) }
            if ($i ~ /^Enabled:[ \t]*no/) enabled = 0
          }
          n = split(uris, u, /[ \t]+/)
          if (enabled && n > 0 && index(suites, " " want " ") > 0) print u[1]
        }' "$f"
    done
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      sed -e 's/#.*//' -e 's/\[[^]]*\]//' |
      awk -v want="$1" '$1 == "deb" && $3 == want { print $2 }'
  } | head -n 1
}

mirror="${CORVANE_MIRROR:-$(source_uri $suite)}"
[ -n "$mirror" ] || fail "no apt source of this machine names Debian's $suite (set CORVANE_MIRROR)"
security="${CORVANE_SECURITY_MIRROR:-$(source_uri $suite-security)}"

# ------------------------------------------------------------ the pristine tree
# Rebuilt when missing or older than 30 days.
if [ -f "$pristine" ] && [ -z "$(find "$pristine" -mtime +30)" ]; then
  say "using the minimal Debian 12 kept in $pristine"
else
  step="bootstrapping a minimal Debian 12"
  say "bootstrapping a minimal Debian 12 from $mirror into $pristine"
  if ! command -v debootstrap > /dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap > "$logs/host-apt.log" 2>&1 ||
      fail "could not install debootstrap on this machine (see $logs/host-apt.log)"
  fi
  tree="$work/bootstrap"
  debootstrap --variant=minbase "$suite" "$tree" "$mirror" > "$logs/debootstrap.log" 2>&1 ||
    fail "debootstrap failed (see $logs/debootstrap.log)"
  # The package sources a new installation has: the release, its updates
  # and, where this machine has one, the security archive.
  {
    printf 'Types: deb\nURIs: %s\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$mirror" "$suite" "$suite"
    if [ -n "$security" ]; then
      printf '\nTypes: deb\nURIs: %s\nSuites: %s-security\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$security" "$suite"
    fi
  } > "$tree/etc/apt/sources.list.d/debian.sources"
  rm -f "$tree/etc/apt/sources.list"
  # No service starts inside the tree.
  printf '#!/bin/sh\nexit 101\n' > "$tree/usr/sbin/policy-rc.d"
  chmod 755 "$tree/usr/sbin/policy-rc.d"
  chroot "$tree" apt-get clean
  tar -C "$tree" --numeric-owner -czf "$pristine.new" .
  mv "$pristine.new" "$pristine"
  rm -rf "$tree"
fi

# ------------------------------------------------------------ fresh copies
fresh_copy() {  # $1: folder; unpacks the pristine tree and mounts into it
  mkdir -p "$1"
  tar -C "$1" --numeric-owner -xzf "$pristine"
  cp /etc/resolv.conf "$1/etc/resolv.conf"
  mount -t proc proc "$1/proc" && mounted="$1/proc $mounted"
  mount --bind /dev "$1/dev" && mounted="$1/dev $mounted"
  mount -t tmpfs tmpfs "$1/dev/shm" && mounted="$1/dev/shm $mounted"
  mount -t tmpfs tmpfs "$1/tmp" && mounted="$1/tmp $mounted"
}
# Runs a shell command as root inside a copy, with a login's plain
# environment, its output in a log.
# (In the background, so that a signal to this script is handled at once.)
inside() {  # $1: folder, $2: log name, $3: command
  chroot "$1" /usr/bin/env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/sh TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/sh -c "$3" > "$logs/$2.log" 2>&1 &
  wait $!
}
show_tail() { echo "--- last lines of $logs/$1.log"; tail -n "${2:-40}" "$logs/$1.log"; }

first="$work/first"
step="unpacking the first copy"
fresh_copy "$first"
git clone -q --no-hardlinks "$top" "$first/root/corvane"
git -C "$first/root/corvane" checkout -q --detach "$commit"

step="installing make"
inside "$first" apt-make "apt-get update && apt-get install -y make" ||
  { show_tail apt-make; fail "apt-get install make failed"; }

step="running make test"
say "make test"
if ! inside "$first" make-test "cd /root/corvane && make test"; then
  grep -E '^[0-9]+% tests passed|\(Failed\)|\(SEGFAULT\)|\(Timeout\)|Error' "$logs/make-test.log" | tail -n 40
  show_tail make-test
  fail "make test failed"
fi
grep -E '^[0-9]+% tests passed' "$logs/make-test.log"

step="running make run without a display"
say "make run (no display)"
inside "$first" make-run "cd /root/corvane && make run" && fail "make run succeeded without a display"
last="$(grep -v '^make: \*\*\*' "$logs/make-run.log" | tail -n 1)"
case "$last" in
  *"no display"*) echo "$last" ;;
  *) show_tail make-run; fail "make run did not end with its no-display message" ;;
esac
[ -x "$first/root/corvane/build/corvane" ] || fail "make run built no program"

step="running make package"
say "make package"
inside "$first" make-package "cd /root/corvane && make package" ||
  { show_tail make-package; fail "make package failed"; }
deb="$(cd "$first/root/corvane/build" && ls corvane_*.deb)"

step="running lintian"
say "lintian $deb"
inside "$first" apt-lintian "DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lintian" ||
  { show_tail apt-lintian; fail "apt-get install lintian failed"; }
inside "$first" lintian "lintian --fail-on error,warning /root/corvane/build/$deb" ||
  { show_tail lintian; fail "lintian found errors or warnings in the package"; }
grep -v '^running with root' "$logs/lintian.log" || echo "lintian: nothing to report"

step="installing the package into a second fresh copy"
second="$work/second"
fresh_copy "$second"
cp "$first/root/corvane/build/$deb" "$second/tmp/$deb"
umount "$first/tmp" "$first/dev/shm" "$first/dev" "$first/proc"
mounted="$(echo "$mounted" | tr ' ' '\n' | grep -v "^$first/" | tr '\n' ' ')"
rm -rf "$first"
say "apt-get install ./$deb"
inside "$second" install "cd /tmp && apt-get update -qq &&
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends ./$deb" ||
  { show_tail install; fail "the package does not install with apt-get"; }

step="running the installed programs"
inside "$second" installed-cli "corvane-cli --json /usr/share/doc/corvane/examples/*.PW?" ||
  { show_tail installed-cli; fail "the installed corvane-cli failed on the installed examples"; }
grep -q '"PipeLength_RightEdit4": "17.132"' "$logs/installed-cli.log" ||
  { show_tail installed-cli; fail "the installed corvane-cli gave other results"; }
echo "installed corvane-cli: $(grep -c '"status": "ok"' "$logs/installed-cli.log") examples calculated"
inside "$second" installed-ldd "ldd /usr/lib/corvane/corvane /usr/lib/corvane/corvane-cli" ||
  { show_tail installed-ldd; fail "ldd failed on the installed programs"; }
if grep -q "not found" "$logs/installed-ldd.log"; then
  grep "not found" "$logs/installed-ldd.log"
  fail "the package's dependencies leave libraries missing"
fi
# The desktop program starts (on the offscreen platform) and keeps running
# until it is stopped.
set +e
inside "$second" installed-gui "QT_QPA_PLATFORM=offscreen timeout 5 corvane"
gui=$?
set -e
[ "$gui" -eq 124 ] || { show_tail installed-gui; fail "the installed corvane did not start (status $gui)"; }
echo "installed corvane: started and ran until stopped"
# The system's MIME database, updated by the package's installation, gives
# a panel file Corvane's type (gio comes with libglib2.0-bin).
inside "$second" apt-gio "DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends libglib2.0-bin" ||
  { show_tail apt-gio; fail "apt-get install libglib2.0-bin failed"; }
inside "$second" installed-mime "printf 'Corvane_Find_DIAMETER\\r\\n' > /tmp/x.PW3 && gio info -a standard::content-type /tmp/x.PW3" ||
  { show_tail installed-mime; fail "gio could not tell the type of x.PW3"; }
grep -q 'application/x-corvane-diameter' "$logs/installed-mime.log" ||
  { show_tail installed-mime; fail "the installed MIME database does not give x.PW3 Corvane's type"; }
echo "installed media types: x.PW3 is application/x-corvane-diameter"
step="finishing"
