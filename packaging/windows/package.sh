#!/usr/bin/env bash
# `make windows-package`: from the cross build in WIN_BUILD (build-win), the
# portable folder and zip (the two executables, the Qt DLLs and plugins they
# load, the mingw runtime DLLs, the program's LICENSE and the licences of what
# it ships) and the per-user installer (NSIS), which installs the same folder.
# Checks that every DLL an executable or plugin imports is in the folder or is
# one of Windows' own, and that nothing in the folder goes unused.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
. packaging/windows/env.sh
build=$(cd "${WIN_BUILD:-build-win}" && pwd)
win_prefix=$(sed -n 's#^CMAKE_TOOLCHAIN_FILE:FILEPATH=\(.*\)/mingw-toolchain.cmake$#\1#p' "$build/CMakeCache.txt")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=friendlinks-$version-win64
stage=$build/package/friendlinks
objdump=x86_64-w64-mingw32-objdump

rm -rf "$build/package"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/tls" "$stage/licenses"
cp "$build/friendlinks.exe" "$build/friendlinks.com" "$stage/"
cp "$win_prefix"/bin/Qt6{Core,Gui,Network,Widgets}.dll "$stage/"
cp "$win_prefix"/runtime/*.dll "$stage/"
cp "$win_prefix/plugins/platforms/qwindows.dll" "$stage/platforms/"           # the desktop
cp "$win_prefix/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"       # native buttons and lists
cp "$win_prefix/plugins/tls/qschannelbackend.dll" "$stage/tls/"               # https through Windows' Schannel
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/friendlinks.exe "$stage"/friendlinks.com
cp packaging/windows/licenses.txt "$stage/licenses/README.txt"
cp /usr/share/common-licenses/LGPL-3 "$stage/licenses/LGPL-3.txt"
cp /usr/share/common-licenses/GPL-3 "$stage/licenses/GPL-3.txt"
cp LICENSE "$stage/LICENSE.txt"   # friendlinks' own licence (GPL-3.0-or-later), at the folder's top

# Windows' own DLLs (any Windows 10 or later has them).
system_dll='^(kernel32|user32|gdi32|shell32|ole32|oleaut32|advapi32|comdlg32|imm32|winmm|ws2_32|iphlpapi|dnsapi|netapi32|userenv|version|uxtheme|dwmapi|shlwapi|crypt32|secur32|ncrypt|bcrypt|authz|mpr|setupapi|wtsapi32|d3d9|d3d11|d3d12|dxgi|dwrite|d2d1|dcomp|shcore|msvcrt|ntdll|rpcrt4|comctl32|winspool\.drv|winhttp|api-ms-win-[a-z0-9-]+)\.dll$'
imports() { "$objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'; }
used=$(mktemp); trap 'rm -f "$used"' EXIT
missing=0
while IFS= read -r -d '' f; do
  for dll in $(imports "$f"); do
    if [ -n "$(find "$stage" -maxdepth 1 -iname "$dll")" ]; then
      echo "$dll" >> "$used"
    elif ! [[ $dll =~ $system_dll ]]; then
      echo "missing from the package: $dll (imported by ${f#$stage/})"; missing=1
    fi
  done
done < <(find "$stage" \( -name '*.exe' -o -name '*.com' -o -name '*.dll' \) -print0)
for f in "$stage"/*.dll; do
  grep -qix "$(basename "$f")" "$used" || { echo "in the package but used by nothing: $(basename "$f")"; missing=1; }
done
[ "$missing" = 0 ] || exit 1

# The portable zip: one folder, run friendlinks.exe from it.
rm -f "$build/$name.zip"
(cd "$build/package" && zip -q -r -X "$build/$name.zip" friendlinks)

# The installer: per user, no administrator rights asked.
files=$build/package/files.nsh
: > "$files"
( cd "$stage"
  for f in $(find . -type f | sort); do
    f=${f#./}; dir=$(dirname "$f")
    [ "$dir" = . ] && out='$INSTDIR' || out="\$INSTDIR\\${dir//\//\\}"
    echo "SetOutPath \"$out\"" >> "$files"
    echo "File \"$stage/$f\"" >> "$files"
  done
  find . -type f | sort | sed 's#^\./##; s#/#\\#g; s#.*#Delete "$INSTDIR\\&"#' > "$build/package/remove.nsh"
  find . -mindepth 1 -type d | sort -r | sed 's#^\./##; s#/#\\#g; s#.*#RMDir "$INSTDIR\\&"#' >> "$build/package/remove.nsh"
)
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DFILES="$files" -DREMOVE="$build/package/remove.nsh" \
  -DICON="$build/packaging/windows/friendlinks.ico" -DOUT="$build/$name-setup.exe" packaging/windows/installer.nsi
ls -l "$build/$name.zip" "$build/$name-setup.exe"
