; The Windows installer, made by tools/package-win64-setup.sh with Debian's
; makensis, which defines:
;   VERSION   the release version (the VERSION file)
;   STAGE     the folder holding Calvorin.vst3, calvorin.exe and README.txt
;   OUTFILE   the installer to write
; plus the generated STAGE/bundle-files.nsh (File and Delete lines for the
; bundle's files, so the uninstaller removes exactly those).
;
; Installs the bundle into the system VST 3 folder (%CommonProgramFiles%\VST3,
; elevated) or, for one user, %LOCALAPPDATA%\Programs\Common\VST3; calvorin.exe
; and README.txt into the program folder with Start-menu shortcuts; registers
; the uninstaller in the installed programs. Switches:
;   /S  silent   /D=FOLDER  program folder (last, unquoted)
;   /AllUsers (default when elevated) or /CurrentUser
; An installed Calvorin of the same scope is upgraded in place: its own
; uninstaller removes its files first.

Unicode true
Target amd64-unicode
ManifestSupportedOS all
ManifestDPIAware true
RequestExecutionLevel highest
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define PRODUCT "Calvorin"
!define MAKER "Fenmarch"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Calvorin"
!define VST3_SYSTEM "$COMMONFILES64\VST3"
!define VST3_USER "$LOCALAPPDATA\Programs\Common\VST3"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${MAKER}"

!include "${STAGE}/bundle-files.nsh"

; The entry in the installed programs (Apps & features), with the size in
; KiB ($3) and the topmost folders this installation made, which its
; uninstaller removes again when they are empty.
!macro WriteUninstallEntry HIVE
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\calvorin.exe"
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "VST3Folder" "$Vst3Dir"
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "VST3FolderCreatedFrom" "$Vst3Top"
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "InstallFolderCreatedFrom" "$InstTop"
  WriteRegDWORD ${HIVE} "${UNINSTALL_KEY}" "EstimatedSize" $3
  WriteRegDWORD ${HIVE} "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD ${HIVE} "${UNINSTALL_KEY}" "NoRepair" 1
!macroend

Var AllUsers      ; 1: system-wide (HKLM, the system VST 3 folder); 0: this user
Var Vst3Dir       ; where the bundle goes
Var GivenDir      ; /D= from the command line, or empty
Var Vst3Top       ; the topmost folder of $Vst3Dir that the installation made, or empty
Var InstTop       ; the same for $INSTDIR
Var Admin
Var ModeAll
Var ModeUser

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
Page custom ScopePage ScopePageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Sets the scope's registry hive, shell folders, VST 3 folder and, unless
; /D= named one, the program folder (the installed one when upgrading).
Function ApplyScope
  ${If} $AllUsers == 1
    SetShellVarContext all
    StrCpy $Vst3Dir "${VST3_SYSTEM}"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    StrCpy $1 "$PROGRAMFILES64\${PRODUCT}"
  ${Else}
    SetShellVarContext current
    StrCpy $Vst3Dir "${VST3_USER}"
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    StrCpy $1 "$LOCALAPPDATA\Programs\${PRODUCT}"
  ${EndIf}
  ${If} $GivenDir != ""
    StrCpy $INSTDIR $GivenDir
  ${ElseIf} $0 != ""
    StrCpy $INSTDIR $0
  ${Else}
    StrCpy $INSTDIR $1
  ${EndIf}
FunctionEnd

; Replaces the folder on the stack by the topmost of it and its parents that
; does not exist yet (empty when it exists): what CreateDirectory will make.
Function TopMissingFolder
  Exch $0
  Push $1
  StrCpy $1 ""
  ${DoUntil} ${FileExists} "$0\*"
    StrCpy $1 $0
    ${GetParent} $0 $0
    ${IfThen} $0 == "" ${|} ${ExitDo} ${|}
  ${Loop}
  StrCpy $0 $1
  Pop $1
  Exch $0
FunctionEnd

; Removes FOLDER and then its parents up to TOP, each only when empty; nothing
; when TOP is empty (the installation made none of them).
!macro RemoveMadeFolders FOLDER TOP
  StrCpy $R0 "${FOLDER}"
  ${If} "${TOP}" != ""
    ${Do}
      RMDir "$R0"
      ${IfThen} $R0 == "${TOP}" ${|} ${ExitDo} ${|}
      ${GetParent} $R0 $R0
      ${IfThen} $R0 == "" ${|} ${ExitDo} ${|}
    ${Loop}
  ${EndIf}
!macroend

Function .onInit
  ; NSIS has put /D= into $INSTDIR before this runs (there is no InstallDir).
  StrCpy $GivenDir $INSTDIR
  UserInfo::GetAccountType
  Pop $0
  StrCpy $Admin 0
  ${If} $0 == "Admin"
    StrCpy $Admin 1
  ${EndIf}
  StrCpy $AllUsers $Admin
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/CurrentUser" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/AllUsers" $R1
  ${IfNot} ${Errors}
    ${If} $Admin != 1
      MessageBox MB_OK|MB_ICONSTOP "Installing for all users needs administrator rights." /SD IDOK
      SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
      Quit
    ${EndIf}
    StrCpy $AllUsers 1
  ${EndIf}
  Call ApplyScope
FunctionEnd

Function ScopePage
  !insertmacro MUI_HEADER_TEXT "Who uses ${PRODUCT}?" "Choose where hosts will find the plug-in."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 0 100% 24u "For all users: the system VST 3 folder (needs administrator rights)"
  Pop $ModeAll
  ${NSD_CreateRadioButton} 0 30u 100% 24u "Only for me: my own VST 3 folder"
  Pop $ModeUser
  ${If} $Admin != 1
    EnableWindow $ModeAll 0
  ${EndIf}
  ${If} $AllUsers == 1
    ${NSD_Check} $ModeAll
  ${Else}
    ${NSD_Check} $ModeUser
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ScopePageLeave
  ${NSD_GetState} $ModeAll $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers 1
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  Call ApplyScope
FunctionEnd

; An installed Calvorin of this scope: its uninstaller removes what it
; installed (waiting for it: _? keeps it in place), then its own file goes.
Function RemovePrevious
  ${If} $AllUsers == 1
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${Else}
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\uninstall.exe"
    DetailPrint "Removing the installed version from $0"
    ExecWait '"$0\uninstall.exe" /S _?=$0' $1
    ${If} $1 != 0
      MessageBox MB_OK|MB_ICONSTOP "The installed version could not be removed (exit code $1)." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    Delete "$0\uninstall.exe"
    RMDir "$0"
  ${EndIf}
FunctionEnd

Section "Calvorin" SecMain
  SectionIn RO
  Call RemovePrevious

  Push $Vst3Dir
  Call TopMissingFolder
  Pop $Vst3Top
  Push $INSTDIR
  Call TopMissingFolder
  Pop $InstTop
  CreateDirectory "$Vst3Dir"
  !insertmacro InstallBundle "$Vst3Dir"

  SetOutPath "$INSTDIR"
  File "${STAGE}/calvorin.exe"
  File "${STAGE}/README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Read Me.lnk" "$INSTDIR\README.txt"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  ${GetSize} "$INSTDIR" "/S=0K" $3 $4 $5
  ${GetSize} "$Vst3Dir\Calvorin.vst3" "/S=0K" $4 $5 $6
  IntOp $3 $3 + $4
  ${If} $AllUsers == 1
    !insertmacro WriteUninstallEntry HKLM
  ${Else}
    !insertmacro WriteUninstallEntry HKCU
  ${EndIf}
SectionEnd

; The uninstaller finds its scope by the entry that names its folder.
Function un.onInit
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $AllUsers 1
    SetShellVarContext all
    ReadRegStr $Vst3Dir HKLM "${UNINSTALL_KEY}" "VST3Folder"
    ReadRegStr $Vst3Top HKLM "${UNINSTALL_KEY}" "VST3FolderCreatedFrom"
    ReadRegStr $InstTop HKLM "${UNINSTALL_KEY}" "InstallFolderCreatedFrom"
  ${Else}
    StrCpy $AllUsers 0
    SetShellVarContext current
    ReadRegStr $Vst3Dir HKCU "${UNINSTALL_KEY}" "VST3Folder"
    ReadRegStr $Vst3Top HKCU "${UNINSTALL_KEY}" "VST3FolderCreatedFrom"
    ReadRegStr $InstTop HKCU "${UNINSTALL_KEY}" "InstallFolderCreatedFrom"
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; Only the files this version installed, and folders only when empty: a
  ; user's other plug-ins, and anything added beside ours, stay.
  ${If} $Vst3Dir != ""
    !insertmacro UninstallBundle "$Vst3Dir"
    !insertmacro RemoveMadeFolders "$Vst3Dir" "$Vst3Top"
  ${EndIf}

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Read Me.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  Delete "$INSTDIR\calvorin.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  !insertmacro RemoveMadeFolders "$INSTDIR" "$InstTop"

  ${If} $AllUsers == 1
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${Else}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
