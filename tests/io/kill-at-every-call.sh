#!/bin/sh
# Kills `corvane-cli data add` and `data remove` of a fluid and of a pump,
# and a panel save, at every one of their system calls (strace --inject),
# one run per call, and checks what each kill left: every original line of
# the user file exactly once (the line being added or removed at most
# once), the file's mode kept, a panel file either old or new and whole,
# no lock held, and after the next start no temporary, no backup and no
# lock file.
#   kill-at-every-call.sh CORVANE_CLI SAVE_PROBE PANEL_FILE
set -eu
cli=$1 probe=$2 panel=$3
command -v strace >/dev/null 2>&1 || { echo "strace is not installed"; exit 77; }
strace -qq -o /dev/null true 2>/dev/null || { echo "strace cannot trace here"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
d=$work/d
cr=$(printf '\r')
fluids=$d/CorvaneUserFluids.dat
fluid_lines="11	A	1	1.000000	1.000000
not a data row, kept as it is
21	B	2	2.000000	2.000000
11	C	3	3.000000	3.000000"
pumps=$d/CorvaneUserPumps.dat
pump_lines="P1	100	30
not a pump, kept as it is
P2	0	20	100	15	200	5
P3	50	10"

# The user file, its lines, the line added and the line removed, by the
# operation.
choose() {
  case $op in
    pump-*) user=$pumps originals=$pump_lines added="New	100	9" removed="P2	0	20	100	15	200	5" ;;
    *) user=$fluids originals=$fluid_lines added="11	New	9	9.000000	9.000000" removed="21	B	2	2.000000	2.000000" ;;
  esac
  case $op in *add|save) removed="" ;; esac
}

# The folder each run starts from, copied with the files' modes.
template=$work/template
mkdir "$template"
printf '10\tWater\t20\t1.004000\t0.998000\r\n' > "$template/CorvaneFluidsO.dat"
printf '%s\n' "$fluid_lines" | sed "s/\$/$cr/" > "$template/CorvaneUserFluids.dat"
printf '%s\n' "$pump_lines" | sed "s/\$/$cr/" > "$template/CorvaneUserPumps.dat"
cp "$panel" "$template/old.PW1"
printf 'an older panel file\r\n' > "$template/saved.PW1"
chmod 640 "$template/CorvaneUserFluids.dat" "$template/CorvaneUserPumps.dat" "$template/saved.PW1"

setup() { rm -rf "$d" && cp -a "$template" "$d"; }

fail() { echo "FAIL ($op, $call #$n): $*"; exit 1; }

check() {
  [ "$(stat -c %a "$user")" = 640 ] || fail "mode of the user file is $(stat -c %a "$user")"
  # Every original line exactly once with its CR LF, the removed one at
  # most once, the added one at most once.
  problem=$(printf '%s\n' "$originals" | awk -v user="$user" -v added="$added$cr" -v removed="$removed" '
    BEGIN { while ((getline line < user) > 0) times[line]++ }
    { t = times[$0 "\r"] + 0
      if ($0 == removed) { if (t > 1) print "the removed line is there " t " times" }
      else if (t != 1) print "\047" $0 "\047 is there " t " times" }
    END { if (times[added] > 1) print "the added line is there twice" }')
  [ -z "$problem" ] || fail "$problem"
  # The system released the killed writer's lock.
  [ ! -e "$user.lock" ] || flock -n "$user.lock" true || fail "$user.lock is still locked"
  # The next start (any data command of the file, the next save) removes
  # what a killed writer left.
  case $op in
    pump-*) "$cli" data list pumps --data-dir "$d" >/dev/null 2>&1 || fail "the next start failed" ;;
    save) "$probe" "$d/old.PW1" "$d/saved.PW1" 2>/dev/null || fail "the next save failed" ;;
    *) "$cli" data list fluids --data-dir "$d" >/dev/null 2>&1 || fail "the next start failed" ;;
  esac
  for f in "$d"/* "$d"/.*; do
    case $f in *corvane-new*|*.bak*|*.lock) fail "left behind: $f" ;; esac
  done
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
    pump-add) set -- "$cli" data add pump New 100:9 --data-dir "$d" ;;
    pump-remove) set -- "$cli" data remove pump P2 --data-dir "$d" ;;
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
rm -f "$fluids"
strace -qq -o "$work/first" -e trace=openat,write,fsync,rename "$cli" data add fluid New 9 9 9 --data-dir "$d"
sed -n '/corvane-new/,$p' "$work/first" | grep -o -E '^(openat|write|fsync|rename)|O_DIRECTORY' | tr '\n' ' ' \
  | grep -q 'openat write fsync rename openat O_DIRECTORY fsync' || { cat "$work/first"; echo "FAIL: the first add"; exit 1; }

runs=0
for op in add remove pump-add pump-remove save; do
  choose
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
# A signal the program may catch, while it holds the lock (at the flush of
# the added line): it ends the program, and no lock file stays.
for signal in INT:2 TERM:15 HUP:1; do
  sig=${signal%:*} op=add call=fsync n=1
  setup
  status=0
  strace -f -qq -o /dev/null -e trace=fsync -e "inject=fsync:signal=SIG$sig:when=1" \
    "$cli" data add fluid New 9 9 9 --data-dir "$d" >/dev/null 2>&1 || status=$?
  [ "$status" -eq $((128 + ${signal#*:})) ] || fail "SIG$sig did not end the add (status $status)"
  [ ! -e "$fluids.lock" ] || fail "SIG$sig left $fluids.lock"
done

echo "every system call of add, remove (fluids, pumps) and save killed once: $runs runs, nothing lost"
