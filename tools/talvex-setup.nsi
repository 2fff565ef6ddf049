; The Windows installer of Talvex Saver, for 64-bit Windows, made with NSIS 3 by
; tools/build-windows:
;
;   makensis -DVERSION=1.0 -DVERSION_FULL=1.0.0.0 -DPROGRAM=Project1.scr -DICON=MAINICON.ico -DOUTFILE=Talvex-Setup-1.0.exe talvex-setup.nsi
;
; It puts Project1.scr into the 64-bit system folder, where the Screen Saver Settings
; list it; makes VESKAN.INI in the Windows folder (an existing file keeps its content)
; and lets the local Users group modify that one file, so that a standard user's OK
; and Test can write it; offers, checked, to make the night scene the installing
; user's screen saver; and registers its uninstaller with the installed programs.
; /S installs and uninstalls without asking.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!define PRODUCT "Talvex Saver"
!define PUBLISHER "Talvex Saver developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TalvexSaver"
; The well-known identifier of the local group Users (BUILTIN\Users), the same in
; every language of Windows.
!define USERS_SID "*S-1-5-32-545"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
ShowInstDetails show
ShowUninstDetails show
VIProductVersion "${VERSION_FULL}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!include LogicLib.nsh
!include FileFunc.nsh

Page components
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "${PRODUCT} (required)" SectionProgram
  SectionIn RO
  SetRegView 64
  SetOutPath "$SYSDIR"
  File "/oname=Project1.scr" "${PROGRAM}"

  ; The settings file, shared by every user of the machine.
  ${IfNot} ${FileExists} "$WINDIR\VESKAN.INI"
    FileOpen $0 "$WINDIR\VESKAN.INI" w
    FileClose $0
  ${EndIf}
  DetailPrint "Letting the Users group modify $WINDIR\VESKAN.INI"
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$WINDIR\VESKAN.INI" /grant ${USERS_SID}:M'
  Pop $0
  ${If} $0 != 0
    DetailPrint "icacls failed ($0): standard users cannot save the setting"
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "/oname=Talvex.ico" "${ICON}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  ${GetSize} "$SYSDIR" "/M=Project1.scr /S=0K /G=0" $4 $2 $3
  IntOp $1 $1 + $4
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Talvex.ico"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Make it my screen saver" SectionChoose
  WriteRegStr HKCU "Control Panel\Desktop" "SCRNSAVE.EXE" "$SYSDIR\Project1.scr"
  WriteRegStr HKCU "Control Panel\Desktop" "ScreenSaveActive" "1"
SectionEnd

Section "Uninstall"
  SetRegView 64
  ; The screen-saver choice falls back to none where it named this one.
  ReadRegStr $0 HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
  ${GetFileName} "$0" $1
  ${If} $1 == "Project1.scr"
    DeleteRegValue HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
  ${EndIf}
  Delete "$SYSDIR\Project1.scr"
  Delete "$WINDIR\VESKAN.INI"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Talvex.ico"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
