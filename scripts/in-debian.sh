#!/usr/bin/env bash
# Runs a command in a minimal Debian 12 or 13, on a fresh clone of this checkout's commit:
#   scripts/in-debian.sh 13 make test
#   scripts/in-debian.sh --copy-out build/win32/facts.txt 12 make win32
#   scripts/in-debian.sh --remove 13        (deletes that system)
#   scripts/in-debian.sh --self-test        (proves the promises below; about 3 minutes)
# Needs root: through sudo when not. The systems live outside the checkout, in $WORDROPE_SYSTEMS
# (/var/cache/wordrope), one a release, made once with debootstrap; the clone is /srv/wordrope
# there, made anew each run. --copy-out copies a file of the clone back into the checkout,
# owned by whoever ran this. One run uses a system at a time; a second waits for it.
# The command runs in mount and process namespaces of its own: a fresh proc, sysfs, devpts and a
# tmpfs on /dev/shm, private to it, none of them a bind of the system's own; every process it
# leaves ends with it. Inside a chroot whose root would pass mounts on to the system outside,
# it refuses rather than mount anything.
# Environment passed in: DISPLAY (for make run), CI, WORDROPE_*.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
base=${WORDROPE_SYSTEMS:-/var/cache/wordrope}

usage() {
  echo "usage: scripts/in-debian.sh [--copy-out FILE] 12|13 COMMAND... | --remove 12|13 | --self-test" >&2
  exit 64
}
codename() {
  case "$1" in
    12) echo bookworm ;;
    13) echo trixie ;;
    *) usage ;;
  esac
}
[ $# -ge 1 ] || usage
if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=DISPLAY,CI,WORDROPE_WIN64,WORDROPE_SYSTEMS "$0" "$@"
fi
owner="${SUDO_UID:-$(stat -c %u "$root")}:${SUDO_GID:-$(stat -c %g "$root")}"

mounted_under() { awk -v p="$1/" 'index($5 "/", p) == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo; }
remove() {  # a folder of ours, never across into another file system or what is mounted there
  if mounted_under "$1"; then
    echo "in-debian: something is mounted under $1; not removing it" >&2
    return 1
  fi
  rm -rf --one-file-system "$1"
}
# The archive this machine installs from: its first source that is not the security archive.
mirror() {
  {
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '
      /^URIs:/ { uri = $2 } /^Suites:/ { suites = $0 }
      /^$/ { if (uri != "" && suites !~ /-security/) print uri; uri = "" }
      END { if (uri != "" && suites !~ /-security/) print uri }'
    grep -hE '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      grep -v -- '-security' | awk '{ print ($2 ~ /^\[/) ? $3 : $2 }'
  } | head -n 1 || true
}
# Takes the system's lock for this run, waiting while another run holds it.
lock() {
  mkdir -p "$base"
  exec 9>"$base/debian-$1.lock"
  if ! flock -n 9; then
    echo "in-debian: another run is using the Debian $1 system; waiting for it to end"
    flock 9
  fi
}
# Makes the system once: in a folder beside it, moved into place only when whole.
ensure_system() {
  local release=$1 sys=$2
  [ -f "$sys/.wordrope-ready" ] && return 0
  if ! command -v debootstrap >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
  fi
  local archive
  archive=$(mirror)
  [ -n "$archive" ] || { echo "in-debian: this machine names no Debian archive in /etc/apt" >&2; exit 1; }
  echo "in-debian: making a minimal Debian $release in $sys from $archive (a few minutes, once)"
  remove "$sys.new" && remove "$sys"
  if ! debootstrap --variant=minbase --include=git,make,ca-certificates "$(codename "$release")" "$sys.new" \
    "$archive" >"$base/debootstrap-$release.log" 2>&1; then
    tail -n 20 "$base/debootstrap-$release.log"
    echo "in-debian: debootstrap failed; its log: $base/debootstrap-$release.log" >&2
    exit 1
  fi
  touch "$sys.new/.wordrope-ready"
  mv "$sys.new" "$sys"
}

# What runs in the new namespaces, as their first process: when it ends, every process the
# command left ends too, and its mounts go with the namespace.
inside='
set -u
sys=$1
shift
mount -t proc -o nosuid,nodev,noexec proc "$sys/proc" || exit 1
# Where "/" is no mount point (in a chroot), the namespace kept the propagation it was copied with.
# A mount under a shared one is passed on to its peers outside: then nothing more is mounted.
if awk -v p="$sys/proc" '\''$5 == p && / shared:/ { found = 1 } END { exit !found }'\'' /proc/self/mountinfo; then
  umount "$sys/proc"
  echo "in-debian: this chroot passes its mounts on to the system outside it (its root lies in a shared" \
    "mount); make that mount private or slave first (mount --make-rslave), or run this outside the chroot" >&2
  exit 1
fi
mount --make-private "$sys/proc"
mount -t sysfs -o ro,nosuid,nodev,noexec sysfs "$sys/sys" &&
  mount -t devpts -o newinstance,ptmxmode=0666,mode=0620,gid=5 devpts "$sys/dev/pts" &&
  mount --bind "$sys/dev/pts/ptmx" "$sys/dev/ptmx" &&
  mount -t tmpfs -o nosuid,nodev,mode=1777 tmpfs "$sys/dev/shm" || exit 1
for m in sys dev/pts dev/ptmx dev/shm; do mount --make-private "$sys/$m"; done
env_in=(HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 TERM=dumb)
for v in DISPLAY CI $(compgen -e | grep "^WORDROPE_"); do
  [ -n "${!v:-}" ] && env_in+=("$v=${!v}")
done
chroot "$sys" /usr/bin/env -i "${env_in[@]}" bash -c "cd /srv/wordrope && exec \"\$@\"" in-debian "$@"
status=$?
chroot "$sys" apt-get clean  # the packages stay installed; their downloads go
exit $status
'

# Runs COMMAND in the system of RELEASE, on a clone of this checkout's commit; copies FILE back.
run() {
  local copy_out=$1 release=$2
  shift 2
  local sys="$base/debian-$release"
  lock "$release"
  ensure_system "$release" "$sys"
  local clone="$sys/srv/wordrope" commit
  commit=$(git -c safe.directory="$root" -C "$root" rev-parse HEAD)
  remove "$clone"
  git -c safe.directory="$root" -c init.defaultBranch=main clone -q --no-checkout "$root" "$clone"
  git -C "$clone" checkout -q --detach "$commit"
  # The system's resolv.conf may be a link, which a copy would follow out of the system.
  rm -f "$sys/etc/resolv.conf"
  cp /etc/resolv.conf "$sys/etc/resolv.conf"
  echo "in-debian: Debian $release ($(cat "$sys/etc/debian_version")), commit ${commit:0:12}: $*"
  local status=0
  # The propagation of "/" cannot be changed where it is no mount point (in a chroot): see inside.
  unshare --mount --pid --fork --propagation private -- true 2>/dev/null && propagation=private ||
    propagation=unchanged
  unshare --mount --pid --fork --propagation "$propagation" -- bash -c "$inside" in-debian "$sys" "$@" ||
    status=$?
  if [ $status -eq 0 ] && [ -n "$copy_out" ]; then
    install -d -o "${owner%:*}" -g "${owner#*:}" "$root/$(dirname "$copy_out")"
    install -o "${owner%:*}" -g "${owner#*:}" -m 644 "$clone/$copy_out" "$root/$copy_out"
  fi
  exec 9>&-  # the next run may have the system
  return $status
}

# The promises, proven on this machine: two runs at once keep their own clones; a run inside a
# chroot works and leaves the mounts outside as they were, and where the chroot's root would
# pass mounts on, it refuses and leaves them as they were too.
self_test() {
  mkdir -p "$base"
  local before
  before=$(awk '{ print $5, $6, $7 }' /proc/self/mountinfo)
  local check='mark=$RANDOM$RANDOM && echo $mark >mark && sleep 3 && [ "$(cat mark)" = $mark ] && git diff --quiet'
  run "" 13 bash -c "$check" >"$base/self-test-a.log" 2>&1 &
  local a=$!
  run "" 13 bash -c "$check" >"$base/self-test-b.log" 2>&1 || { cat "$base/self-test-b.log"; exit 1; }
  wait $a || { cat "$base/self-test-a.log"; exit 1; }
  echo "in-debian: self-test: two runs at once each kept their clone"
  run "" 13 scripts/in-debian.sh --chroot-test
  [ "$(awk '{ print $5, $6, $7 }' /proc/self/mountinfo)" = "$before" ] ||
    { echo "in-debian: self-test: FAILED: the mounts outside changed" >&2; exit 1; }
  echo "in-debian: self-test: passed; the mounts outside are as they were"
}
# Inside the system made by the self-test, a chroot: once with the systems' folder a shared mount
# (the run must refuse), once without (it must run); the mounts here are the same afterwards.
chroot_test() {
  mountpoint -q / && { echo "in-debian: --chroot-test runs inside a chroot" >&2; exit 1; }
  local here
  here=$(awk '{ print $5, $6, $7 }' /proc/self/mountinfo)
  mkdir -p "$base"
  mount --bind "$base" "$base"
  mount --make-shared "$base"
  if run "" 12 true 2>"$base/refused.log"; then
    echo "in-debian: chroot test: FAILED: ran under a shared mount" >&2
    exit 1
  fi
  grep -q "passes its mounts on" "$base/refused.log" || { cat "$base/refused.log"; exit 1; }
  umount "$base"
  run "" 12 bash -c 'grep -q " /dev/pts .* - devpts" /proc/self/mountinfo && [ -c /dev/null ]'
  [ "$(awk '{ print $5, $6, $7 }' /proc/self/mountinfo)" = "$here" ] ||
    { echo "in-debian: chroot test: FAILED: the mounts here changed" >&2; exit 1; }
  echo "in-debian: chroot test: refused under a shared mount, ran under a private one, mounts unchanged"
}

case "$1" in
  --self-test) self_test ;;
  --chroot-test) chroot_test ;;
  --remove)
    [ $# -eq 2 ] || usage
    codename "$2" >/dev/null
    lock "$2"
    remove "$base/debian-$2"
    ;;
  --copy-out)
    [ $# -ge 4 ] || usage
    file=$2 release=$3
    codename "$release" >/dev/null
    shift 3
    run "$file" "$release" "$@"
    ;;
  *)
    [ $# -ge 2 ] || usage
    codename "$1" >/dev/null
    release=$1
    shift
    run "" "$release" "$@"
    ;;
esac
