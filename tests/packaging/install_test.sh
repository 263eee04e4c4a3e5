#!/bin/sh
# Installs the build into a temporary DESTDIR, validates the desktop entry
# and the AppStream file, and runs the installed vorlix-cli from there: an
# installed program must find its data from its own folder and write the
# user's files into the XDG places, never beside itself.
#   install_test.sh BUILD_DIR
set -eu
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root/dest" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/dest/usr"

for f in bin/vorlix-cli share/vorlix/Lang/English.ini share/vorlix/Lang/Japanese.ini \
         share/applications/org.vorlix.Vorlix.desktop share/metainfo/org.vorlix.Vorlix.metainfo.xml \
         share/icons/hicolor/scalable/apps/org.vorlix.Vorlix.svg \
         share/icons/hicolor/48x48/apps/org.vorlix.Vorlix.png share/man/man1/vorlix-cli.1; do
  [ -f "$usr/$f" ] || { echo "not installed: $f"; exit 1; }
done
if [ -f "$build/vorlix" ]; then
  [ -x "$usr/bin/vorlix" ] || { echo "not installed: bin/vorlix"; exit 1; }
fi

desktop-file-validate "$usr/share/applications/org.vorlix.Vorlix.desktop"
appstreamcli validate --no-net --pedantic "$usr/share/metainfo/org.vorlix.Vorlix.metainfo.xml" >/dev/null \
  || appstreamcli validate --no-net "$usr/share/metainfo/org.vorlix.Vorlix.metainfo.xml"

# The manual page is the program's own help text.
grep -q '^\.TH VORLIX-CLI 1' "$usr/share/man/man1/vorlix-cli.1"
grep -q 'resample INPUT OUTPUT' "$usr/share/man/man1/vorlix-cli.1"
"$usr/bin/vorlix-cli" --help | grep -q 'resample INPUT OUTPUT'

HOME="$root/home" "$usr/bin/vorlix-cli" demo "$root/demo" >/dev/null
ls "$root/demo" | grep -q '^testcard\.'
ls "$root/demo" | grep -q 'lanczos3'
# Nothing was written beside the installed programs.
[ "$(ls "$usr/bin" | sort | tr '\n' ' ')" = "$(ls "$usr/bin" | grep -E '^vorlix(-cli)?$' | sort | tr '\n' ' ')" ]
echo "installed tree is complete and runs"
