; Orvane's installer. Built by package/make_package.sh (./orv package) with
;   makensis -DVERSION=1.2.3 -DARCH=x86|amd64 -DSTAGE=<folder> -DICON=<file> -DOUTFILE=<file>
; STAGE holds what the zip holds: orvane.exe, help\ and ReadMe.txt. The same
; script makes the 64-bit installer around the 64-bit build (ARCH=amd64).
;
; The uninstaller removes what this installer put in place and leaves what
; Orvane wrote beside itself for its user (settings.ini, autostart.dat,
; processes.dat and the folder "removed") unless "Remove my data" is ticked,
; or /REMOVEDATA is given with /S.

Unicode true
!if "${ARCH}" == "amd64"
    Target amd64-unicode
    !define PROGRAM_FILES "$PROGRAMFILES64"
!else if "${ARCH}" == "x86"
    Target x86-unicode
    !define PROGRAM_FILES "$PROGRAMFILES"
!else
    !error "ARCH must be x86 or amd64, not ${ARCH}"
!endif

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Orvane ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\Orvane"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
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
    !if "${ARCH}" == "amd64"
        SetRegView 64
    !endif
FunctionEnd

Section "Orvane" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "${STAGE}\orvane.exe"
    File "${STAGE}\ReadMe.txt"
    SetOutPath "$INSTDIR\help"
    File /r "${STAGE}\help\*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    SetShellVarContext all
    CreateShortcut "$SMPROGRAMS\Orvane.lnk" "$INSTDIR\orvane.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Orvane"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Orvane"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\orvane.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
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

    SetShellVarContext all
    Delete "$SMPROGRAMS\Orvane.lnk"

    ; Orvane starts itself with Windows through its own value in the Run key;
    ; it goes when it names the program removed here.
    ReadRegStr $0 HKCU "${RUN_KEY}" "ORV"
    ${If} $0 == "$INSTDIR\orvane.exe"
        DeleteRegValue HKCU "${RUN_KEY}" "ORV"
    ${EndIf}

    ; The entry in Programs and Features, when it is this installation's.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == "$INSTDIR"
        DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${EndIf}
SectionEnd

Section /o "un.Remove my data" SecRemoveData
    Delete "$INSTDIR\settings.ini"
    Delete "$INSTDIR\autostart.dat"
    Delete "$INSTDIR\processes.dat"
    RMDir /r "$INSTDIR\removed"
SectionEnd

Section "-un.Folder"
    ; Only an empty folder: the user may have chosen one that holds more.
    RMDir "$INSTDIR"
SectionEnd

Function un.onInit
    !if "${ARCH}" == "amd64"
        SetRegView 64
    !endif
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
    !insertmacro MUI_DESCRIPTION_TEXT ${SecRemoveData} "settings.ini, autostart.dat, processes.dat and the folder $\"removed$\" beside orvane.exe."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
