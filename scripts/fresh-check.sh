#!/usr/bin/env bash
# The README's two commands on a truly fresh Debian 12, as a new user runs them.
#
#   bash scripts/fresh-check.sh [root|run|test|all]     (as root; default: all)
#
# Builds a minimal bookworm root once (debootstrap --variant=minbase, the machine's own
# apt sources, then only git and ca-certificates added) and keeps it as a tarball under
# $KEHU_FRESH_CACHE (default /var/cache/kehu-fresh-check). Every run unpacks that tarball
# anew under $KEHU_FRESH_WORK (default /var/tmp/kehu-fresh-check), copies the working tree
# in (tracked and untracked files, not what .gitignore leaves out) and runs in it:
#   run    bash scripts/run.sh, until the login window shows on its virtual display; then
#          the program is stopped
#   test   bash scripts/test.sh, to its end
#   root   only builds the cached root
# Prints each phase's wall time and, for a phase that fails, the first failing line; the
# whole output of each phase stays in $KEHU_FRESH_WORK/<phase>.log. Exits non-zero when a
# phase fails. Not part of the test command: it takes longer than the test command itself.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
phases=${1:-all}
case "$phases" in root|run|test|all) ;; *) echo "usage: $0 [root|run|test|all]" >&2; exit 2 ;; esac
[ "$(id -u)" -eq 0 ] || { echo "fresh-check.sh: debootstrap and chroot need root" >&2; exit 2; }

cache=${KEHU_FRESH_CACHE:-/var/cache/kehu-fresh-check}
work=${KEHU_FRESH_WORK:-/var/tmp/kehu-fresh-check}
pristine=$cache/bookworm-minbase.tar
root=$work/root
run_timeout=${KEHU_FRESH_RUN_TIMEOUT:-5400}

# What this script itself needs on the machine it runs on (not inside the fresh root).
host_packages=(debootstrap x11-utils)
missing=()
for p in "${host_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

seconds_since() { echo $(( $(date +%s) - $1 )); }

# The machine's apt source files that name Debian's own archive (not third-party ones).
debian_sources() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && grep -qE '^(URIs:|deb ).*/debian' "$f" && echo "$f"
  done
  return 0
}

# The machine's own Debian mirror (its apt sources), so the root is built from what this
# machine may reach.
mirror() {
  local uri
  uri=$(cat $(debian_sources) 2>/dev/null | grep -E '^(URIs:|deb )' \
        | grep -oE 'https?://[^ ]+/debian/?( |$)' | head -1 | tr -d ' ' || true)
  echo "${uri:-http://deb.debian.org/debian}"
}

