#!/usr/bin/env bash
# The package on a fresh machine: a new Debian 12 system (debootstrap, in a chroot) installs it
# with `apt-get install ./<package>.deb`, which must bring every library it needs; then a
# normal user starts what the menu entry's Exec names, on a virtual display inside the chroot.
# It passes when the main window shows with the starter channels and no "not found" message,
# and the window's class is the one the entry names. Needs root and the Debian mirror; takes
# a few minutes. The screenshot of the first start is kept for a person to look at.
# Run it as root on a Debian 12 machine with network access to the mirror.
#   sudo scripts/check-package.sh [package.deb]      (default: build-package/*.deb)
# Environment: MIRROR (default http://deb.debian.org/debian), CHECK_DISPLAY (default :95, a
# display number free on this machine too), SHOT (default build-package/first-start.png),
# KEEP_CHROOT=1 keeps the chroot folder for a look afterwards.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
deb=${1:-$(ls -t "$here"/build-package/*.deb 2>/dev/null | head -1)}
if [ ! -f "$deb" ]; then
  echo "No package found: build it with 'make package' or name it." >&2
  exit 2
fi
deb=$(readlink -f "$deb")
if [ "$(id -u)" -ne 0 ]; then
  echo "This check makes a chroot and must run as root (sudo $0)." >&2
  exit 2
fi
mirror=${MIRROR:-http://deb.debian.org/debian}
display=${CHECK_DISPLAY:-:95}
shot=${SHOT:-$here/build-package/first-start.png}
id=org.channeldeck.ChannelDeck
for tool in debootstrap convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "Installing $tool (for this check only)..."
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
      "$([ "$tool" = convert ] && echo imagemagick || echo "$tool")" >/dev/null
  fi
done

root=$(mktemp -d /var/tmp/channeldeck-check.XXXXXX)
chmod 755 "$root" # a new system's root, open to its users
mounted=()
xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  # Whatever the user started inside the chroot ends with it.
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    if [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ]; then kill "$pid" 2>/dev/null || true; fi
  done
  sleep 1
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}" 2>/dev/null || true; done
  if [ "${KEEP_CHROOT:-0}" = 1 ]; then
    echo "Chroot kept: $root"
  else
    rm -rf --one-file-system "$root"
  fi
}
trap cleanup EXIT
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
as_user() { # the new user, with a fresh runtime folder and nothing of root's environment
  chroot --userspec="$user_ids" "$root" env -i PATH=/usr/bin:/bin HOME=/home/tester USER=tester \
    XDG_RUNTIME_DIR=/tmp/runtime-tester DISPLAY="$display" LANG=C.UTF-8 "$@"
}

echo "== A fresh Debian 12 in $root (debootstrap from $mirror)"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 || {
  tail -20 "$root.debootstrap.log"
  exit 1
}
rm -f "$root.debootstrap.log"
for fs in proc sys dev dev/pts; do
  mount --bind "/$fs" "$root/$fs"
  mounted+=("$root/$fs")
done
mount -t tmpfs tmpfs "$root/dev/shm" && mounted+=("$root/dev/shm")
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root apt-get update -q >/dev/null

echo "== apt-get install ./$(basename "$deb")"
cp "$deb" "$root/tmp/"
in_root apt-get install -y -q "./tmp/$(basename "$deb")" 2>&1 | tail -3
in_root dpkg -s channeldeck | grep -E '^(Status|Version|Depends|Recommends):'

# Every library the program and what it loads at run time need, before anything else is
# installed that could bring one along.
missing=$(in_root sh -c 'for f in /usr/lib/channeldeck/channeldeck \
  /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so \
  /usr/lib/qt6/libexec/QtWebEngineProcess \
  /usr/lib/x86_64-linux-gnu/vlc/plugins/codec/libavcodec_plugin.so \
  /usr/lib/x86_64-linux-gnu/vlc/plugins/video_output/libvmem_plugin.so; do
    [ -e "$f" ] || echo "$f is not there"; ldd "$f" 2>/dev/null | grep "not found" | sed "s|^|$f: |"; done')
if [ -n "$missing" ]; then
  echo "Missing after the install:"
  echo "$missing"
  exit 1
fi
echo "Every library the program, the X11 plugin, the browser process and libVLC's plugins need is there."

echo "== A normal user starts the menu entry's Exec"
# Tools of this check alone: the virtual display, keys and window lookups.
in_root apt-get install -y -q --no-install-recommends xvfb xauth xdotool x11-utils x11-apps >/dev/null
in_root useradd -m -s /bin/sh tester
# As numbers: chroot would look the name up in this machine's users, not the new system's.
user_ids=$(in_root id -u tester):$(in_root id -g tester)
in_root install -d -m 700 -o tester -g tester /tmp/runtime-tester
entry=$root/usr/share/applications/$id.desktop
exec_line=$(grep -m1 '^Exec=' "$entry" | cut -d= -f2-)
wm_class=$(grep -m1 '^StartupWMClass=' "$entry" | cut -d= -f2-)
echo "Exec=$exec_line"
as_user Xvfb "$display" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
sleep 2
# A chroot gives the browser's helper process no user namespaces for its sandbox.
as_user sh -c "$exec_line" >"$root/tmp/program.log" 2>&1 &

find_window() { # a shown window whose whole title matches; xdotool itself ignores letter case
  local w
  for w in $(as_user xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    if as_user xprop -id "$w" WM_NAME | grep -Eq "^WM_NAME\([A-Z_0-9]+\) = \"$1\"\$"; then
      echo "$w"
      return 0
    fi
  done
}
wait_window() { # title, seconds
  local w=
  for ((i = 0; i < $2 * 2; i++)); do
    w=$(find_window "$1")
    if [ -n "$w" ]; then
      echo "$w"
      return 0
    fi
    sleep 0.5
  done
  return 1
}
# A first start asks for the language first. (No window manager: focus the chooser directly.)
if chooser=$(wait_window "Language Selection" 60); then
  sleep 1
  as_user xdotool windowfocus --sync "$chooser" key Return || true
fi
main=$(wait_window "ChannelDeck by ChannelDeck Project" 60) || {
  echo "The main window did not show."
  # The "not found" message holds the start-up; a message box carries the product name.
  if [ -n "$(find_window ChannelDeck)" ]; then echo "A message box is open: the channel list not found?"; fi
  echo "The program said:"
  tail -20 "$root/tmp/program.log"
  as_user xwd -root -silent >"$root/tmp/screen.xwd" && convert "xwd:$root/tmp/screen.xwd" "$shot" && echo "Screen: $shot"
  exit 1
}
sleep 4
# The first start also opens the help; moved aside, it leaves the channel list in view.
help=$(find_window "xCHM.* Help")
if [ -n "$help" ]; then as_user xdotool windowmove "$help" 1060 780 || true; fi
sleep 1
as_user xwd -root -silent >"$root/tmp/screen.xwd"
mkdir -p "$(dirname "$shot")"
convert "xwd:$root/tmp/screen.xwd" "$shot"
echo "Screenshot of the first start: $shot"

failed=()
# A message box carries the product name as its title: the "not found" message would be one.
if [ -n "$(find_window ChannelDeck)" ]; then failed+=("a message box is open (the channel list not found?)"); fi
if ! cmp -s "$root/home/tester/.local/share/TVDAT/Data.txt" "$root/usr/share/channeldeck/Data.txt"; then
  failed+=("the user did not get the starter channel list")
fi
class=$(as_user xprop -id "$main" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
echo "Main window: WM_CLASS class \"$class\", the entry's StartupWMClass \"$wm_class\""
[ "$class" = "$wm_class" ] || failed+=("the window's class is not the entry's StartupWMClass")
if [ ${#failed[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failed[@]}"
  tail -20 "$root/tmp/program.log"
  exit 1
fi
echo "Fresh-machine check ok: installed with its libraries, started from the menu entry with the starter channels."
