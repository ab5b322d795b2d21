#!/bin/sh
# Kills `corvane-cli data add`, `data remove` and a panel save at every one
# of their system calls (strace --inject), one run per call, and checks
# what each kill left: every original line of the user file exactly once
# (the line being added or removed at most once), the file's mode kept, a
# panel file either old or new and whole, and after the next start no
# temporary and no backup.
#   kill-at-every-call.sh CORVANE_CLI SAVE_PROBE PANEL_FILE
set -eu
cli=$1 probe=$2 panel=$3
command -v strace >/dev/null 2>&1 || { echo "strace is not installed"; exit 77; }
strace -qq -o /dev/null true 2>/dev/null || { echo "strace cannot trace here"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
d=$work/d
cr=$(printf '\r')
user=$d/CorvaneUserFluids.dat
originals="11	A	1	1.000000	1.000000
not a data row, kept as it is
21	B	2	2.000000	2.000000
11	C	3	3.000000	3.000000"
added="11	New	9	9.000000	9.000000"

setup() {
  rm -rf "$d" && mkdir "$d"
  printf '%s\n' "$originals" | sed "s/\$/$cr/" > "$user"
  chmod 640 "$user"
  cp "$panel" "$d/old.PW1"
  printf 'an older panel file\r\n' > "$d/saved.PW1"
  chmod 640 "$d/saved.PW1"
}

count() { grep -c -x -F "$1$cr" "$user" || true; }

fail() { echo "FAIL ($op, $call #$n): $*"; exit 1; }

check() {
  [ "$(stat -c %a "$user")" = 640 ] || fail "mode of the user file is $(stat -c %a "$user")"
  printf '%s\n' "$originals" | while IFS= read -r line; do
    times=$(count "$line")
    case $op:$line in
      remove:21*) [ "$times" -le 1 ] || fail "the removed line is there $times times" ;;
      *) [ "$times" = 1 ] || fail "'$line' is there $times times" ;;
    esac
  done
  [ "$(count "$added")" -le 1 ] || fail "the added line is there twice"
  # The next start (any data command) removes what a killed writer left.
  "$cli" data list fluids --data-dir "$d" >/dev/null 2>&1 || fail "the next start failed"
  "$probe" "$d/old.PW1" "$d/saved.PW1" 2>/dev/null || fail "the next save failed"
  leftovers=$(ls -a "$d" | grep -e corvane-new -e '\.bak' || true)
  [ -z "$leftovers" ] || fail "left behind: $leftovers"
}

check_save() {
  [ "$(stat -c %a "$d/saved.PW1")" = 640 ] || fail "mode of the panel file is $(stat -c %a "$d/saved.PW1")"
  if ! cmp -s "$d/saved.PW1" "$work/new.PW1" && [ "$(cat "$d/saved.PW1")" != "an older panel file$cr" ]; then
    fail "the panel file is neither the old one nor the new one"
  fi
  check
}

run() {
  case $op in
    add) set -- "$cli" data add fluid New 9 9 9 --data-dir "$d" ;;
    remove) set -- "$cli" data remove fluid B 2 --data-dir "$d" ;;
    save) set -- "$probe" "$d/old.PW1" "$d/saved.PW1" ;;
  esac
  if [ "$call" = none ]; then
    strace -f -qq -o "$work/trace" "$@" >/dev/null 2>&1
  else
    strace -f -qq -o /dev/null -e trace=all -e "inject=$call:signal=SIGKILL:when=$n" "$@" >/dev/null 2>&1
  fi
}

setup
"$probe" "$d/old.PW1" "$work/new.PW1"

# The first add creates the user file whole: written beside, flushed,
# renamed into place, and then the folder flushed.
rm -f "$user"
strace -qq -o "$work/first" -e trace=openat,write,fsync,rename "$cli" data add fluid New 9 9 9 --data-dir "$d"
sed -n '/corvane-new/,$p' "$work/first" | grep -o -E '^(openat|write|fsync|rename)|O_DIRECTORY' | tr '\n' ' ' \
  | grep -q 'openat write fsync rename openat O_DIRECTORY fsync' || { cat "$work/first"; echo "FAIL: the first add"; exit 1; }

runs=0
for op in add remove save; do
  setup
  call=none n=0
  run || fail "the run without a kill failed"
  calls=$(sed -E 's/^[0-9]+ +//; s/\(.*//' "$work/trace" | grep -E '^[a-z_0-9]+$' | sort -u)
  for call in $calls; do
    n=1
    while :; do
      setup
      status=0
      run || status=$?
      runs=$((runs + 1))
      # strace passes on the status of a process killed by a signal as
      # 128 + the signal; anything else means the call was never reached.
      if [ "$op" = save ]; then check_save; else check; fi
      [ "$status" -eq 137 ] || break
      n=$((n + 1))
    done
  done
done
echo "every system call of add, remove and save killed once: $runs runs, nothing lost"
