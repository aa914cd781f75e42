#!/usr/bin/env bash
# Builds the prefix the Windows build cross-compiles against, from Debian's own
# sources: Qt 6.4.2 (Core, Gui, Widgets, Network, Test; TLS through Schannel)
# from the qt6-base source package, RE2 from the re2 source package (its
# Unicode tables regenerated from unicode-data, as Debian's build does),
# SQLite from the sqlite3 source package, libpsl from the libpsl source
# package (with Debian's Public Suffix List built in), GoogleTest from
# /usr/src/googletest, and the mingw runtime DLLs.
# About 35-55 minutes on two cores, nearly all of it Qt; `make windows` runs it
# only when neither WIN_PREFIX nor ../shared/toolchains/mingw-qt-6.4.2 is at hand.
# The Qt configure line and the SQLite and libpsl builds below are those of the
# shared prefix's script: keep them equal, so either prefix builds the same program.
#   build-prefix.sh [PREFIX [WORKDIR]]   (default ~/.cache/friendlinks/mingw-qt-6.4.2)
set -euo pipefail
PREFIX=$(realpath -m "${1:-$HOME/.cache/friendlinks/mingw-qt-6.4.2}"); WORK=$(realpath -m "${2:-$PREFIX.work}")
SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
mkdir -p "$PREFIX" "$WORK"; cd "$WORK"

need="g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix cmake ninja-build perl python3 unicode-data qt6-base-dev qt6-base-dev-tools libgtest-dev dpkg-dev"
missing=""; for p in $need; do dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"; done
if [ -n "$missing" ]; then $SUDO apt-get update -qq; DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing; fi
# Source packages need a deb-src entry beside the deb one: made from the machine's own deb entries
# (its own mirror, suites and keys), never a mirror named here.
if ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
  src=/etc/apt/sources.list.d/friendlinks-src.sources
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $SUDO tee "$src" >/dev/null
  else
    grep -h '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | sed 's/^deb /deb-src /' \
      | $SUDO tee "${src%.sources}.list" >/dev/null
  fi
  $SUDO apt-get update -qq
fi

cat > "$WORK/mingw.cmake" <<TC
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $PREFIX)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TC
sed "s#$PREFIX#\${CMAKE_CURRENT_LIST_DIR}#; /CMAKE_FIND_ROOT_PATH /a set(CMAKE_PREFIX_PATH \${CMAKE_CURRENT_LIST_DIR})" "$WORK/mingw.cmake" > "$PREFIX/mingw-toolchain.cmake"

# --- Qt ---------------------------------------------------------------------------------------
[ -d qtbase-everywhere-src-6.4.2 ] || { apt-get source --download-only qt6-base >/dev/null; tar -xJf qt6-base_6.4.2+dfsg.orig.tar.xz; }
win=qtbase-everywhere-src-6.4.2/src/plugins/platforms/windows
# Debian's source leaves out the tablet header wintab.h: build the Windows plugin without tablet input.
sed -i 's/#if QT_CONFIG(tabletevent)/#if 0 \/\/ no wintab.h in this source/' $win/qwindowspointerhandler.h $win/qwindowspointerhandler.cpp $win/qwindowscontext.cpp
sed -i 's/CONDITION QT_FEATURE_tabletevent/CONDITION FALSE/' $win/CMakeLists.txt $win/../direct2d/CMakeLists.txt
# With OpenGL off, 6.4 still sees dynamicgl in one place of the plugin.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' $win/qwindowswindow.cpp
cmake -S qtbase-everywhere-src-6.4.2 -B build-qt -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$WORK/mingw.cmake" -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS="-ffile-prefix-map=$WORK/=" -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$WORK/=" \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_openssl=OFF -DFEATURE_schannel=ON \
  -DFEATURE_vulkan=OFF -DFEATURE_pkg_config=OFF -DFEATURE_testlib=ON -DBUILD_SHARED_LIBS=ON
