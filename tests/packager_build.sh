#!/usr/bin/env bash
# tests/packager_build.sh SOURCE_DIR SCRATCH_DIR
# A packager's build, in a folder of its own: -DBUILD_TESTING=OFF, and every
# package that only the tests, the demo, the benchmarks or the monitors use
# made invisible. It must configure, build the program (unoptimised, to stay
# cheap), install, and leave warnings as warnings.
set -euo pipefail
src=$1
dir=$2
rm -rf "$dir"
mkdir -p "$dir"
# pkg-config modules have no CMAKE_DISABLE_FIND_PACKAGE switch: a pkg-config
# that does not know them stands in.
real=$(command -v pkg-config)
cat > "$dir/pkg-config" <<WRAPPER
#!/bin/sh
case " \$* " in *umockdev*|*libusb*) exit 1 ;; esac
exec "$real" "\$@"
WRAPPER
chmod +x "$dir/pkg-config"
hidden=()
for package in GTest benchmark Qt6Test ZLIB; do hidden+=("-DCMAKE_DISABLE_FIND_PACKAGE_$package=ON"); done
cmake -S "$src" -B "$dir/build" -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O0 -g0" \
  --no-warn-unused-cli -DPKG_CONFIG_EXECUTABLE="$dir/pkg-config" "${hidden[@]}" > "$dir/configure.log" ||
  { cat "$dir/configure.log"; exit 1; }
if grep -rq -- -Werror "$dir/build/src/CMakeFiles/ringflash.dir/flags.make"; then
  echo "a plain configure turns warnings into errors"; exit 1
fi
cmake --build "$dir/build" -j2 --target ringflash ringflash-cli ringflash-publish ringflash_docs ringflash_completions > "$dir/build.log" || { tail -40 "$dir/build.log"; exit 1; }
DESTDIR="$dir/root" cmake --install "$dir/build" --prefix /usr > /dev/null
test -x "$dir/root/usr/bin/ringflash" && test -x "$dir/root/usr/bin/ringflash-cli" && test -x "$dir/root/usr/bin/ringflash-publish"
rm -rf "$dir"
echo "packager's build: configured, built and installed without the test packages"
