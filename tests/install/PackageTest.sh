#!/bin/sh
# Builds the Debian package and inspects it: the files it installs, its dependencies, and
# lintian's verdict where lintian is installed.
# Usage: PackageTest.sh BUILD_DIR
set -eu
build=$1
if ! command -v dpkg-deb >/dev/null 2>&1; then
    echo "dpkg-deb is missing: the package is not checked"
    exit 0
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
package=$(ls "$out"/kivra_*.deb)
contents=$(dpkg-deb -c "$package")
for file in ./usr/bin/kivra ./usr/lib/kivra/kivra ./usr/lib/kivra/Murin/Murin1.exe \
            ./usr/lib/kivra/Talvex/Talvex.exe ./usr/lib/kivra/Kivra.chm \
            ./usr/lib/kivra/UserGuideA.pdf ./usr/lib/kivra/Kivra.html \
            ./usr/lib/kivra/run-in-user-folder ./usr/lib/kivra/help/index.html \
            ./usr/share/applications/kivra.desktop ./usr/share/mime/packages/kivra.xml \
            ./usr/share/icons/hicolor/48x48/apps/kivra.png ./usr/share/doc/kivra/copyright; do
    printf '%s\n' "$contents" | grep -q " $file\( \|$\)" || { echo "not in the package: $file"; exit 1; }
done
printf '%s\n' "$contents" | grep -q "usr/bin/kivra -> ../lib/kivra/kivra" ||
    { echo "usr/bin/kivra is not a link to ../lib/kivra/kivra"; exit 1; }
depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
# The platform plugins are no library the program links: without them no window opens on X11.
for needed in libqt6widgets6 libqt6core6 qt6-qpa-plugins qt6-translations-l10n xdg-utils ngspice \
              fonts-liberation2; do
    printf '%s\n' "$depends" | grep -q "$needed" || { echo "no dependency on $needed"; exit 1; }
done
[ "$(dpkg-deb -f "$package" Recommends)" = "xchm" ] || { echo "xchm is not recommended"; exit 1; }
control=$(mktemp -d)
dpkg-deb -e "$package" "$control/DEBIAN"
[ -x "$control/DEBIAN/postrm" ] || { rm -rf "$control"; echo "no postrm script"; exit 1; }
rm -rf "$control"
if command -v lintian >/dev/null 2>&1; then
    # Informational tags too: the hardening ones are among them.
    report=$(lintian --no-tag-display-limit --display-info "$package" 2>&1 || true)
    printf '%s\n' "$report"
    if printf '%s\n' "$report" | grep -q '^[EW]:'; then
        echo "lintian reports errors or warnings"
        exit 1
    fi
    if printf '%s\n' "$report" | grep -q 'hardening-'; then
        echo "the program is not built with the distribution's hardening"
        exit 1
    fi
else
    echo "lintian is missing: the package is not linted"
fi
echo "the package holds the program and its desktop files"
