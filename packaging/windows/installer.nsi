; The Windows installer of friendlinks: installs for the current user only
; (into %LOCALAPPDATA%\Programs\friendlinks, no administrator rights asked),
; with a Start-menu entry, the user's PATH for `friendlinks check` in cmd.exe
; and PowerShell, and an uninstaller listed under Apps.
; package.sh gives VERSION, FILES (the File lines), REMOVE (the Delete lines), ICON and OUT.
Target amd64-unicode   ; the program is 64-bit only, and so Wine without its 32-bit half runs the installer
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define APP "友链卫士"
!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\friendlinks"

Name "${APP} ${VERSION}"
OutFile "${OUT}"
InstallDir "$LOCALAPPDATA\Programs\friendlinks"
InstallDirRegKey HKCU "Software\friendlinks" "InstallDir"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "StrFunc.nsh"
!include "WinMessages.nsh"
${StrStr}
${UnStrRep}

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\friendlinks.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${APP}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${APP} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "© 2026 friendlinks maintainers"

Section "${APP}" SecProgram
  SectionIn RO
  SetShellVarContext current
  !include "${FILES}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\friendlinks.exe" "" "$INSTDIR\friendlinks.exe" 0
  WriteRegStr HKCU "Software\friendlinks" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${KEY}" "DisplayName" "${APP} (friendlinks)"
  WriteRegStr HKCU "${KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${KEY}" "Publisher" "friendlinks"
  WriteRegStr HKCU "${KEY}" "DisplayIcon" "$INSTDIR\friendlinks.exe,0"
  WriteRegStr HKCU "${KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${KEY}" "NoRepair" 1
SectionEnd

; `friendlinks check ...` from any console: the folder goes on the user's PATH.
Section "命令行：加入 PATH" SecPath
  ReadRegStr $0 HKCU "Environment" "Path"
  ${StrStr} $1 ";$0;" ";$INSTDIR;"
  ${If} $1 == ""
    ${If} $0 == ""
      WriteRegExpandStr HKCU "Environment" "Path" "$INSTDIR"
    ${Else}
      WriteRegExpandStr HKCU "Environment" "Path" "$0;$INSTDIR"
    ${EndIf}
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=2000
  ${EndIf}
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${APP}.lnk"
  !include "${REMOVE}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; Our folder off the user's PATH, wherever it stands in it.
  ReadRegStr $0 HKCU "Environment" "Path"
  ${UnStrRep} $1 ";$0;" ";$INSTDIR;" ";"
  ${UnStrRep} $1 "$1" ";;" ";"
  StrCpy $2 $1 1
  ${If} $2 == ";"
    StrCpy $1 $1 "" 1
  ${EndIf}
  StrCpy $2 $1 1 -1
  ${If} $2 == ";"
    StrCpy $1 $1 -1
  ${EndIf}
  ${If} $1 != $0
    ${If} $1 == ""
      DeleteRegValue HKCU "Environment" "Path"
    ${Else}
      WriteRegExpandStr HKCU "Environment" "Path" "$1"
    ${EndIf}
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=2000
  ${EndIf}
  DeleteRegKey HKCU "${KEY}"
  DeleteRegKey HKCU "Software\friendlinks"
SectionEnd