ninja -C build-qt -j"${JOBS:-2}"
ninja -C build-qt install >/dev/null

# --- RE2 --------------------------------------------------------------------------------------
if [ ! -d re2-2022-06-01 ]; then
  apt-get source --download-only re2 >/dev/null
  tar -xf re2_20220601+dfsg.orig.tar.xz; mkdir -p re2-debian; tar -xf re2_20220601+dfsg-1.debian.tar.xz -C re2-debian
  # The Unicode tables are generated; Debian's patch points the generators at unicode-data.
  (cd re2-2022-06-01 && patch -p1 < ../re2-debian/debian/patches/debian-unicode-data.patch >/dev/null \
     && perl re2/make_perl_groups.pl > re2/perl_groups.cc \
     && python3 re2/make_unicode_groups.py > re2/unicode_groups.cc \
     && python3 re2/make_unicode_casefold.py > re2/unicode_casefold.cc)
fi
cmake -S re2-2022-06-01 -B build-re2 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$WORK/mingw.cmake" \
  -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$WORK/=" -DCMAKE_BUILD_TYPE=Release -DRE2_BUILD_TESTING=OFF -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$PREFIX"
ninja -C build-re2 install >/dev/null
# RE2's CMake install writes no pkg-config file on Windows; the project finds RE2 by pkg-config.
mkdir -p "$PREFIX/lib/pkgconfig"
cat > "$PREFIX/lib/pkgconfig/re2.pc" <<'PC'
prefix=${pcfiledir}/../..
libdir=${prefix}/lib
includedir=${prefix}/include

Name: re2
Description: RE2 regular expressions (static, mingw-w64)
Version: 0.0.0
Libs: -L${libdir} -lre2
Cflags: -I${includedir}
PC

# --- SQLite -----------------------------------------------------------------------------------
# From Debian's sqlite3 source with its security patches; the amalgamation is generated on the host
# (tclsh), then compiled for mingw as a static library with pkg-config and CMake find support.
if [ ! -f sqlite-native/sqlite3.c ]; then
  dpkg -s tcl >/dev/null 2>&1 || DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq tcl
  apt-get source --download-only sqlite3 >/dev/null
  rm -rf sqlite3-3.40.1 sqlite-debian; tar -xJf sqlite3_3.40.1.orig.tar.xz
  mkdir -p sqlite-debian; tar -xJf sqlite3_3.40.1-*.debian.tar.xz -C sqlite-debian
  for p in 41-fix_a_bug_in_the_NOT_NULL-IS_NULL_optimization.patch 42-CVE-2025-6965.patch \
           0001-Fix-a-buffer-overread-in-the-sessions-extension-that.patch \
           0002-Avoid-a-stack-overflow-that-could-be-caused-by-a-rec.patch \
           0003-Fix-a-technically-undefined-signed-integer-overflow-.patch; do
    [ -f sqlite-debian/debian/patches/$p ] && (cd sqlite3-3.40.1 && patch -p1 -s < ../sqlite-debian/debian/patches/$p)
  done
  mkdir -p sqlite-native; (cd sqlite-native && ../sqlite3-3.40.1/configure >/dev/null && make sqlite3.c >/dev/null)
fi
x86_64-w64-mingw32-gcc-posix -O2 -c sqlite-native/sqlite3.c -o sqlite-native/sqlite3.o -ffile-prefix-map="$WORK/=" \
  -DSQLITE_THREADSAFE=1 -DSQLITE_USE_URI=1 -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_DBSTAT_VTAB \
  -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_DQS=0 -DSQLITE_MAX_SCHEMA_RETRY=25 -DSQLITE_LIKE_DOESNT_MATCH_BLOBS
