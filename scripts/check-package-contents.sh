#!/usr/bin/env bash
# Checks what an install holds, a built Debian package or a `cmake --install` prefix, without
# installing anything: every piece a desktop install needs is there, the menu entry and the
# AppStream data pass their validators, the launcher gives a new user the starter channel list
# before it starts the program, and for a package the declared dependencies are there and
# lintian finds no error. Every failure is listed; any fails the run.
#   scripts/check-package-contents.sh [package.deb | install prefix]   (default: build-package/*.deb)
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-}
if [ -z "$what" ]; then
  what=$(ls -t "$here"/build-package/*.deb 2>/dev/null | head -1)
fi
if [ ! -f "$what" ] && [ ! -d "$what" ]; then
  echo "No package found: build it with 'make package' or name a package or an install prefix." >&2
  exit 2
fi
for tool in dpkg-deb desktop-file-validate appstreamcli lintian file; do
  if ! command -v "$tool" >/dev/null; then
    echo "This check needs $tool: scripts/install-deps.sh --test" >&2
    exit 2
  fi
done

id=org.channeldeck.ChannelDeck
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The prefix is checked in a copy: the launcher's check puts a stand-in for the program there.
root=$work/root
if [ -d "$what" ]; then
  cp -a "$what" "$root" || exit 2
  deb=
else
  deb=$what
  dpkg-deb -x "$deb" "$work/deb" || exit 2
  root=$work/deb/usr
fi

failed=()
fail() {
  failed+=("$1")
  echo "FAIL: $1"
}
has_file() { # path in the package, what it is
  [ -f "$root/$1" ] || fail "no $2 ($1)"
}

echo "Checking $what"

# The program and the launcher.
has_file bin/channeldeck "launcher"
[ -x "$root/bin/channeldeck" ] || fail "the launcher is not executable"
has_file lib/channeldeck/channeldeck "program"
# A package's program is stripped; a developer's install keeps what its build made.
if [ -n "$deb" ] && [ -f "$root/lib/channeldeck/channeldeck" ]; then
  kind=$(file -b "$root/lib/channeldeck/channeldeck")
  case $kind in
    ELF*", stripped"*) ;;
    *) fail "the program is no stripped executable: $kind" ;;
  esac
fi
# The files it ships with.
has_file share/channeldeck/Localization.txt "language file"
has_file share/channeldeck/Help.chm "help file"
has_file share/channeldeck/Data.txt "starter channel list"
cmp -s "$root/share/channeldeck/Data.txt" "$here/resources/Data.txt" ||
  fail "the starter channel list differs from resources/Data.txt"
# Menu entry, icons, AppStream data, documents.
desktop=share/applications/$id.desktop
metainfo=share/metainfo/$id.metainfo.xml
has_file "$desktop" "menu entry"
has_file "$metainfo" "AppStream data"
for size in 16 32 48 64 128 256; do
  icon=share/icons/hicolor/${size}x${size}/apps/$id.png
  has_file "$icon" "${size}-pixel icon"
  if [ -f "$root/$icon" ] && ! file -b "$root/$icon" | grep -q "PNG image data, $size x $size,"; then
    fail "$icon is not a $size x $size PNG"
  fi
done
has_file share/icons/hicolor/scalable/apps/$id.svg "scalable icon"
has_file share/doc/channeldeck/copyright "copyright file"
has_file share/doc/channeldeck/changelog.gz "changelog"
grep -q "ChannelDeck Project. All rights reserved." "$root/share/doc/channeldeck/copyright" 2>/dev/null ||
  fail "the copyright file does not reserve the rights of ChannelDeck Project"
has_file share/man/man1/channeldeck.1.gz "manual page"

# The menu entry: valid, and what a menu needs to start the program with its icon.
if [ -f "$root/$desktop" ]; then
  desktop-file-validate "$root/$desktop" || fail "desktop-file-validate reports errors"
  entry() { grep -m1 "^$1=" "$root/$desktop" | cut -d= -f2-; }
  [ "$(entry Exec)" = channeldeck ] || fail "the entry's Exec is '$(entry Exec)', not channeldeck"
  [ "$(entry Icon)" = "$id" ] || fail "the entry's Icon is '$(entry Icon)', not $id"
  [ "$(entry Categories)" = "AudioVideo;Video;Player;TV;" ] || fail "the entry's Categories are '$(entry Categories)'"
  for key in Name GenericName Comment; do
    [ -n "$(entry $key)" ] || fail "the entry has no $key"
  done
  ! grep -q '^MimeType=' "$root/$desktop" || fail "the entry claims MIME types"
fi
# The AppStream data: valid, and tied to the entry by the same id.
if [ -f "$root/$metainfo" ]; then
  appstreamcli validate-tree --no-net "$root" || fail "appstreamcli reports errors"
  grep -q "<id>$id</id>" "$root/$metainfo" || fail "the AppStream id is not $id"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$root/$metainfo" ||
    fail "the AppStream data does not launch $id.desktop"
  grep -q '<developer_name>ChannelDeck Project</developer_name>' "$root/$metainfo" ||
    fail "the AppStream developer is not ChannelDeck Project"
  grep -q '<url type="homepage">http://www.channeldeck.org</url>' "$root/$metainfo" ||
    fail "the AppStream home page is not the program's website"
fi

if [ -n "$deb" ]; then
  # Dependencies: those found from the linked libraries and those loaded at run time.
  depends=$(dpkg-deb -f "$deb" Depends)
  for p in libqt6core6 libqt6gui6 libvlc5 vlc-plugin-base vlc-plugin-video-output libvlc-bin \
    libqt6webenginecore6-bin xdg-utils; do
    grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p"
  done
  [ "$(dpkg-deb -f "$deb" Recommends)" = xchm ] || fail "Recommends is not xchm"
  # lintian: errors fail, warnings are shown.
  lintian --fail-on error "$deb" || fail "lintian reports errors"
fi

# The launcher, run against a stand-in for the program: a new user gets the starter list,
# a user's own list is never replaced, and the program starts either way.
cat >"$root/lib/channeldeck/channeldeck" <<'EOF'
#!/bin/sh
echo started >"$HOME/started"
EOF
chmod +x "$root/lib/channeldeck/channeldeck"
user=$work/home
mkdir -p "$user"
HOME=$user XDG_DATA_HOME= "$root/bin/channeldeck"
cmp -s "$user/.local/share/TVDAT/Data.txt" "$root/share/channeldeck/Data.txt" ||
  fail "the launcher did not give a new user the starter channel list"
[ -f "$user/started" ] || fail "the launcher did not start the program"
mkdir -p "$user/.local/share/TVDAT"
echo "my channels" >"$user/.local/share/TVDAT/Data.txt"
rm -f "$user/started"
HOME=$user XDG_DATA_HOME= "$root/bin/channeldeck"
[ "$(cat "$user/.local/share/TVDAT/Data.txt")" = "my channels" ] || fail "the launcher replaced the user's channel list"
[ -f "$user/started" ] || fail "the launcher did not start the program for a user with a list"

if [ ${#failed[@]} -gt 0 ]; then
  echo "Package check FAILED: ${#failed[@]} problem(s) in $what"
  exit 1
fi
echo "Package check ok: $what${deb:+, $(stat -c %s "$deb") bytes}"
