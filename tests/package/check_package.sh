#!/usr/bin/env bash
# Usage: check_package.sh BUILD_DIR
# Builds the .deb, unpacks it into a temporary root with dpkg -x and checks
# that every file is where the launchers and the trainer expect it, that
# lintian finds nothing to warn of and that its AppStream metadata validate.
set -euo pipefail
build="$1"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/classroom-programs_*.deb | head -n 1)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
failed=0
check() { if [ -e "$root/$1" ]; then echo "ok   $1"; else echo "MISSING $1"; failed=1; fi; }

for program in tesmora doloran pelmar tesmora-editor; do
    check "usr/bin/$program"
    launcher="usr/share/applications/$program.desktop"
    check "$launcher"
    [ -f "$root/$launcher" ] || continue
    exec_name=$(sed -n 's/^Exec=//p' "$root/$launcher")
    icon=$(sed -n 's/^Icon=//p' "$root/$launcher")
    check "usr/bin/$exec_name"
    for size in 16 32 48 64 128; do
        check "usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    done
    grep -q '^Categories=.*Education' "$root/$launcher" || { echo "no Education category in $launcher"; failed=1; }
    # Cyrillic letters start with the byte D0 or D1 in UTF-8.
    LC_ALL=C grep -q $'^Name=[\xd0\xd1]' "$root/$launcher" || { echo "no Russian name in $launcher"; failed=1; }
    LC_ALL=C grep -q $'^Comment=[\xd0\xd1]' "$root/$launcher" || { echo "no Russian comment in $launcher"; failed=1; }
done
# The trainer finds its topic at ../share/tesmora beside its bin folder.
check "usr/share/tesmora/test.txt"
check "usr/share/tesmora/test1.txt"
# The hand-in timer, for the administrator to enable, and the share's lines.
check "usr/lib/systemd/user/tesmora-hand-in.service"
check "usr/lib/systemd/user/tesmora-hand-in.timer"
# The class settings' template: a conffile that configures nothing.
check "etc/xdg/tesmora/class.conf"
if grep -qv '^#' "$root/etc/xdg/tesmora/class.conf" 2>/dev/null; then echo "class.conf configures something"; failed=1; fi
dpkg-deb -I "$deb" conffiles | grep -qx /etc/xdg/tesmora/class.conf || { echo "class.conf is no conffile"; failed=1; }
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 fonts-liberation2 qt6-translations-l10n; do
    case "$depends" in
        *"$needed"*) echo "ok   depends on $needed" ;;
        *) echo "MISSING dependency $needed"; failed=1 ;;
    esac
done
# The package documents itself as Debian asks: copyright, changelog, manual pages.
check "usr/share/doc/classroom-programs/copyright"
check "usr/share/doc/classroom-programs/changelog.gz"
# The administrator's guide, where the settings template sends him.
check "usr/share/doc/classroom-programs/README.md"
check "usr/share/doc/classroom-programs/smb-results.conf"
grep -q '/usr/share/doc/classroom-programs/README.md' "$root/etc/xdg/tesmora/class.conf" \
    || { echo "class.conf does not name the README's path"; failed=1; }
for program in tesmora doloran pelmar tesmora-editor; do
    check "usr/share/man/man1/$program.1.gz"
    check "usr/share/man/ru/man1/$program.1.gz"
    # Read on a terminal without Cyrillic too, without a word from troff.
    for page in "$root/usr/share/man/man1/$program.1.gz" "$root/usr/share/man/ru/man1/$program.1.gz"; do
        warned=$(LANG=C LC_ALL=C MANWIDTH=80 man -l "$page" 2>&1 >/dev/null || true)
        if [ -n "$warned" ]; then echo "man $page under LANG=C: $(echo "$warned" | head -n 3)"; failed=1; fi
    done
    metainfo="$root/usr/share/metainfo/$program.metainfo.xml"
    check "usr/share/metainfo/$program.metainfo.xml"
    if [ -f "$metainfo" ] && ! appstreamcli validate --no-net "$metainfo" >"$root.appstream" 2>&1; then
        cat "$root.appstream"; echo "appstreamcli validate failed on $program"; failed=1
    fi
done
# lintian: no error and no warning (informational tags are allowed).
if lintian --fail-on error,warning "$deb" >"$root.lintian" 2>&1; then
    echo "ok   lintian"
else
    grep -v '^running with root' "$root.lintian"; echo "lintian reported errors or warnings"; failed=1
fi
rm -f "$root.appstream" "$root.lintian"
[ "$failed" -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit "$failed"
