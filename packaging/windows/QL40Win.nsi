; The Windows installer: everything of a `cmake --install` of the Windows build (ql40.exe, the
; help pages, the default band files; ql40win.exe with its Qt DLLs when the build has Qt) into
; Program Files\QL40Win, Start-menu entries, and an uninstaller listed under the system's
; installed programs. `make windows-installer` runs makensis with:
;   VERSION   the program's version
;   STAGE     the folder the files were installed into
;   LISTS     a folder with files.nsh (File lines) and remove.nsh (Delete and RMDir lines)
;   OUTFILE   the installer to write
;   HAVE_GUI  defined when the stage holds ql40win.exe
; /S installs or uninstalls without a window.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"

!define PRODUCT "QL40Win"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define MENU "$SMPROGRAMS\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "Software\${PRODUCT}" "InstallDir"
BrandingText "${PRODUCT} ${VERSION}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !include "${LISTS}\files.nsh"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "${MENU}"
!ifdef HAVE_GUI
  CreateShortCut "${MENU}\${PRODUCT}.lnk" "$INSTDIR\ql40win.exe"
!endif
  ; The command line in a prompt that finds ql40 and starts in the user's own folder.
  CreateShortCut "${MENU}\QL40 Command Prompt.lnk" "$SYSDIR\cmd.exe" \
    '/k "set "PATH=$INSTDIR;%PATH%" && cd /d "%USERPROFILE%" && ql40 --help"'
  CreateShortCut "${MENU}\QL40 Help.lnk" "$INSTDIR\help\131200.html"
  CreateShortCut "${MENU}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "Software\${PRODUCT}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  ; Only what the installer put there: the folder may hold the user's own files too.
  !include "${LISTS}\remove.nsh"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  Delete "${MENU}\${PRODUCT}.lnk"
  Delete "${MENU}\QL40 Command Prompt.lnk"
  Delete "${MENU}\QL40 Help.lnk"
  Delete "${MENU}\Uninstall ${PRODUCT}.lnk"
  RMDir "${MENU}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\${PRODUCT}"
SectionEnd
