; The Windows installer, vantrel-setup.exe, made by scripts/build-windows.sh
; with makensis. For all users in Program Files (an administrator's choice,
; with elevation) or for the player alone in the player's own programs folder
; (without); a Start-menu entry that keeps the table in %APPDATA%\Vantrel; an
; uninstaller in Add/Remove Programs that removes every installed file and
; leaves the tables alone.
;   makensis -DVERSION=1.0.0 -DARCH=i686|x86_64 -DFILES=DIR -DICON=vantrel.ico
;            -DOUTFILE=SETUP.EXE vantrel.nsi
; FILES holds vantrel.exe, help\, README.txt and LICENSE.txt, as the zip does.
Unicode true
!if "${ARCH}" == x86_64
  Target amd64-unicode
  !define MULTIUSER_USE_PROGRAMFILES64
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel"
!define PUBLISHER "The Vantrel developers"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR Vantrel
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME InstallLocation
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME InstallLocation
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh

Name Vantrel
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 ProductName Vantrel
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 FileDescription "Vantrel ${VERSION} setup"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 LegalCopyright "Copyright (c) 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\vantrel.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "--user-hiscore --pause-when-inactive"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section
  SetOutPath "$INSTDIR\help"
  File "${FILES}\help\*.html"
  SetOutPath "$INSTDIR"
  File "${FILES}\vantrel.exe" "${FILES}\README.txt" "${FILES}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The table goes to the player's own folder: Program Files is not the
  ; player's to write, and the game is held while the player is away.
  CreateShortcut "$SMPROGRAMS\Vantrel.lnk" "$INSTDIR\vantrel.exe" "--user-hiscore --pause-when-inactive" \
    "$INSTDIR\vantrel.exe" 0 SW_SHOWNORMAL "" "Keep the ball in play with the bat and knock out the blocks"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayName Vantrel
  WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\vantrel.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoRepair 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" EstimatedSize $0
SectionEnd

; Every installed file: whatever else the player put in the folder stays, and
; so do the tables in %APPDATA%\Vantrel.
Section Uninstall
  Delete "$SMPROGRAMS\Vantrel.lnk"
  Delete "$INSTDIR\help\*.html"
  RMDir "$INSTDIR\help"
  Delete "$INSTDIR\vantrel.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
