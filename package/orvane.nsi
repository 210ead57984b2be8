; Orvane's installer. Built by package/make_package.sh (./orv package) with
;   makensis -DVERSION=1.2.3 -DARCH=x86|amd64 -DSTAGE=<folder> -DICON=<file> -DOUTFILE=<file>
; STAGE holds what the zip holds: the folders Orvane-32-bit and Orvane-64-bit,
; each with orvane.exe, help\ and ReadMe.txt. On 64-bit Windows the 64-bit
; orvane.exe is installed, elsewhere the 32-bit one, both as orvane.exe. ARCH is
; the installer's own processor: x86 for the download, which runs everywhere;
; amd64 only for testing where no 32-bit code runs.
;
; It installs for the user who runs it, with no administrator rights: into
; %LOCALAPPDATA%\Programs\Orvane, where Orvane may write its files beside
; itself, listed under HKEY_CURRENT_USER. Over an older installation for all
; users (under Program Files), it carries that user's data over.
;
; The uninstaller removes what this installer put in place and leaves what
; Orvane wrote beside itself for its user (settings.ini, autostart.dat,
; processes.dat, their side files autostart-files.dat and processes-files.dat,
; and the folder "removed") unless "Remove my data" is ticked, or /REMOVEDATA
; is given with /S.

Unicode true
!if "${ARCH}" == "amd64"
    Target amd64-unicode
!else if "${ARCH}" == "x86"
    Target x86-unicode
!else
    !error "ARCH must be x86 or amd64, not ${ARCH}"
!endif

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include x64.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Orvane ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Orvane"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
; Run as the user: the finish page then starts Orvane as the user too.
RequestExecutionLevel user
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
BrandingText "Orvane ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Orvane"
VIAddVersionKey /LANG=1033 "CompanyName" "Orvane"
VIAddVersionKey /LANG=1033 "FileDescription" "Orvane ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}.0"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) the Orvane team"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\orvane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Orvane"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\ReadMe.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "Orvane's program files are removed. Tick $\"Remove my data$\" to remove also your settings, accepted lists and the copies of removed entries kept beside it."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Function .onInit
    SetShellVarContext current
FunctionEnd

; Copies the data file or folder NAME from an older installation into
; $INSTDIR when $INSTDIR lacks it: whole into the folder $R3 first, then
; renamed into place. $R0 is the older folder, $R1 its VirtualStore copy: the
; files the user's Orvane wrote there after its first run, which Windows
; showed it in place of the folder's own, so they win.
!macro CarryOver NAME
    ${IfNot} ${FileExists} "$INSTDIR\${NAME}"
        ${If} ${FileExists} "$R0\${NAME}\*.*"
        ${OrIf} ${FileExists} "$R1\${NAME}\*.*"
            CreateDirectory "$R3\${NAME}"
            CopyFiles /SILENT "$R0\${NAME}\*.*" "$R3\${NAME}"
            CopyFiles /SILENT "$R1\${NAME}\*.*" "$R3\${NAME}"
        ${ElseIf} ${FileExists} "$R1\${NAME}"
            CopyFiles /SILENT "$R1\${NAME}" "$R3"
        ${ElseIf} ${FileExists} "$R0\${NAME}"
            CopyFiles /SILENT "$R0\${NAME}" "$R3"
        ${EndIf}
        ${If} ${FileExists} "$R3\${NAME}"
            ClearErrors
            Rename "$R3\${NAME}" "$INSTDIR\${NAME}"
            ${If} ${Errors}
                DetailPrint "Could not carry ${NAME} over from $R0"
            ${EndIf}
        ${EndIf}
    ${EndIf}
!macroend

