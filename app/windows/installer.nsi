; The game's installer: per user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Diamond, with a Start-menu entry, an uninstaller
; and an entry in Installed apps. /S installs silently.
; makensis -DVERSION=... -DPROGRAM=diamond.exe -DICON=... -DLICENCE=... -DOUTPUT=...
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

; Installed apps lists the programs under the system's uninstall key.
!define SYSTEM_VENDOR "Micro"
!define UNINSTALL_KEY "Software\${SYSTEM_VENDOR}soft\Windows\CurrentVersion\Uninstall\Diamond"

Name "Diamond"
OutFile "${OUTPUT}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Diamond"
ShowInstDetails nevershow
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Diamond"
VIAddVersionKey "FileDescription" "Diamond installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "The Diamond developers"
VIAddVersionKey "LegalCopyright" "The Diamond developers"

Page license
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles
LicenseData "${LICENCE}"

Section "Diamond"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "/oname=diamond.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Diamond.lnk" "$INSTDIR\diamond.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Diamond"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Diamond developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\diamond.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Diamond.lnk"
  Delete "$INSTDIR\diamond.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
