; The Windows installer of Unwindle: per user, no administrator rights.
; Built by packaging/CMakeLists.txt:
;   makensis -DVERSION=1.0 -DEXE=unwindle.exe -DCOM=unwindle.com -DICON=unwindle.ico
;            -DLICENSE=LICENSE.txt -DOUTFILE=Unwindle-1.0-setup.exe unwindle.nsi
; 64-bit, because the program is; /S installs and uninstalls silently.

Target amd64-unicode
Unicode true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"

!ifndef VERSION | EXE | COM | ICON | LICENSE | OUTFILE
  !error "define VERSION, EXE, COM, ICON, LICENSE and OUTFILE"
!endif

!define PRODUCT "Unwindle"
!define PUBLISHER "KORVANTE"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Unwindle"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\KORVANTE\Unwindle"
; The running program's hidden window (backends/win32/single_instance.h): WM_CLOSE asks the
; program to exit at once, without its exit question, removing its tray icon.
!define INSTANCE_CLASS "Unwindle.Instance"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; An earlier installation's folder (InstallLocation) counts only when it holds our own uninstaller:
; see .onInit.
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "${PUBLISHER} ${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "MIT License, ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\unwindle.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(StartNow)"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!include "${__FILEDIR__}/languages.nsh"

; 1 once CloseProgram has closed a running Unwindle: the setup starts the new one at its end.
Var ClosedProgram

; Whether the folder on the stack holds our own uninstaller: an uninstall.exe whose version
; information names ${PRODUCT} by ${PUBLISHER} (an uninstaller carries its setup's). Replaces the
; folder with 1 or 0.
Function IsOurFolder
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $5 0
  StrCpy $0 "$0\uninstall.exe"
  ${If} ${FileExists} "$0"
    System::Call 'version::GetFileVersionInfoSizeW(w r0, *i 0) i .r1'
    ${If} $1 > 0
      System::Alloc $1
      Pop $2
      System::Call 'version::GetFileVersionInfoW(w r0, i 0, i r1, p r2) i .r3'
      ${If} $3 <> 0
        System::Call 'version::VerQueryValueW(p r2, w "\StringFileInfo\040904b0\CompanyName", \
          *p .r3, *i .r4) i .r1'
        ${If} $1 <> 0
          System::Call 'kernel32::lstrcpynW(w .r4, p r3, i 64) p'
          ${If} $4 S== "${PUBLISHER}"
            System::Call 'version::VerQueryValueW(p r2, w "\StringFileInfo\040904b0\ProductName", \
              *p .r3, *i .r4) i .r1'
            ${If} $1 <> 0
              System::Call 'kernel32::lstrcpynW(w .r4, p r3, i 64) p'
              ${If} $4 S== "${PRODUCT}"
                StrCpy $5 1
              ${EndIf}
            ${EndIf}
          ${EndIf}
        ${EndIf}
      ${EndIf}
      System::Free $2
    ${EndIf}
  ${EndIf}
  StrCpy $0 $5
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; The folder stored by an earlier installation is used only when it holds our own uninstaller (or
; is the default folder anyway): a location edited in the registry, or left by something else,
; never makes the setup write into a folder that is not Unwindle's. A folder given with /D wins.
Function .onInit
  StrCpy $ClosedProgram 0
  ${If} $INSTDIR != "$LOCALAPPDATA\Programs\${PRODUCT}"
    Return
  ${EndIf}
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
    Return
  ${EndIf}
  Push $0
  Call IsOurFolder
  Pop $1
  ${If} $1 == 1
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

; Starts the new program as the user, in this session. The setup runs as the user
; (RequestExecutionLevel user) and the program inherits its token; a setup someone started as
; administrator hands the start to the shell, which starts it unelevated.
Function StartProgram
  StrCpy $1 0
  System::Call 'kernel32::GetCurrentProcess() p .r0'
  System::Call 'advapi32::OpenProcessToken(p r0, i 8, *p .r2) i .r0'
  ${If} $0 <> 0
    ; TokenElevation (20): a DWORD, non-zero when elevated.
    System::Call 'advapi32::GetTokenInformation(p r2, i 20, *i .r1, i 4, *i .r3) i .r0'
    ${If} $0 = 0
      StrCpy $1 0
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r2)'
  ${EndIf}
  ${If} $1 <> 0
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\unwindle.exe"'
  ${Else}
    Exec '"$INSTDIR\unwindle.exe"'
  ${EndIf}
