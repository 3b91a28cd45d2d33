#!/usr/bin/env bash
# Runs a command in a minimal Debian 12 or 13, on a fresh clone of this checkout's commit:
#   scripts/in-debian.sh 13 make test
#   scripts/in-debian.sh --copy-out build/wordrope-1.1.zip 12 make dist   (the file comes back here)
#   scripts/in-debian.sh --remove 13
# mmdebstrap makes each system once from this machine's Debian archive, without root where this
# user has subordinate ids (its unshare mode), else as root through sudo. bubblewrap runs the
# command there with its own mounts (/proc, /dev, /tmp), which cannot reach this machine's, and
# in its own process namespace, so that every process left ends with it. flock keeps each system
# to one run at a time. Environment passed in: DISPLAY, CI, WORDROPE_*.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage() {
  echo "usage: scripts/in-debian.sh [--copy-out FILE] 12|13 COMMAND... | --remove 12|13" >&2
  exit 64
}
if [ "$(id -u)" -ne 0 ] && ! grep -q "^$(id -un):" /etc/subuid 2>/dev/null; then
  exec sudo --preserve-env=DISPLAY,CI,WORDROPE_WIN64,WORDROPE_SYSTEMS "$0" "$@"
fi
# As root the systems are made in root mode and entered directly; else inside mmdebstrap's user
# namespace, which maps this user's subordinate ids as the system's own.
helper=()
[ "$(id -u)" -eq 0 ] || helper=(mmdebstrap --unshare-helper)
# Where the systems live: root's in /var/cache; a user's where its subordinate ids can reach
# them, which a private home is not.
base=/var/cache/wordrope
[ "$(id -u)" -eq 0 ] || base=/var/tmp/wordrope-$(id -un)
base=${WORDROPE_SYSTEMS:-$base}
copy_out="" remove=no
case "${1:-}" in
  --copy-out) [ $# -ge 2 ] || usage; copy_out=$2; shift 2 ;;
  --remove) remove=yes; shift ;;
esac
case "${1:-}" in 12) suite=bookworm ;; 13) suite=trixie ;; *) usage ;; esac
sys=$base/debian-$1
shift
[ "$remove/$#" = yes/0 ] || { [ $remove = no ] && [ $# -ge 1 ]; } || usage

mkdir -p "$base"
exec 9>"$sys.lock"
flock -n 9 || { echo "in-debian: another run is using $sys; waiting for it to end"; flock 9; }
# Empties a system's folder as the system's own ids, then takes it out of this user's folder.
remove() { [ ! -e "$1" ] || { "${helper[@]}" find "$1" -xdev -mindepth 1 -delete && rmdir "$1"; }; }
if [ $remove = yes ]; then
  remove "$sys.new" && remove "$sys"
  exit
fi
if [ ! -d "$sys" ]; then
  archive=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' | awk '$2 !~ /-/ { print $1; exit }')
  echo "in-debian: making a minimal Debian $suite in $sys from $archive (a minute, once)"
  remove "$sys.new"
  mmdebstrap --quiet --variant=minbase --include=git,make,ca-certificates "$suite" "$sys.new" "$archive"
  mv "$sys.new" "$sys"
fi

commit=$(git -c safe.directory="$root" -C "$root" rev-parse HEAD)
echo "in-debian: Debian $suite ($(cat "$sys/etc/debian_version")), commit ${commit:0:12}: $*"
env_in=(--setenv HOME /root --setenv PATH /usr/sbin:/usr/bin:/sbin:/bin --setenv LANG C.UTF-8
  --setenv TERM dumb)
for v in DISPLAY CI $(compgen -e | grep "^WORDROPE_" || true); do
  [ -z "${!v:-}" ] || env_in+=(--setenv "$v" "${!v}")
done
# The commit comes in as a bundle on the standard input: the system need not reach this checkout.
# The packages make test installs stay in the system for the next run; their downloads go.
inside='cat >/tmp/commit.bundle && rm -rf /srv/wordrope &&
  git -c init.defaultBranch=main clone -q --no-checkout /tmp/commit.bundle /srv/wordrope &&
  cd /srv/wordrope && git checkout -q --detach "$0" && "$@" </dev/null
status=$?; apt-get clean; exit $status'
git -c safe.directory="$root" -C "$root" bundle create -q - HEAD |
  "${helper[@]}" bwrap --bind "$sys" / --dev /dev --perms 1777 --tmpfs /dev/shm --proc /proc \
    --ro-bind /sys /sys --perms 1777 --tmpfs /tmp --ro-bind /etc/resolv.conf /etc/resolv.conf \
    --unshare-pid --unshare-ipc --die-with-parent --clearenv "${env_in[@]}" --chdir / \
    bash -c "$inside" "$commit" "$@"
if [ -n "$copy_out" ]; then
  install -D -m 644 ${SUDO_UID:+-o "$SUDO_UID" -g "$SUDO_GID"} "$sys/srv/wordrope/$copy_out" "$root/$copy_out"
fi
