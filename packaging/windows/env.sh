# Sourced by the Windows scripts (needs $root, the project folder): finds the
# cross prefix and sets up Wine. The prefix: $WIN_PREFIX when given, else
# ../shared/toolchains/mingw-qt-6.4.2 beside the project, else the one
# build-prefix.sh builds into ~/.cache/friendlinks (it is built when missing).
find_win_prefix() {
  local shared="$root/../shared/toolchains/mingw-qt-6.4.2"
  local cache="$HOME/.cache/friendlinks/mingw-qt-6.4.2"
  if [ -n "${WIN_PREFIX:-}" ]; then
    [ -f "$WIN_PREFIX/mingw-toolchain.cmake" ] || { echo "WIN_PREFIX=$WIN_PREFIX holds no mingw-toolchain.cmake" >&2; return 1; }
    win_prefix=$(cd "$WIN_PREFIX" && pwd)
  elif [ -f "$shared/mingw-toolchain.cmake" ]; then
    win_prefix=$(cd "$shared" && pwd)
  else
    if [ ! -f "$cache/.ready" ]; then
      echo "no Windows prefix at hand: building it into $cache (35-55 minutes)" >&2
      JOBS=${JOBS:-2} bash "$root/packaging/windows/build-prefix.sh" "$cache" >&2
    fi
    win_prefix=$cache
  fi
}

# Windows paths of Unix ones: Wine's drive Z: is the Unix root.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Wine in a prefix of its own (made on first use: about 20 s), quiet, without
# the Mono and Gecko installers it would offer; 64-bit only.
setup_wine() {
  export WINEPREFIX=${FRIENDLINKS_WINEPREFIX:-$HOME/.cache/friendlinks/wine}
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  wine=/usr/lib/wine/wine64
  [ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
  wineserver=/usr/lib/wine/wineserver64
  [ -x "$wineserver" ] || wineserver=$(command -v wineserver)
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot --init >/dev/null 2>&1 || true
    "$wineserver" -w
  fi
}
