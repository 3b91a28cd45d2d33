#!/usr/bin/env bash
# Runs a command in a minimal Debian of another release, on a fresh clone of this checkout's commit:
#   scripts/in-debian.sh trixie make test
# The system is made once with debootstrap in build/debian-RELEASE and kept for later runs (the
# packages the command installs stay in it too); the clone, /srv/wordrope there, is made anew each
# time. Needs root: through sudo when not. /proc, /sys and /dev are bound into the system inside a
# mount namespace of the command's own, unmounted when it ends and gone with the namespace, so
# nothing stays mounted under build/ however the command ends.
# Environment passed in: DISPLAY (for make run), CI, WORDROPE_*; what the command makes stays in
# the system, in build/debian-RELEASE/srv/wordrope.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 2 ]; then
  echo "usage: scripts/in-debian.sh RELEASE COMMAND... (for example: trixie make test)" >&2
  exit 64
fi
if [ "$(id -u)" -ne 0 ]; then exec sudo --preserve-env=DISPLAY,CI,WORDROPE_WIN64 "$0" "$@"; fi
release=$1
shift
sys="$root/build/debian-$release"

mounted_under() { grep -q " $1/" /proc/self/mounts; }

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

if [ ! -f "$sys/.wordrope-ready" ]; then
  if ! command -v debootstrap >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
  fi
  archive=$(mirror)
  [ -n "$archive" ] || { echo "in-debian: this machine names no Debian archive in /etc/apt" >&2; exit 1; }
  mounted_under "$sys" && { echo "in-debian: something is still mounted under $sys" >&2; exit 1; }
  echo "in-debian: making a minimal Debian $release in $sys from $archive (a few minutes, once)"
  rm -rf "$sys"
  mkdir -p "$root/build"
  debootstrap --variant=minbase --include=git,make,ca-certificates "$release" "$sys" "$archive" \
    >"$root/build/debootstrap-$release.log" 2>&1 || {
    tail -n 20 "$root/build/debootstrap-$release.log"
    echo "in-debian: debootstrap failed; its log: build/debootstrap-$release.log" >&2
    exit 1
  }
  touch "$sys/.wordrope-ready"
fi

# This checkout's commit, as a clone would have it: what is not committed is not there.
commit=$(git -C "$root" rev-parse HEAD)
rm -rf "$sys/srv/wordrope"
git init -q "$sys/srv/wordrope"
git -C "$sys/srv/wordrope" fetch -q "$root" HEAD
git -C "$sys/srv/wordrope" checkout -q --detach FETCH_HEAD
echo "in-debian: $release $(cat "$sys/etc/debian_version"), commit ${commit:0:12}: $*"

cp /etc/resolv.conf "$sys/etc/resolv.conf"
# A private mount namespace: the binds below are never seen outside it, and end with it.
inside='
sys=$1
shift
trap "umount -R -l \"$sys/dev\" \"$sys/sys\" \"$sys/proc\" 2>/dev/null" EXIT
mount -t proc proc "$sys/proc" && mount --rbind /sys "$sys/sys" && mount --rbind /dev "$sys/dev" || exit 1
env_in=(HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 TERM=dumb)
for v in DISPLAY CI $(compgen -e | grep "^WORDROPE_"); do
  [ -n "${!v:-}" ] && env_in+=("$v=${!v}")
done
chroot "$sys" /usr/bin/env -i "${env_in[@]}" bash -c "cd /srv/wordrope && exec \"\$@\"" in-debian "$@"
status=$?
chroot "$sys" apt-get clean  # the packages stay installed; their downloads go
exit $status
'
# In a chroot "/" is no mount point and cannot be made private; the binds are made in the new
# namespace all the same.
propagation=private
mountpoint -q / || propagation=unchanged
exec unshare --mount --propagation $propagation -- bash -c "$inside" in-debian "$sys" "$@"
