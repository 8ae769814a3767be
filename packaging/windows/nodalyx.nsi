; The per-user installer of the Windows build: no administrator rights, installs under
; %LOCALAPPDATA%\Programs\nodalyx, a Start-menu entry for the configuration tool, an
; uninstaller (also listed in "Apps & features" for this user).
; scripts/build-windows.sh runs: makensis -DVERSION=x.y.z -DSTAGE=<folder of the zip>
;                                        -DOUTFILE=<setup.exe> -DFILELIST=<Delete lines> nodalyx.nsi
Target amd64-unicode ; a 64-bit installer for a 64-bit program (and runnable by Wine's 64-bit loader)
SetCompressor /SOLID lzma
RequestExecutionLevel user

!ifndef VERSION | STAGE | OUTFILE | FILELIST
  !error "VERSION, STAGE, OUTFILE and FILELIST must be given with -D"
!endif

!define NAME "NVQ Nodalyx"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\nodalyx"

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\nodalyx"
InstallDirRegKey HKCU "Software\nodalyx" "InstallDir"
Icon "nodalyx-config.ico"
UninstallIcon "nodalyx-config.ico"
ShowInstDetails show

!include "MUI2.nsh"
!define MUI_ICON "nodalyx-config.ico"
!define MUI_UNICON "nodalyx-config.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\nodalyx-config.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Install"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\NVQ Nodalyx configuration tool.lnk" \
    "$INSTDIR\nodalyx-config.exe" "" "$INSTDIR\nodalyx-config.exe" 0
  WriteRegStr HKCU "Software\nodalyx" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME} configuration tool"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "NVQ"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\nodalyx-config.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The uninstaller removes what the installer put there, and nothing else: locations kept
; beside the program (*.fgr, highway files) and the per-user folder %LOCALAPPDATA%\nodalyx
; stay, and so does the folder when they are in it.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\NVQ Nodalyx configuration tool.lnk"
  !include "${FILELIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\platforms"
  RMDir "$INSTDIR\styles"
  RMDir "$INSTDIR\licenses"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\nodalyx"
SectionEnd
