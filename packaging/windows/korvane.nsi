; The Korvane installer for 64-bit Windows. Built by packaging/windows/package.sh, which passes
;   VERSION  the project version (x.y.z)
;   STAGE    the folder holding korvane.exe and README.txt as they are shipped
;   OUTFILE  the installer to write
;   ICON     (optional) the program's icon, used for the installer and the uninstaller
; Installs into "Program Files\Korvane" for all users, adds a Start-menu shortcut and registers
; the uninstaller in Add/Remove Programs. Both the installer and the uninstaller run silently
; with /S.
;
; Reproducible: nothing here reads the clock. File times are not stored (SetDateSave off), so
; installed files carry the time of installation; the stub's PE header comes as built with NSIS.

!ifndef VERSION | STAGE | OUTFILE
    !error "VERSION, STAGE and OUTFILE must be defined (-DVERSION=...)"
!endif

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
SetDateSave off
ManifestDPIAware true
RequestExecutionLevel admin

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane"
!define PUBLISHER "The Korvane authors"

Name "Korvane"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Korvane"
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "Korvane ${VERSION}"

!include "MUI2.nsh"

!ifdef ICON
    !define MUI_ICON "${ICON}"
    !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\korvane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Korvane"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Korvane"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Korvane ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PUBLISHER}"

Function .onInit
    SetShellVarContext all
    SetRegView 64
FunctionEnd

Function un.onInit
    SetShellVarContext all
    SetRegView 64
FunctionEnd

Section "Korvane"
    SetOutPath "$INSTDIR"
    File "${STAGE}\korvane.exe"
    File "${STAGE}\README.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortCut "$SMPROGRAMS\Korvane.lnk" "$INSTDIR\korvane.exe" "" "$INSTDIR\korvane.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Korvane"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\korvane.exe$\",0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize 0 $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\Korvane.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    Delete "$INSTDIR\korvane.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"
    ; Removed only when empty: files the user put there stay.
    RMDir "$INSTDIR"
SectionEnd
