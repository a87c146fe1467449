; The Calorix setup: a per-user install that needs no administrator rights.
;
; Made by scripts/make-installer.sh, which passes:
;   VERSION       the version, "1.0.0"
;   CALORIX64     calorix.exe for 64-bit Windows
;   CALORIX32     calorix.exe for 32-bit Windows
;   LICENSE       the license, with Windows line ends
;   ICON          Calorix's own icon, for the setup and the uninstaller
;   OUTFILE       the setup program to write
;
; The same inputs give the same bytes: no file times are stored and nothing
; of the moment or the machine is put in.

Unicode true
SetCompressor /SOLID lzma
SetDateSave off
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include WinVer.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!macro REQUIRE name
  !ifndef ${name}
    !error "define ${name} with /D${name}=..."
  !endif
!macroend
!insertmacro REQUIRE VERSION
!insertmacro REQUIRE CALORIX64
!insertmacro REQUIRE CALORIX32
!insertmacro REQUIRE LICENSE
!insertmacro REQUIRE ICON
!insertmacro REQUIRE OUTFILE

!define PRODUCT "Calorix"
!define AUTHORS "the Calorix authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Calorix"
!define SETTINGS_KEY "Software\Calorix"
!define UNINSTALLER "uninstall.exe"
; Calorix's main window, hidden; a message box of Calorix has the same
; title, so the search names the class too.
!define MAIN_WINDOW_CLASS "CalorixForm"
!define MAIN_WINDOW_TITLE "Calorix"
; How long Calorix gets to end after it is asked to: its exit sequence also
; closes the hardware monitor. Checked every quarter of a second.
!define END_WAIT_STEPS 60
!define END_WAIT_STEP_MS 250

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An earlier install is updated where it is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails hide
ShowUninstDetails hide

; The four numbers Windows shows, as calorix.exe's own version resource has them.
!getdllversion "${CALORIX64}" PROGRAM_VERSION_
VIProductVersion "${PROGRAM_VERSION_1}.${PROGRAM_VERSION_2}.${PROGRAM_VERSION_3}.${PROGRAM_VERSION_4}"
VIFileVersion "${PROGRAM_VERSION_1}.${PROGRAM_VERSION_2}.${PROGRAM_VERSION_3}.${PROGRAM_VERSION_4}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "${AUTHORS}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) ${AUTHORS}"
VIAddVersionKey /LANG=0 "OriginalFilename" "Calorix-${VERSION}-setup.exe"

Var DataFolder   ; where Calorix runs and writes its records
Var Upgrading    ; 1 when an earlier install was found
Var RemoveSettings

!define MUI_ABORTWARNING
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEPAGE_TEXT "Setup will install Calorix ${VERSION} for you: into your own folders, \
with no administrator rights needed.$\r$\n$\r$\nCalorix keeps its records in Documents\Calorix. \
When Calorix is running, Setup ends it before replacing the program; your settings and \
records stay as they are.$\r$\n$\r$\n$_CLICK"
!define MUI_LICENSEPAGE_TEXT_TOP "Calorix is free software under the MIT license:"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "$_CLICK"
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Calorix now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartCalorix

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipWhenUpgrading
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Ends a running Calorix the way its own Close does: WM_CLOSE to its main
; window runs its exit sequence, which saves its settings and closes the
; monitor. Waits until the window is gone and calorix.exe in $INSTDIR may be
; written. When Calorix does not end, the user may retry or cancel; a silent
; run cancels. Leaves "ended" or "running" on the stack; uses $0 to $2.
!macro DEFINE_END_CALORIX prefix
Function ${prefix}EndCalorix
  retry:
  FindWindow $0 "${MAIN_WINDOW_CLASS}" "${MAIN_WINDOW_TITLE}"
  ${If} $0 <> 0
    DetailPrint "Ending Calorix..."
    System::Call "user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)"
  ${EndIf}
  StrCpy $1 0
  ${Do}
    StrCpy $2 "ended"
    FindWindow $0 "${MAIN_WINDOW_CLASS}" "${MAIN_WINDOW_TITLE}"
    ${If} $0 <> 0
      StrCpy $2 "running"
    ${ElseIf} ${FileExists} "$INSTDIR\calorix.exe"
      ; A program that still runs cannot be opened for writing.
      ClearErrors
      FileOpen $0 "$INSTDIR\calorix.exe" a
      ${If} ${Errors}
        StrCpy $2 "running"
      ${Else}
        FileClose $0
      ${EndIf}
    ${EndIf}
    ${If} $2 == "ended"
    ${OrIf} $1 >= ${END_WAIT_STEPS}
      ${Break}
    ${EndIf}
    Sleep ${END_WAIT_STEP_MS}
    IntOp $1 $1 + 1
  ${Loop}
  ${If} $2 == "running"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Calorix is still running and did not end when asked to.$\r$\n$\r$\nEnd it from its tray menu (Close HWM), then choose Retry." \
      /SD IDCANCEL IDRETRY retry
  ${EndIf}
  Push $2
