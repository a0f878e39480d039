#!/usr/bin/env bash
# Builds the Debian packages (CPack, one package per install component) in build/package and
# checks them with lintian. Usage: scripts/package.sh [--no-lintian]
# The packages land in build/package/debs/; install them with
#   apt-get install ./build/package/debs/*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
lintian=yes
[ "${1:-}" = "--no-lintian" ] && lintian=no

# The tools that make and check packages, on top of what the build needs.
scripts/bootstrap.sh none
packages=(dpkg-dev fakeroot file binutils gzip)
[ "$lintian" = yes ] && packages+=(lintian)
scripts/install-packages.sh "${packages[@]}"

# Debian's compiler and linker flags (hardening, reproducible paths), the date of the last
# commit for every time stamp, and no test or benchmark targets: they are not shipped.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}"
cflags="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
build=build/package
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DJOBCONTROL_DEB_PACKAGES=ON -DBUILD_TESTING=OFF -DJOBCONTROL_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j2

rm -rf "$build/debs"
(cd "$build" && fakeroot cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
debs=("$build"/debs/*.deb)
echo "Packages:"
for deb in "${debs[@]}"; do
  printf '  %s\n' "$deb"
  dpkg-deb -f "$deb" Depends | sed 's/^/    Depends: /'
done

if [ "$lintian" = yes ]; then
  # Errors fail the build; warnings are listed for the record.
  lintian --fail-on error --info "${debs[@]}"
fi
