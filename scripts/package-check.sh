#!/usr/bin/env bash
# Installs the Debian package in a fresh Debian 12 chroot, starts the program there from
# the launcher's command line under Xvfb as an ordinary user, checks that its first start
# copied the default settings and tag database into the user's folder, then removes the
# package and checks that nothing but the user's files is left. Needs root, debootstrap
# and Debian's package servers.
#   package-check.sh prepare CACHE        make the base system in CACHE (a few minutes,
#                                         mostly downloading; run it early, in the background)
#   package-check.sh run CACHE PACKAGE    check PACKAGE in a throwaway copy of the base
# Exits 0 with "skipped: <reason>" when the machine cannot do it.
set -euo pipefail
mode=${1:-}; cache=${2:-}
[ -n "$mode" ] && [ -n "$cache" ] || { echo "usage: $0 prepare CACHE | run CACHE PACKAGE" >&2; exit 2; }
mirror=${PAGEKILN_DEBIAN_MIRROR:-http://deb.debian.org/debian}
base="$cache/base"

skip() { echo "package check skipped: $*"; exit 0; }

# Unmounts what in_root mounted under `root`. A process that is still ending (the X
# server) can hold /dev for a moment, so each is tried again, then let go lazily.
unmount_all() {
  local root=$1 point
  for point in "$root/dev/pts" "$root/dev" "$root/proc"; do
    mountpoint -q "$point" || continue
    for _ in 1 2 3 4 5; do umount "$point" 2> /dev/null && break; sleep 1; done
    mountpoint -q "$point" && umount -l "$point"
  done
  return 0
}

# Runs a command inside `root` with /proc and /dev from the host, unmounting them after.
in_root() {
  local root=$1; shift
  mount -t proc proc "$root/proc"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
  local status=0
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@" \
    || status=$?
  unmount_all "$root"
  return $status
}

# A throwaway copy of the base system at `root`: an overlay on it where the kernel allows,
# else a copy.
make_root() {
  mkdir -p "$root" "$cache/upper" "$cache/work"
  mount -t overlay overlay -o "lowerdir=$base,upperdir=$cache/upper,workdir=$cache/work" "$root" 2> /dev/null \
    || cp -a "$base/." "$root"
}

# Removes a copy of the system, never across a mount point (the host's /dev).
remove_root() {
  unmount_all "$1"
  if mountpoint -q "$1"; then umount "$1"; fi
  grep -q " $1/" /proc/mounts && { echo "still mounted under $1; left in place" >&2; return 1; }
  rm -rf --one-file-system "$1" "$cache/upper" "$cache/work"
}

prepare() {
  [ "$(id -u)" -eq 0 ] || skip "not root"
  command -v debootstrap > /dev/null || skip "debootstrap is not installed"
  [ -f "$base/.ready" ] && return 0
  [ ! -e "$base" ] || remove_root "$base"
  mkdir -p "$cache"
  debootstrap --variant=minbase bookworm "$base" "$mirror" > "$cache/debootstrap.log" 2>&1 \
    || skip "debootstrap failed (see $cache/debootstrap.log)"
  # A throwaway system needs no syncing to disk after each file dpkg unpacks.
  echo force-unsafe-io > "$base/etc/dpkg/dpkg.cfg.d/unsafe-io"
  # The tools of the check itself, and the libraries a Qt program needs fetched ahead,
  # so that installing the package only unpacks them.
  in_root "$base" sh -c 'apt-get update -q && apt-get install -y -q xvfb xauth x11-utils \
      && apt-get install -y -q --download-only libqt6widgets6 libmicrohttpd12 xdg-utils shared-mime-info' \
    > "$cache/prepare.log" 2>&1 || skip "the base system's tools could not be installed (see $cache/prepare.log)"
  touch "$base/.ready"
}

# The files of the system, less those that change on their own.
snapshot() {
  (cd "$1" && find . -xdev \( -path ./proc -o -path ./dev -o -path ./tmp -o -path ./var/cache -o -path ./var/log \
    -o -path ./var/lib/apt -o -path ./var/lib/dpkg \) -prune -o -print | sort)
}

run() {
  local package=$1
  [ -f "$package" ] || { echo "no package at $package" >&2; exit 1; }
  [ -f "$base/.ready" ] || skip "no prepared base system in $cache (run: $0 prepare $cache)"
  root="$cache/root"
  [ ! -e "$root" ] || remove_root "$root"
  make_root
  # A copy that cannot be removed is reported by remove_root; it does not fail the check.
  trap 'remove_root "$root" || true' EXIT
  cp "$package" "$root/tmp/pagekiln.deb"
  cp "$(dirname "$0")/package-session.sh" "$root/tmp/"

  # Install, take the package away again (its dependencies stay), and note the files.
  in_root "$root" sh -c 'useradd -m user && apt-get install -y -q /tmp/pagekiln.deb && dpkg -r pagekiln' \
    > "$cache/install.log" 2>&1 \
    || { tail -n 30 "$cache/install.log"; echo "the package does not install"; exit 1; }
  snapshot "$root" > "$cache/before.txt"
  in_root "$root" apt-get install -y -q /tmp/pagekiln.deb >> "$cache/install.log" 2>&1
  in_root "$root" runuser -u user -- env HOME=/home/user bash /tmp/package-session.sh
  in_root "$root" apt-get remove -y -q pagekiln >> "$cache/install.log" 2>&1
  echo "package check: $(grep -c '^Unpacking' "$cache/install.log") packages unpacked in the fresh system"
  rm "$root/tmp/pagekiln.deb" "$root/tmp/package-session.sh"
  snapshot "$root" > "$cache/after.txt"
  local left
  left=$(comm -13 "$cache/before.txt" "$cache/after.txt" | grep -v '^\./home/user\($\|/\)' || true)
  [ -z "$left" ] || { echo "left behind after apt remove:"; echo "$left"; exit 1; }
  echo "package check: installs with its dependencies, starts from the launcher, copies the defaults, removes cleanly"
}

case "$mode" in
  prepare) prepare ;;
  run) [ -n "${3:-}" ] || { echo "usage: $0 run CACHE PACKAGE" >&2; exit 2; }; run "$(realpath "$3")" ;;
  *) echo "usage: $0 prepare CACHE | run CACHE PACKAGE" >&2; exit 2 ;;
esac
