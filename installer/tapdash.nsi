; The Windows installer of Tapdash: for one player, without administrator rights, into
; %LOCALAPPDATA%\Programs\Tapdash, where the game can write best.dat. Built by script/windows:
;   makensis -DSOURCE=<program folder> -DOUTFILE=<installer> installer/tapdash.nsi
; Every page is one of the standard pages, made of standard controls that screen readers read.
; A 64-bit installer, as the game is.
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Tapdash"
!define VERSION "1.0.0.1"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tapdash"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Tapdash"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "FileDescription" "Tapdash installer"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Free game"

!include "MUI2.nsh"
!define MUI_ICON "${SOURCE}\..\tapdash.ico"
!define MUI_UNICON "${SOURCE}\..\tapdash.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tapdash.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Play Tapdash now"
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Tapdash"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${SOURCE}\Tapdash.exe"
  File "${SOURCE}\tapdash-player.exe"
  File /r "${SOURCE}\score"
  File /r "${SOURCE}\game"
  File /r "${SOURCE}\level1"
  File /r "${SOURCE}\menu"
  File /r "${SOURCE}\learn"
  File /r "${SOURCE}\TestSpk"
  ; A player's scores are never replaced: an empty best.dat only where none is.
  IfFileExists "$INSTDIR\best.dat" +2 0
    File "${SOURCE}\best.dat"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Tapdash"
  CreateShortcut "$SMPROGRAMS\Tapdash\Tapdash.lnk" "$INSTDIR\Tapdash.exe"
  CreateShortcut "$SMPROGRAMS\Tapdash\Tapdash player details.lnk" "$INSTDIR\tapdash-player.exe"
  CreateShortcut "$SMPROGRAMS\Tapdash\Uninstall Tapdash.lnk" "$INSTDIR\Uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tapdash.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "-un.Tapdash"
  SetShellVarContext current
  Delete "$INSTDIR\Tapdash.exe"
  Delete "$INSTDIR\tapdash-player.exe"
  RMDir /r "$INSTDIR\score"
  RMDir /r "$INSTDIR\game"
  RMDir /r "$INSTDIR\level1"
  RMDir /r "$INSTDIR\menu"
  RMDir /r "$INSTDIR\learn"
  RMDir /r "$INSTDIR\TestSpk"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /r "$SMPROGRAMS\Tapdash"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Unticked: the scores and the player's details stay unless the player asks.
Section /o "un.Also remove my best scores and player details"
  Delete "$INSTDIR\best.dat"
  Delete "$INSTDIR\config.dat"
SectionEnd

Section "-un.Folder"
  RMDir "$INSTDIR"
SectionEnd
