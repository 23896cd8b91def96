; The Windows installer of Tapdash: for one player, without administrator rights, into
; %LOCALAPPDATA%\Programs\Tapdash, where the game can write best.dat. Built by installer/package.sh:
;   makensis -DSOURCE=<program folder> -DOUTFILE=<installer> -DVERSION=<a.b.c.d>
;            [-DSIGN=<signing command>] installer/tapdash.nsi
; with <program folder>\..\install.nsh and uninstall.nsh: the files to install, made from the
; folder, and the same files to remove, so that the uninstaller removes what was installed and
; nothing else, wherever the player chose to install.
; Every page is one of the standard pages, made of standard controls that screen readers read.
; A 64-bit installer, as the game is.
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Tapdash"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tapdash"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
!ifdef SIGN
  ; Signed as they are written: the uninstaller before it is packed into the installer.
  !uninstfinalize '${SIGN} "%1" Uninstall.exe'
  !finalize '${SIGN} "%1"'
!endif
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

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Tapdash"
  SetShellVarContext current
  !include "${SOURCE}\..\install.nsh"
  ; A player's scores are never replaced: an empty best.dat only where none is.
  SetOutPath "$INSTDIR"
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

; Only the installed files, then their folders where they are empty: a file of the player's in a
; folder the game uses keeps the folder and itself.
Section "un.Tapdash"
  SetShellVarContext current
  !include "${SOURCE}\..\uninstall.nsh"
  Delete "$INSTDIR\Uninstall.exe"
  Delete "$SMPROGRAMS\Tapdash\Tapdash.lnk"
  Delete "$SMPROGRAMS\Tapdash\Tapdash player details.lnk"
  Delete "$SMPROGRAMS\Tapdash\Uninstall Tapdash.lnk"
  RMDir "$SMPROGRAMS\Tapdash"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; The scores and the player's details stay unless the player says otherwise; a silent
  ; uninstall keeps them. A plain question that screen readers read, "No" the default.
  IfFileExists "$INSTDIR\best.dat" ask 0
  IfFileExists "$INSTDIR\config.dat" ask keep
  ask:
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Also remove your best scores and your player details?$\n$\nNo keeps best.dat and config.dat in $INSTDIR for the next time Tapdash is installed there." \
    /SD IDNO IDNO keep
    Delete "$INSTDIR\best.dat"
    Delete "$INSTDIR\best.dat.*.tmp"
    Delete "$INSTDIR\best.dat.*.old"
    Delete "$INSTDIR\config.dat"
    Delete "$INSTDIR\config.dat.*.tmp"
  keep:
  RMDir "$INSTDIR"
SectionEnd
