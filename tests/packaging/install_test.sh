#!/usr/bin/env bash
# Installs Tervala into a temporary DESTDIR, validates its desktop entry and AppStream
# metainfo, and starts the installed tervala from another directory on the X server this
# test runs under: its window must carry the icon, and Help > About must hand the installed
# user guide to the desktop's URL opener (here a recorder set as the default for HTML).
# Usage: install_test.sh BUILD_DIR SCREENSHOT_PNG
set -euo pipefail
build=$1
screenshot=$2

tmp=$(mktemp -d)
program=""
cleanup() {
  if [ -n "$program" ]; then kill "$program" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$tmp/root cmake --install "$build" --prefix /usr >/dev/null
usr=$tmp/root/usr

for file in bin/tervala share/applications/tervala.desktop \
            share/icons/hicolor/scalable/apps/tervala.svg \
            share/metainfo/org.tervala.tervala.metainfo.xml share/man/man1/tervala.1.gz \
            share/doc/tervala/index.html share/doc/tervala/screenshot.png \
            share/doc/tervala/copyright share/doc/tervala/changelog.gz; do
  [ -f "$usr/$file" ] || fail "not installed: $file"
done
for size in 16 22 24 32 48 64 128 256; do
  png=$usr/share/icons/hicolor/${size}x${size}/apps/tervala.png
  [ -f "$png" ] || fail "not installed: $png"
done
# The command-line program and its manual page come together, once that program is built.
if [ -f "$usr/bin/tervala-cli" ] || [ -f "$usr/share/man/man1/tervala-cli.1.gz" ]; then
  [ -f "$usr/bin/tervala-cli" ] && [ -f "$usr/share/man/man1/tervala-cli.1.gz" ] ||
    fail "tervala-cli and its manual page are not installed together"
fi

# The two categories are both main ones, which the validator only hints at; hints aside,
# it must have nothing to say.
out=$(desktop-file-validate --no-hints "$usr/share/applications/tervala.desktop" 2>&1) ||
  fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net --pedantic \
        "$usr/share/metainfo/org.tervala.tervala.metainfo.xml" 2>&1) || fail "appstreamcli: $out"
if grep -Eq '^[EWIP]:' <<<"$out"; then fail "appstreamcli: $out"; fi

# The desktop's default application for HTML records the URL it is given.
mkdir -p "$tmp/data/applications" "$tmp/config" "$tmp/elsewhere"
cat >"$tmp/record-url" <<RECORDER
#!/bin/sh
printf '%s\n' "\$1" >>"$tmp/opened-urls"
RECORDER
chmod +x "$tmp/record-url"
cat >"$tmp/data/applications/tervala-test-recorder.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=URL recorder
Exec=$tmp/record-url %u
MimeType=text/html;
NoDisplay=true
ENTRY
printf '[Default Applications]\ntext/html=tervala-test-recorder.desktop\n' >"$tmp/config/mimeapps.list"
export XDG_DATA_HOME=$tmp/data XDG_CONFIG_HOME=$tmp/config GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1

cd "$tmp/elsewhere"
"$usr/bin/tervala" >"$tmp/tervala.log" 2>&1 &
program=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tervala_gui v1\.4$' | sed -n 1p) ||
  fail "no window appeared: $(cat "$tmp/tervala.log")"
has_icon() { [[ $(xprop -id "$window" _NET_WM_ICON) == *"Icon ("* ]]; }
for _ in $(seq 50); do
  has_icon && break
  sleep 0.1
done
has_icon || fail "the window has no icon"

# The window as a user first sees it (after the window manager's decorations, if any).
sleep 1
mkdir -p "$(dirname "$screenshot")"
import -window "$window" "$screenshot"
[ "$(identify -format '%w' "$screenshot")" = 480 ] || fail "screenshot is not the window's width"

# Help > About through the keyboard, as a user without a mouse would choose it.
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers alt+h
sleep 1
xdotool key a
for _ in $(seq 100); do
  [ -s "$tmp/opened-urls" ] && break
  sleep 0.2
done
[ -s "$tmp/opened-urls" ] || fail "About opened nothing: $(cat "$tmp/tervala.log")"
# GIO hands a local file: URL to the application as the file's path.
expected="file://$usr/share/doc/tervala/index.html"
opened=$(head -n 1 "$tmp/opened-urls")
[ "$opened" = "$expected" ] || [ "file://$opened" = "$expected" ] ||
  fail "About opened $opened, not $expected"
kill -0 "$program" || fail "tervala ended"
[ ! -s "$tmp/tervala.log" ] || fail "tervala printed: $(cat "$tmp/tervala.log")"
echo "installed tervala: window with icon, About opened $expected"
