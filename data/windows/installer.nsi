; The Windows installer, built by tools/windows_package.sh with Debian's makensis:
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> installer.nsi
; It installs for the signed-in user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Plemby, with a Start menu entry and an uninstaller listed among the
; installed apps. A newer version installs over an older one in place. /S installs silently;
; /D=FOLDER (last on the command line) installs elsewhere. The player's files in
; %APPDATA%\Plemby are never touched by either.
; A 64-bit installer for the 64-bit game (and wine without its 32-bit half runs it).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
!include "MUI2.nsh"

!define NAME "Plemby!"
!define PUBLISHER "Plemby! developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Plemby"
!define INSTALL_KEY "Software\Plemby"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Plemby"
InstallDirRegKey HKCU "${INSTALL_KEY}" "InstallDir"
BrandingText "${NAME} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${NAME}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${NAME} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 Plemby! developers, MIT License"

!define MUI_ICON "${STAGE}\plemby.ico"
!define MUI_UNICON "${STAGE}\plemby.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\plemby.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The files the uninstaller removes are exactly these.
!macro GAME_FILES DO
  ${DO} "plemby.exe"
  ${DO} "plemby.com"
  ${DO} "README.txt"
  ${DO} "LICENSE.txt"
!macroend
!macro INSTALL_FILE NAME
  File "${STAGE}\${NAME}"
!macroend
!macro REMOVE_FILE NAME
  Delete "$INSTDIR\${NAME}"
!macroend

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Plemby!"
  SetOutPath "$INSTDIR"
  !insertmacro GAME_FILES "!insertmacro INSTALL_FILE"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Plemby!.lnk" "$INSTDIR\plemby.exe" "" "$INSTDIR\plemby.exe" 0
  WriteRegStr HKCU "${INSTALL_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\plemby.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  !insertmacro GAME_FILES "!insertmacro REMOVE_FILE"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Plemby!.lnk"
  ; Only an empty folder goes: anything the player put there stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${INSTALL_KEY}"
SectionEnd
