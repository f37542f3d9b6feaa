; The Windows installer of VRK, built on Linux with makensis by
; scripts/build-windows.sh:
;   makensis -DVERSION=1.20 -DBUNDLE=<bundle folder> -DFILES=<files.nsh> \
;            -DOUTFILE=<vrk-1.20-setup.exe> packaging/windows/vrk.nsi
; VERSION comes from project(vrk VERSION ...) in CMakeLists.txt; FILES lists
; the bundle's files and folders (made with the bundle), so that the
; uninstaller removes exactly what was installed and never a folder the user
; chose with other things in it.
; Installed for every user into Program Files, registered in "Apps" with its
; uninstaller. The program's shortcut starts it with --user-folder: it keeps
; vrk.ini, its language files and the ports file in %LOCALAPPDATA%\vrk, which
; the uninstaller leaves alone (the user's files).
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "x64.nsh"

!ifndef VERSION | BUNDLE | FILES | OUTFILE
!error "VERSION, BUNDLE, FILES and OUTFILE must be defined (-D)"
!endif

!include "${FILES}"

!define NAME "VRK"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VRK"
!define PUBLISHER "VRK maintainers"

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\VRK"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${NAME} ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${NAME} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "2026 ${PUBLISHER}"

!define MUI_ICON "${BUNDLE}/vrk.ico"
!define MUI_UNICON "${BUNDLE}/vrk.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\vrk.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "--user-folder"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "Russian"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "VRK needs a 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "VRK" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  !insertmacro VRK_INSTALL_FILES
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcuts start the program in the user's own folder.
  CreateDirectory "$SMPROGRAMS\VRK"
  CreateShortCut "$SMPROGRAMS\VRK\VRK.lnk" "$INSTDIR\vrk.exe" "--user-folder" "$INSTDIR\vrk.exe" 0
  CreateShortCut "$SMPROGRAMS\VRK\VRK manual.lnk" "$INSTDIR\README.txt"
  CreateShortCut "$SMPROGRAMS\VRK\Uninstall VRK.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vrk.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Desktop shortcut" SecDesktop
  CreateShortCut "$DESKTOP\VRK.lnk" "$INSTDIR\vrk.exe" "--user-folder" "$INSTDIR\vrk.exe" 0
SectionEnd

; Not chosen by default: .vrk (setpoints) and .rej (recordings) files get the
; program's icon and name; opening one starts the program.
Section /o "File types .vrk and .rej" SecAssociate
  WriteRegStr HKLM "Software\Classes\.vrk" "" "VRK.Setpoints"
  WriteRegStr HKLM "Software\Classes\.rej" "" "VRK.Recording"
  WriteRegStr HKLM "Software\Classes\VRK.Setpoints" "" "VRK setpoints"
  WriteRegStr HKLM "Software\Classes\VRK.Setpoints\DefaultIcon" "" "$INSTDIR\vrk.exe,0"
  WriteRegStr HKLM "Software\Classes\VRK.Setpoints\shell\open\command" "" '"$INSTDIR\vrk.exe" --user-folder'
  WriteRegStr HKLM "Software\Classes\VRK.Recording" "" "VRK recording"
  WriteRegStr HKLM "Software\Classes\VRK.Recording\DefaultIcon" "" "$INSTDIR\vrk.exe,0"
  WriteRegStr HKLM "Software\Classes\VRK.Recording\shell\open\command" "" '"$INSTDIR\vrk.exe" --user-folder'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "FileTypes" 1
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  !insertmacro VRK_UNINSTALL_FILES
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\VRK\VRK.lnk"
  Delete "$SMPROGRAMS\VRK\VRK manual.lnk"
  Delete "$SMPROGRAMS\VRK\Uninstall VRK.lnk"
  RMDir "$SMPROGRAMS\VRK"
  Delete "$DESKTOP\VRK.lnk"

  ; The file types, only where they still lead to this program.
  ReadRegStr $0 HKLM "Software\Classes\.vrk" ""
  StrCmp $0 "VRK.Setpoints" 0 +2
    DeleteRegKey HKLM "Software\Classes\.vrk"
  ReadRegStr $0 HKLM "Software\Classes\.rej" ""
  StrCmp $0 "VRK.Recording" 0 +2
    DeleteRegKey HKLM "Software\Classes\.rej"
  DeleteRegKey HKLM "Software\Classes\VRK.Setpoints"
  DeleteRegKey HKLM "Software\Classes\VRK.Recording"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; %LOCALAPPDATA%\vrk (vrk.ini, the language files, ports) is the user's and stays.
SectionEnd
