; The Windows installer of Feltrix, built on Debian with makensis (packaging/
; CMakeLists.txt passes the paths):
;   makensis -DOUTFILE=... -DPROGRAM=Feltrix.exe -DLIBRARY=PELGRIN32.DLL
;            -DSTANDIN=feltrix-acquire.exe -DOLDSTANDIN=feltrix-eegsim.exe -DRENDER=feltrix-render.exe
;            -DLAUNCHER=feltrix-demo.exe -DREADME=README.md -DDEMO=demo-folder -DDOCS=docs-folder
;            -DICON=feltrix.ico -DUNINSTALL_LIST=list.nsh feltrix.nsi
; (list.nsh: the Delete and RMDir lines for the demo and docs folders, made by
; uninstall_list.cmake from what the folders hold).
; It installs the program, the interface library, the stand-in, feltrix-render,
; the demo launcher, the demo folder and the documentation, adds the Start-menu
; entry "Feltrix demo" (the launcher: the stand-in and Feltrix in the demo
; folder, the stand-in stopped when Feltrix ends) and an uninstaller that
; removes exactly what was installed.
; Silent install: Feltrix-setup.exe /S [/D=C:\Folder]
Unicode true
SetCompressor /SOLID lzma
Name "Feltrix"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES\Feltrix"
RequestExecutionLevel admin
ShowInstDetails show

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Feltrix"
!define START_MENU "$SMPROGRAMS\Feltrix"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Feltrix"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${PROGRAM}"
  File "${LIBRARY}"
  File "${STANDIN}"
  File "${OLDSTANDIN}"  ; the same program under its old name, for a release
  File "${RENDER}"
  File "${LAUNCHER}"
  File "${README}"
  SetOutPath "$INSTDIR\demo"
  File /r "${DEMO}\*.*"
  SetOutPath "$INSTDIR\docs"
  File /r "${DOCS}\*.*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The shortcut runs the demo launcher, which starts the stand-in and
  ; Feltrix in the demo folder (where FeltrixInit.lj is); its working folder
  ; is the output path at the time it is made.
  SetOutPath "$INSTDIR\demo"
  CreateDirectory "${START_MENU}"
  CreateShortcut "${START_MENU}\Feltrix demo.lnk" "$INSTDIR\feltrix-demo.exe" "" "$INSTDIR\Feltrix.exe" 0
  CreateShortcut "${START_MENU}\Uninstall Feltrix.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Feltrix"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Feltrix.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "${START_MENU}\Feltrix demo.lnk"
  Delete "${START_MENU}\Uninstall Feltrix.lnk"
  RMDir "${START_MENU}"
  ; What the installer put there, nothing else: a folder that still holds
  ; files of the user's own (saved configurations) is left with them.
  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\Feltrix.exe"
  Delete "$INSTDIR\PELGRIN32.DLL"
  Delete "$INSTDIR\feltrix-acquire.exe"
  Delete "$INSTDIR\feltrix-eegsim.exe"
  Delete "$INSTDIR\feltrix-render.exe"
  Delete "$INSTDIR\feltrix-demo.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The value Feltrix writes at every start.
  DeleteRegKey HKCU "Software\Brosvane\Feltrix"
  DeleteRegKey /ifempty HKCU "Software\Brosvane"
SectionEnd