mounted=()
unmount_all() {
  local i
  for (( i=${#mounted[@]}-1; i>=0; i-- )); do
    umount -R -l "${mounted[$i]}" 2>/dev/null || true
  done
  mounted=()
}
stop_program() {
  if [ -n "${program_pid:-}" ]; then
    kill -TERM -- "-$program_pid" 2>/dev/null || true
    sleep 2
    kill -KILL -- "-$program_pid" 2>/dev/null || true
    program_pid=""
  fi
}
cleanup() { stop_program; unmount_all; }
trap cleanup EXIT

# Runs a command inside the fresh root with the environment a new login has there.
in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

mount_root() {
  mount -t proc proc "$root/proc"; mounted+=("$root/proc")
  mount --rbind /sys "$root/sys"; mount --make-rslave "$root/sys"; mounted+=("$root/sys")
  mount --rbind /dev "$root/dev"; mount --make-rslave "$root/dev"; mounted+=("$root/dev")
  cp -L /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
}

make_pristine_root() {
  local started tmp
  started=$(date +%s)
  tmp=$cache/root.tmp
  rm -rf "$tmp"
  mkdir -p "$cache"
  echo "== building a minimal Debian 12 root (debootstrap, once; kept as $pristine)"
  debootstrap --variant=minbase bookworm "$tmp" "$(mirror)" >"$cache/debootstrap.log" 2>&1 || {
    echo "debootstrap failed: see $cache/debootstrap.log" >&2; tail -5 "$cache/debootstrap.log" >&2; exit 1; }
  rm -f "$tmp/etc/apt/sources.list"
  mkdir -p "$tmp/etc/apt/sources.list.d"
  local f
  for f in $(debian_sources); do
    cp -a "$f" "$tmp/etc/apt/${f#/etc/apt/}"
  done
  local saved_root=$root
  root=$tmp
  mount_root
  in_root apt-get update >>"$cache/debootstrap.log" 2>&1
  in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends git ca-certificates \
    >>"$cache/debootstrap.log" 2>&1
  in_root apt-get clean
  unmount_all
  root=$saved_root
  tar -C "$tmp" -cf "$pristine.part" .
  mv "$pristine.part" "$pristine"
  rm -rf "$tmp"
  echo "   root built in $(seconds_since "$started") s"
}

[ -f "$pristine" ] || make_pristine_root
[ "$phases" = root ] && exit 0

echo "== unpacking a fresh root under $root"
if [ -d "$root" ]; then
  umount -R -l "$root/proc" "$root/sys" "$root/dev" 2>/dev/null || true
  rm -rf "$root"
fi
mkdir -p "$root"
tar -C "$root" -xf "$pristine"
mkdir -p "$root/root/kehu"
git -C "$source_dir" ls-files -z --cached --others --exclude-standard \
  | (cd "$source_dir" && tar --null -T - -cf -) | tar -C "$root/root/kehu" -xf -
mount_root

status=0
summary=()
# Each phase's result is printed as soon as the phase ends, and again at the end.
report() { summary+=("$1"); echo "   $1"; }

# The first line of a log that says what failed.
first_failure() {
  grep -m1 -E "\*\*\*Failed|FAIL!|Error [0-9]+|error:|cannot find|E: |No such file|not found" "$1" || tail -1 "$1"
}

if [ "$phases" = run ] || [ "$phases" = all ]; then
  echo "== bash scripts/run.sh (until the login window shows)"
  started=$(date +%s)
  log=$work/run.log
  setsid chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c 'cd /root/kehu && exec bash scripts/run.sh' >"$log" 2>&1 &
  program_pid=$!
  shown=""
  while [ "$(seconds_since "$started")" -lt "$run_timeout" ] && kill -0 "$program_pid" 2>/dev/null; do
    sleep 5
    # xvfb-run inside the root: its display's lock file and its authority file are there;
    # the X server's abstract socket is reachable from here.
    lock=$(ls "$root"/tmp/.X*-lock 2>/dev/null | head -1 || true)
    auth=$(ls "$root"/tmp/xvfb-run.*/Xauthority 2>/dev/null | head -1 || true)
    [ -n "$lock" ] && [ -n "$auth" ] || continue
    display=":$(basename "$lock" | sed -E 's/^\.X([0-9]+)-lock$/\1/')"
    for window in $(XAUTHORITY=$auth xwininfo -display "$display" -root -tree 2>/dev/null \
                    | grep -oE '^ +0x[0-9a-f]+' || true); do
      if XAUTHORITY=$auth xprop -display "$display" -id "$window" _NET_WM_NAME 2>/dev/null | grep -q '"登录"'; then
        shown=$window
      fi
    done
    [ -n "$shown" ] && break
  done
  stop_program
  elapsed=$(seconds_since "$started")
  if [ -n "$shown" ]; then
    report "run.sh: login window shown after ${elapsed} s (setup and build included)"
  else
    status=1
    report "run.sh: FAILED after ${elapsed} s, no login window: $(first_failure "$log")"
  fi
fi

if [ "$phases" = test ] || [ "$phases" = all ]; then
  echo "== bash scripts/test.sh"
  started=$(date +%s)
  log=$work/test.log
  if in_root bash -c 'cd /root/kehu && bash scripts/test.sh' >"$log" 2>&1; then
    report "test.sh: passed in $(seconds_since "$started") s"
  else
    status=1
    report "test.sh: FAILED after $(seconds_since "$started") s: $(first_failure "$log")"
  fi
  grep -E "tests passed|tests failed" "$log" | sed 's/^/   /' || true
fi

echo "== fresh-check: logs under $work"
printf '   %s\n' "${summary[@]}"
exit $status