rm -f "$PREFIX/lib/libsqlite3.a"; x86_64-w64-mingw32-ar rcs "$PREFIX/lib/libsqlite3.a" sqlite-native/sqlite3.o
x86_64-w64-mingw32-strip --strip-debug "$PREFIX/lib/libsqlite3.a"
cp sqlite-native/sqlite3.h sqlite3-3.40.1/src/sqlite3ext.h "$PREFIX/include/"
mkdir -p "$PREFIX/lib/pkgconfig"
cat > "$PREFIX/lib/pkgconfig/sqlite3.pc" <<'PC'
prefix=${pcfiledir}/../..
libdir=${prefix}/lib
includedir=${prefix}/include

Name: SQLite
Description: SQL database engine (static, mingw-w64)
Version: 3.40.1
Libs: -L${libdir} -lsqlite3
Cflags: -I${includedir}
PC

# --- libpsl (the Public Suffix List) ----------------------------------------------------------
# From Debian's libpsl source, with the list of Debian's publicsuffix package built in (no run-time
# IDNA library: hosts go in already in ASCII/punycode form, as QUrl gives them).
need_psl="meson publicsuffix"; for p in $need_psl; do dpkg -s $p >/dev/null 2>&1 || DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $p; done
[ -d libpsl-0.21.2 ] || { apt-get source --download-only libpsl >/dev/null; tar -xJf libpsl_0.21.2.orig.tar.xz; }
cat > "$WORK/mingw-meson.ini" <<'INI'
[binaries]
c = 'x86_64-w64-mingw32-gcc-posix'
ar = 'x86_64-w64-mingw32-ar'
strip = 'x86_64-w64-mingw32-strip'
pkg-config = 'false'

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
INI
rm -rf build-psl
(cd libpsl-0.21.2 && meson setup ../build-psl --cross-file "$WORK/mingw-meson.ini" -Druntime=no -Dbuiltin=true \
   -Dpsl_file=/usr/share/publicsuffix/public_suffix_list.dat -Ddefault_library=static -Dbuildtype=release >/dev/null)
ninja -C build-psl src/libpsl.a >/dev/null
cp build-psl/src/libpsl.a "$PREFIX/lib/"; x86_64-w64-mingw32-strip --strip-debug "$PREFIX/lib/libpsl.a"
cp build-psl/include/libpsl.h "$PREFIX/include/"
cat > "$PREFIX/lib/pkgconfig/libpsl.pc" <<'PC'
prefix=${pcfiledir}/../..
libdir=${prefix}/lib
includedir=${prefix}/include

Name: libpsl
Description: Public Suffix List C library (static, mingw-w64, built-in list from Debian's publicsuffix)
Version: 0.21.2
Libs: -L${libdir} -lpsl -lws2_32
Cflags: -I${includedir} -DPSL_STATIC
PC

# --- GoogleTest -------------------------------------------------------------------------------
cmake -S /usr/src/googletest -B build-gtest -G Ninja -DCMAKE_TOOLCHAIN_FILE="$WORK/mingw.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=OFF -DCMAKE_INSTALL_PREFIX="$PREFIX"
ninja -C build-gtest install >/dev/null

# The mingw runtime DLLs a program built with this toolchain needs beside it.
mkdir -p "$PREFIX/runtime"
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  f=$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll); [ -f "$f" ] || f=$(find /usr/lib/gcc/x86_64-w64-mingw32 /usr/x86_64-w64-mingw32 -name $dll | head -1)
  cp "$f" "$PREFIX/runtime/"
done
# Smaller without changing what links: strip the DLLs (import libraries stay as they are).
for f in "$PREFIX"/bin/*.dll "$PREFIX"/plugins/*/*.dll "$PREFIX"/runtime/*.dll; do x86_64-w64-mingw32-strip --strip-unneeded "$f"; done
[ -n "${2:-}" ] || rm -rf "$WORK"   # our own work folder: sources and objects, several GB
touch "$PREFIX/.ready"   # what `make windows` looks for
echo "prefix ready: $PREFIX"