; An installation for all users, by an older installer, is found by its
; entry in Programs and Features: the 32-bit installer wrote it in the 32-bit
; view of the registry.
Function CarryOverOlderData
    SetRegView 32
    ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R0 == ""
    ${AndIf} ${RunningX64}
        SetRegView 64
        ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${EndIf}
    SetRegView default
    ${If} $R0 == ""
    ${OrIf} $R0 == "$INSTDIR"
        Return
    ${EndIf}
    ; C:\Program Files\Orvane -> %LOCALAPPDATA%\VirtualStore\Program Files\Orvane
    StrCpy $R1 $R0
    StrCpy $R2 $R0 2 1
    ${If} $R2 == ":\"
        StrCpy $R2 $R0 "" 3
        StrCpy $R1 "$LOCALAPPDATA\VirtualStore\$R2"
    ${EndIf}
    DetailPrint "Carrying your data over from $R0"
    StrCpy $R3 "$INSTDIR\carrying.tmp"
    RMDir /r $R3
    CreateDirectory $R3
    !insertmacro CarryOver "settings.ini"
    !insertmacro CarryOver "autostart.dat"
    !insertmacro CarryOver "processes.dat"
    !insertmacro CarryOver "autostart-files.dat"
    !insertmacro CarryOver "processes-files.dat"
    !insertmacro CarryOver "removed"
    RMDir /r $R3
    ; Orvane's own autostart value moves to this copy with the data.
    ReadRegStr $R2 HKCU "${RUN_KEY}" "ORV"
    ${If} $R2 == "$R0\orvane.exe"
        WriteRegStr HKCU "${RUN_KEY}" "ORV" "$INSTDIR\orvane.exe"
    ${EndIf}
FunctionEnd

Section "Orvane" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    ; A 64-bit installer runs on 64-bit Windows only.
    !if ${NSIS_PTR_SIZE} > 4
        File "/oname=orvane.exe" "${STAGE}\Orvane-64-bit\orvane.exe"
    !else
        ${If} ${RunningX64}
            File "/oname=orvane.exe" "${STAGE}\Orvane-64-bit\orvane.exe"
        ${Else}
            File "/oname=orvane.exe" "${STAGE}\Orvane-32-bit\orvane.exe"
        ${EndIf}
    !endif
    ; The two folders' help and ReadMe.txt are the same (make_package.sh).
    File "${STAGE}\Orvane-32-bit\ReadMe.txt"
    SetOutPath "$INSTDIR\help"
    File /r "${STAGE}\Orvane-32-bit\help\*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    Call CarryOverOlderData

    CreateShortcut "$SMPROGRAMS\Orvane.lnk" "$INSTDIR\orvane.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Orvane"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Orvane"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\orvane.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "un.Orvane" SecUninstallProgram
    SectionIn RO
    ; A running Orvane holds its exe: nothing is removed until it has ended.
  retry:
    ClearErrors
    Delete "$INSTDIR\orvane.exe"
    IfErrors 0 removed
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Orvane is still running. Choose Exit in its tray menu, then Retry." \
        /SD IDCANCEL IDRETRY retry
    Abort "Orvane is still running: nothing was removed."
  removed:
    Delete "$INSTDIR\ReadMe.txt"
    RMDir /r "$INSTDIR\help"
    Delete "$INSTDIR\uninstall.exe"

    Delete "$SMPROGRAMS\Orvane.lnk"

    ; Orvane starts itself with Windows through its own value in the Run key;
    ; it goes when it names the program removed here.
    ReadRegStr $0 HKCU "${RUN_KEY}" "ORV"
    ${If} $0 == "$INSTDIR\orvane.exe"
        DeleteRegValue HKCU "${RUN_KEY}" "ORV"
    ${EndIf}

    ; The entry in Programs and Features, when it is this installation's.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == "$INSTDIR"
        DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${EndIf}
SectionEnd

Section /o "un.Remove my data" SecRemoveData
    Delete "$INSTDIR\settings.ini"
    Delete "$INSTDIR\autostart.dat"
    Delete "$INSTDIR\processes.dat"
    Delete "$INSTDIR\autostart-files.dat"
    Delete "$INSTDIR\processes-files.dat"
    RMDir /r "$INSTDIR\removed"
SectionEnd

Section "-un.Folder"
    ; Only an empty folder: the user may have chosen one that holds more.
    RMDir "$INSTDIR"
SectionEnd

Function un.onInit
    SetShellVarContext current
    ; /REMOVEDATA ticks "Remove my data", for a silent uninstall.
    ${un.GetParameters} $0
    ClearErrors
    ${un.GetOptions} $0 "/REMOVEDATA" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecRemoveData}
    ${EndIf}
FunctionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecUninstallProgram} "orvane.exe, its help, this uninstaller and the Start menu entry."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecRemoveData} "settings.ini, autostart.dat, processes.dat, their side files autostart-files.dat and processes-files.dat, and the folder $\"removed$\" beside orvane.exe."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