FunctionEnd
!macroend
!insertmacro DEFINE_END_CALORIX ""
!insertmacro DEFINE_END_CALORIX "un."

Function StartCalorix
  SetOutPath "$DataFolder"
  Exec '"$INSTDIR\calorix.exe"'
FunctionEnd

Section "Calorix" SecProgram
  SectionIn RO
  Call EndCalorix
  Pop $0
  ${If} $0 == "running"
    DetailPrint "Calorix is still running: nothing was changed."
    SetErrorLevel 2
    Abort
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "/oname=LICENSE" "${LICENSE}"
SectionEnd

; calorix.exe for 64-bit or for 32-bit Windows: .onInit leaves the one for
; this Windows selected, so the space Setup asks for is that of one program.
Section "-calorix.exe for 64-bit Windows" SecProgram64
  SetOutPath "$INSTDIR"
  File "/oname=calorix.exe" "${CALORIX64}"
SectionEnd

Section "-calorix.exe for 32-bit Windows" SecProgram32
  SetOutPath "$INSTDIR"
  File "/oname=calorix.exe" "${CALORIX32}"
SectionEnd

Section "-shortcut and uninstall entry"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; Calorix writes its record file and shutdown log into the folder it is
  ; started in: the shortcuts start it in the data folder (CreateShortcut
  ; takes the output folder as the shortcut's working folder).
  SetOutPath "$DataFolder"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\calorix.exe" "" "$INSTDIR\calorix.exe" 0
  ; The log-on shortcut is made again below when that component is chosen.
  Delete "$SMSTARTUP\${PRODUCT}.lnk"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${AUTHORS}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\calorix.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start Calorix when I log on" SecStartup
  SetOutPath "$DataFolder"
  CreateShortcut "$SMSTARTUP\${PRODUCT}.lnk" "$INSTDIR\calorix.exe" "" "$INSTDIR\calorix.exe" 0
SectionEnd

; The oldest Windows Calorix runs on: Vista for the 64-bit program, XP with
; Service Pack 3 for the 32-bit one. An older Windows would not even start
; it, so the setup says so and changes nothing.
Function RefuseOlderWindows
  ${If} ${RunningX64}
  ${AndIfNot} ${AtLeastWinVista}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs Windows Vista or later on 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  ${IfNot} ${AtLeastWinXP}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs Windows XP with Service Pack 3 or later." /SD IDOK
    Abort
  ${EndIf}
  ${If} ${IsWinXP}
  ${AndIfNot} ${AtLeastServicePack} 3
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs Windows XP with Service Pack 3 or later." /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

Function .onInit
  Call RefuseOlderWindows
  ${If} ${RunningX64}
    SetRegView 64
    !insertmacro UnselectSection ${SecProgram32}
  ${Else}
    !insertmacro UnselectSection ${SecProgram64}
  ${EndIf}
  StrCpy $DataFolder "$DOCUMENTS\${PRODUCT}"
  StrCpy $Upgrading 0
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $Upgrading 1
    ; The earlier choice about starting at log-on stands: the shortcut is
    ; there or the user did without it (or removed it since).
    ${IfNot} ${FileExists} "$SMSTARTUP\${PRODUCT}.lnk"
      !insertmacro UnselectSection ${SecStartup}
    ${EndIf}
  ${EndIf}
FunctionEnd

; The directory page is not shown on an update: the install stays where it is.
Function SkipWhenUpgrading
  ${If} $Upgrading = 1
    Abort
  ${EndIf}
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  StrCpy $DataFolder "$DOCUMENTS\${PRODUCT}"
FunctionEnd

Section "Uninstall"
  StrCpy $RemoveSettings 0
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Remove Calorix's settings too?$\r$\n$\r$\nChoose No to keep them for a later install." \
    /SD IDNO IDNO +2
  StrCpy $RemoveSettings 1

  Call un.EndCalorix
  Pop $0
  ${If} $0 == "running"
    DetailPrint "Calorix is still running: nothing was removed."
    SetErrorLevel 2
    Abort
  ${EndIf}

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$SMSTARTUP\${PRODUCT}.lnk"
  Delete "$INSTDIR\calorix.exe"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  ; The records and the shutdown log are the user's: the data folder goes
  ; only when it is empty.
  RMDir "$DataFolder"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; After Calorix has ended, as its exit sequence writes settings.
  ${If} $RemoveSettings = 1
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  ${EndIf}
SectionEnd
