#!/usr/bin/env bash
# The Debian package of the build this test runs in (no second build: cpack installs
# what is built), unpacked into a temporary root and run from another folder: the same
# sentences as the build folder, the shipped polar, the user's configuration copied to
# a temporary home and written back there by the window, nothing written under the
# unpacked prefix, the window's pictures found; lintian and desktop-file-validate.
set -u
source "$(dirname "$0")/lib.bash"
command -v dpkg-deb >/dev/null || { echo "dpkg-deb missing: test skipped"; exit 77; }
need cpack lintian desktop-file-validate

build=$(cd "$(dirname "$prog")/.." && pwd)
[ -f "$build/CPackConfig.cmake" ] || { echo "FAIL: no CPackConfig.cmake in $build" >&2; exit 1; }
# The package from the install rules alone: CPack's usual way builds every target first.
cat >"$tmp/cpack.cmake" <<CFG
include("$build/CPackConfig.cmake")
set(CPACK_INSTALL_CMAKE_PROJECTS "")
set(CPACK_INSTALL_SCRIPTS "$build/cmake_install.cmake")
set(CPACK_INSTALL_PREFIX /usr)
set(CMAKE_INSTALL_DO_STRIP ON)
CFG
cpack --config "$tmp/cpack.cmake" -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1 || {
  cat "$tmp/cpack.log" >&2
  echo "FAIL: cpack" >&2
  exit 1
}
deb=$(ls "$tmp"/pkg/ventrel_*.deb)
root=$tmp/root
dpkg-deb -x "$deb" "$root" || { echo "FAIL: dpkg-deb -x $deb" >&2; exit 1; }
exe=$root/usr/bin/ventrel
share=$root/usr/share/ventrel

# Every file of the package in its standard place.
while read -r f; do
  [ -e "$root/$f" ] || fail "the package lacks $f"
done <<'FILES'
usr/bin/ventrel
usr/share/ventrel/Ventrel.ini
usr/share/ventrel/DefPolars/First31_7.pol
usr/share/ventrel/iconbat1.jpg
usr/share/ventrel/legende.bmp
usr/share/ventrel/Help/VNT_generalites.html
usr/share/ventrel/scenarios/louvoyage.yaml
usr/share/applications/ventrel.desktop
usr/share/icons/hicolor/48x48/apps/ventrel.png
usr/share/icons/hicolor/256x256/apps/ventrel.png
usr/share/man/man1/ventrel.1.gz
usr/share/doc/ventrel/copyright
usr/share/doc/ventrel/changelog.Debian.gz
FILES
outside=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v -E '^\./(usr/?|usr/(bin|share)(/.*)?)$')
[ -z "$outside" ] || fail "files outside /usr/bin and /usr/share: $outside"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "no computed dependency on the Qt 6 runtime"

# Each option of --help in the manual page.
for opt in $("$prog" --help | grep -o -E -- '--[a-z][a-z-]*' | sort -u); do
  gzip -dc "$root/usr/share/man/man1/ventrel.1.gz" | grep -q -F -- "${opt//-/\\-}" || fail "manual page lacks $opt"
done

lintian "$deb" >"$tmp/lintian.log" 2>&1 || fail "lintian: $(grep '^E:' "$tmp/lintian.log" | head -5)"
desktop-file-validate "$root/usr/share/applications/ventrel.desktop" || fail "desktop entry refused"

# From another folder, with a home of its own.
listing() { (cd "$root" && find . -printf '%p %s %T@ %m\n' | sort); }
listing >"$tmp/before"
mkdir -p "$tmp/home" "$tmp/work"
cd "$tmp/work" || exit 1
export HOME=$tmp/home TZ='<+02>-2'
unset XDG_CONFIG_HOME XDG_DATA_HOME
config=$HOME/.config/ventrel/Ventrel.ini

[ "$("$exe" --version)" = "$("$prog" --version)" ] || fail "--version: $("$exe" --version)"
"$exe" --version --verbose >"$tmp/verbose" 2>&1
grep -q "^Installation : installée" "$tmp/verbose" || fail "--version --verbose: $(cat "$tmp/verbose")"
grep -q -F "Configuration lue et enregistrée : $config" "$tmp/verbose" || fail "--verbose names no $config"
[ ! -e "$config" ] || fail "--version created the configuration"

run=(--headless --fast --duration 10 --stdout --start-time "2026-12-06 10:00:00")
"$exe" "${run[@]}" >"$tmp/installed.nmea" 2>"$tmp/installed.err" || fail "installed run: $(cat "$tmp/installed.err")"
"$prog" "${run[@]}" >"$tmp/build.nmea" 2>/dev/null || fail "run from the build folder"
[ -s "$tmp/build.nmea" ] && cmp -s "$tmp/installed.nmea" "$tmp/build.nmea" || fail "installed run differs from the build's"
cmp -s "$config" "$share/Ventrel.ini" || fail "the configuration was not copied to $config"
[ -d "$HOME/.local/share/ventrel/Polars" ] || fail "no user polar folder"

"$exe" --polar-info "$share/DefPolars/First31_7.pol" >"$tmp/polar" 2>&1 || fail "--polar-info: $(cat "$tmp/polar")"
grep -q "^TWA" "$tmp/polar" || fail "--polar-info printed no table"

# The window writes its polar back into the user's configuration at close.
grep -v -i '^PolaireAct=' "$share/Ventrel.ini" >"$config"
QT_QPA_PLATFORM=offscreen VENTREL_SCREENSHOT=$tmp/shot.png VENTREL_SCREENSHOT_AFTER=1 timeout 120 "$exe" \
  >"$tmp/window.out" 2>"$tmp/window.err" || fail "window: status $? ($(head -c 300 "$tmp/window.err"))"
[ -s "$tmp/shot.png" ] || fail "no screenshot"
! grep -E "absent|introuvable|illisible" "$tmp/window.err" || fail "the window misses some of its files"
grep -q -i '^PolaireAct=FIRST31_7.pol' "$config" || fail "the window wrote nothing back into $config"

listing >"$tmp/after"
diff "$tmp/before" "$tmp/after" >&2 || fail "something was written under the unpacked prefix"
finish "package $(basename "$deb") checked"
