#!/bin/sh
# Installs the build into a fresh prefix and checks that Kivra, started through <prefix>/bin/kivra,
# finds its own folder with everything it opens from there, and starts on a netlist.
# Usage: InstallTest.sh BUILD_DIR NETLIST
set -eu
build=$1
netlist=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

[ -L "$prefix/bin/kivra" ] || { echo "bin/kivra is not a link"; exit 1; }
version=$("$prefix/bin/kivra" --version)
echo "$version"
folder=$(printf '%s\n' "$version" | sed -n 's/^Program directory: //p')
[ "$folder" = "$(cd "$prefix/lib/kivra" && pwd -P)" ] ||
    { echo "the program directory is '$folder', not $prefix/lib/kivra"; exit 1; }
for file in kivra Murin/Murin1.exe Talvex/Talvex.exe Kivra.chm UserGuideA.pdf Kivra.html \
            run-in-user-folder help/index.html; do
    [ -e "$folder/$file" ] || { echo "missing in the program directory: $file"; exit 1; }
done
for program in kivra Murin/Murin1.exe Talvex/Talvex.exe; do
    [ -x "$folder/$program" ] || { echo "not executable: $program"; exit 1; }
done
for file in share/applications/kivra.desktop share/mime/packages/kivra.xml \
            share/icons/hicolor/16x16/apps/kivra.png share/icons/hicolor/256x256/apps/kivra.png \
            share/doc/kivra/copyright share/doc/kivra/changelog.gz; do
    [ -e "$prefix/$file" ] || { echo "missing: $file"; exit 1; }
done

# Started on a netlist, the program must still be running two seconds later.
config=$(mktemp -d)
XDG_CONFIG_HOME=$config QT_QPA_PLATFORM=offscreen "$prefix/bin/kivra" "$netlist" &
pid=$!
sleep 2
if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" || true
    rm -rf "$config"
    echo "kivra ended within two seconds"
    exit 1
fi
kill "$pid"
wait "$pid" 2>/dev/null || true
rm -rf "$config"
echo "installed Kivra starts and finds its files"