FunctionEnd

; Asks a running Unwindle to exit and waits until its window is gone; when it does not go (it
; declines while a prompt or dialog of it waits for an answer), says that it must be closed
; (Retry / Cancel; silent: Cancel) and quits with exit code 2, having changed nothing.
!macro CLOSE_PROGRAM un
Function ${un}CloseProgram
  Push $0
  Push $1
  ${Do}
    StrCpy $1 0
    ${Do}
      FindWindow $0 "${INSTANCE_CLASS}"
      ${If} $0 = 0
        Pop $1
        Pop $0
        Return
      ${EndIf}
      StrCpy $ClosedProgram 1
      ; Repeated: a program still starting up follows the request only once it is up.
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
      Sleep 250
      IntOp $1 $1 + 1
    ${LoopUntil} $1 >= 60
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" \
      /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_PROGRAM ""
!insertmacro CLOSE_PROGRAM "un."

Section "Unwindle"
  SetOutPath "$INSTDIR"
  Call CloseProgram

  ; The new program goes in beside the old one first and replaces it only once it is whole, so an
  ; interrupted or failed setup never leaves a half-written unwindle.exe.
  File "/oname=unwindle.exe.new" "${EXE}"
  StrCpy $1 0
  ${Do}
    ClearErrors
    Delete "$INSTDIR\unwindle.exe"
    ${IfNot} ${Errors}
      ${Break}
    ${EndIf}
    ; The program's window goes a moment before its file is free.
    IntOp $1 $1 + 1
    ${If} $1 >= 40
      Delete "$INSTDIR\unwindle.exe.new"
      MessageBox MB_ICONSTOP "$(InUse)" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    Sleep 250
  ${Loop}
  Rename "$INSTDIR\unwindle.exe.new" "$INSTDIR\unwindle.exe"
  ; The command line: "unwindle /status" in a console finds it before the .exe.
  File "/oname=unwindle.com" "${COM}"

  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\unwindle.exe" "" \
    "$INSTDIR\unwindle.exe" 0 SW_SHOWNORMAL "" "${PRODUCT} break reminder"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\unwindle.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  ; The program writes its settings and its startup entry itself, at its first start.

  ; An update leaves the reminder running: the program it closed starts again, silent or not.
  ${If} $ClosedProgram = 1
    Call StartProgram
  ${EndIf}
SectionEnd

; Only what the setup put there goes, by name, from the uninstaller's own folder; the folder itself
; only when nothing else is left in it.
Section "Uninstall"
  Call un.CloseProgram
  Delete "$INSTDIR\unwindle.exe"
  Delete "$INSTDIR\unwindle.com"
  Delete "$INSTDIR\unwindle.exe.new"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegValue HKCU "${RUN_KEY}" "Unwindle"
  ; After the program has gone, which could otherwise write them again on its way out.
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON1 "$(KeepSettings)" \
    /SD IDYES IDYES keep
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${PUBLISHER}"
  ; The history's file and the one a crash may have left beside it; the folders only when empty.
  Delete "$LOCALAPPDATA\${PUBLISHER}\${PRODUCT}\history.tsv"
  Delete "$LOCALAPPDATA\${PUBLISHER}\${PRODUCT}\history.tsv.new"
  RMDir "$LOCALAPPDATA\${PUBLISHER}\${PRODUCT}"
  RMDir "$LOCALAPPDATA\${PUBLISHER}"
  keep:
SectionEnd
