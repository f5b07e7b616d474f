; The Korvane installer for 64-bit Windows. Built by packaging/windows/package.sh, which passes
;   VERSION   the project version (x.y.z)
;   STAGE     the folder holding korvane.exe and README.txt as they are shipped
;   OUTFILE   the installer to write
;   IDENTITY  identity.nsh as CMake made it: product name, publisher, copyright, running mark
;   ICON      (optional) the program's icon, used for the installer and the uninstaller
;   SIGN      (optional) a command that signs a program in place: SIGN FILE NAME DESCRIPTION;
;             the uninstaller is signed with it before it is packed into the installer
;
; Installs Korvane for the current user or for all users of the computer:
;   current user  into the user's programs folder (%LOCALAPPDATA%\Programs\Korvane), the user's
;                 Start menu and an uninstall entry under HKCU; needs no administrator rights
;   all users     into Program Files\Korvane, the Start menu of all users and an uninstall
;                 entry under HKLM; needs administrator rights
; The installer itself runs with the user's own rights. Installing for all users without
; administrator rights, it starts itself again with them (Windows asks the user) to do the
; installing, waits for that run and ends with its exit code; its Finish page, which can start
; Korvane, stays with the user's rights. The uninstaller does the same for an all-users
; installation.
;
; Which one, unless /CurrentUser or /AllUsers says: an installer already running with
; administrator rights installs for all users; otherwise for the current user. An earlier
; installation is upgraded in place: one for the current user only stays so, and one for all
; users (when there is none for the current user) is the default for anyone who can get
; administrator rights. Interactively a page offers both, the default chosen.
;
; Neither the installer nor the uninstaller changes anything while Korvane runs: they find it
; by the mark it holds (a named mutex, in the user's session for a per-user installation, in
; any session for an all-users one) or by its program file being in use, and ask the user to
; close it. Exit codes, of both, silent (/S) or not:
;   0  done
;   1  cancelled by the user
;   2  failed (a file could not be written or removed; the uninstaller removes nothing else
;      when korvane.exe cannot be removed); also: /CurrentUser and /AllUsers both given
;   3  Korvane is running: nothing was changed
;   4  for all users, and administrator rights were not given: nothing was changed
;   5  for all users, where Korvane's Windows Installer package (the MSI) has installed it for
;      the computer: the two would share one folder, so nothing was changed
; The uninstaller is registered to run in place (_?=), so that whoever starts it waits for it
; and gets its exit code; when it ends, everything is gone but its own file and the folder,
; which a copy of it removes moments later.
;
; Reproducible: nothing here reads the clock. File times are not stored (SetDateSave off), so
; installed files carry the time of installation; the stub's PE header comes as built with NSIS.

!ifndef VERSION | STAGE | OUTFILE | IDENTITY
    !error "VERSION, STAGE, OUTFILE and IDENTITY must be defined (-DVERSION=...)"
!endif
!include "${IDENTITY}"

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
SetDateSave off
ManifestDPIAware true
RequestExecutionLevel user

!ifdef SIGN
    !uninstfinalize '"${SIGN}" "%1" uninstall.exe "${PRODUCT_NAME}"' = 0
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane"
!define EXIT_FAILED 2
!define EXIT_RUNNING 3
!define EXIT_NO_RIGHTS 4
!define EXIT_MSI_INSTALLED 5
; GetTokenInformation's classes and a limited token's elevation type.
!define TOKEN_ELEVATION_TYPE 18
!define TOKEN_ELEVATION 20
!define ELEVATION_TYPE_DEFAULT 1
!define ELEVATION_TYPE_FULL 2
!define ELEVATION_TYPE_LIMITED 3
!define SYNCHRONIZE 0x00100000
!define ERROR_ACCESS_DENIED 5
; ShellExecuteExW's SHELLEXECUTEINFOW on x86-64 (112 bytes, padding written out) with
; SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC.
!define SEE_MASK 0x140
!define SHELLEXECUTEINFO_FIELDS "i, i, p, p, p, p, p, i, i, p, p, p, p, i, i, p, p"

Name "${PRODUCT_NAME}"
OutFile "${OUTFILE}"
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${PRODUCT_NAME} ${VERSION}"

!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "nsDialogs.nsh"
!include "MUI2.nsh"

!ifdef ICON
    !define MUI_ICON "${ICON}"
    !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT_NAME}"
!define MUI_FINISHPAGE_RUN_FUNCTION StartKorvane

!insertmacro MUI_PAGE_WELCOME
Page custom UsersPage UsersPageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT_NAME} ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${COPYRIGHT}"

Var Mode            ; AllUsers or CurrentUser
Var Elevated        ; 1: this process has administrator rights
Var ElevationType   ; its token's elevation type: 3 when Windows can raise it on a prompt
Var Params          ; the command line's parameters (NSIS has taken /D= and _?= off)
Var DirGiven        ; 1: the folder was given with /D=, and stays whatever the mode
Var AllUsersDir     ; where the earlier installations are, or empty
Var CurrentUserDir
Var InUse           ; 1: Korvane is running
Var UsersRadioAll

; What the installer and the uninstaller share, once for each (the uninstaller's functions
; have to be named un.*).
!macro SHARED_FUNCTIONS un

; $Elevated and $ElevationType of this process's token. Without UAC an administrator's token is
; of the default type, and the account type tells.
Function ${un}ReadRights
    StrCpy $Elevated 0
    StrCpy $ElevationType ${ELEVATION_TYPE_DEFAULT}
    System::Call 'kernel32::GetCurrentProcess() p .r0'
    System::Call 'advapi32::OpenProcessToken(p r0, i 8, *p .r1) i .r2'
    ${If} $2 <> 0
        System::Call 'advapi32::GetTokenInformation(p r1, i ${TOKEN_ELEVATION_TYPE}, *i .r3, i 4, *i .r4) i .r2'
        ${If} $2 <> 0
            StrCpy $ElevationType $3
        ${EndIf}
        System::Call 'advapi32::GetTokenInformation(p r1, i ${TOKEN_ELEVATION}, *i .r3, i 4, *i .r4) i .r2'
        ${If} $2 <> 0
        ${AndIf} $3 <> 0
            StrCpy $Elevated 1
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
    ${If} $Elevated = 0
    ${AndIf} $ElevationType = ${ELEVATION_TYPE_DEFAULT}
        UserInfo::GetAccountType
        Pop $0
        ${If} $0 == "Admin"
            StrCpy $Elevated 1
        ${EndIf}
    ${EndIf}
FunctionEnd

; The shell folders and registry root of $Mode.
Function ${un}UseModeContext
    ${If} $Mode == "AllUsers"
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
FunctionEnd

; $InUse: 1 when Korvane is running. Its mark in the user's session, for an all-users
; installation in any session (another user's mark cannot be opened, but is there); then the
; installed program file, which Windows does not let anyone write while it runs (an older
; Korvane holds no mark).
Function ${un}FindKorvane
    StrCpy $InUse 0
    ${If} $Mode == "AllUsers"
        StrCpy $0 "Global\${RUNNING_MARK}"
    ${Else}
        StrCpy $0 "Local\${RUNNING_MARK}"
    ${EndIf}
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w r0) p .r1 ?e'
    Pop $2
    ${If} $1 != 0
        System::Call 'kernel32::CloseHandle(p r1)'
        StrCpy $InUse 1
    ${ElseIf} $2 = ${ERROR_ACCESS_DENIED}
        StrCpy $InUse 1
    ${ElseIf} ${FileExists} "$INSTDIR\korvane.exe"
        ClearErrors
        FileOpen $1 "$INSTDIR\korvane.exe" a
        ${If} ${Errors}
            StrCpy $InUse 1
        ${Else}
            FileClose $1
        ${EndIf}
    ${EndIf}
FunctionEnd

; Asks the user to close Korvane for as long as it runs. Cancelled, or silent, the program
; ends here with exit code 3, having changed nothing.
Function ${un}WaitForKorvaneClosed
    retry:
    Call ${un}FindKorvane
    ${If} $InUse = 1
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "${PRODUCT_NAME} is running. Close every ${PRODUCT_NAME} window, then choose Retry.$\n$\nCancel leaves everything as it is." \
            /SD IDCANCEL IDRETRY retry
        SetErrorLevel ${EXIT_RUNNING}
        Quit
    ${EndIf}
FunctionEnd

; Runs this program again with administrator rights, Windows asking the user for them, with
; the parameters in $0; waits for it and leaves its exit code in $0, or 4 when it could not be
; started (the user refused). Its current folder is the temporary one, so that it can remove
; the installation folder.
Function ${un}RunElevated
    System::Call '*(i 112, i ${SEE_MASK}, p $HWNDPARENT, w "runas", w "$EXEPATH", w r0, w "$TEMP", i 1, i 0, p 0, p 0, p 0, p 0, i 0, i 0, p 0, p 0) p .r1'
    System::Call 'shell32::ShellExecuteExW(p r1) i .r2'
    StrCpy $0 ${EXIT_NO_RIGHTS}
    ${If} $2 <> 0
        System::Call '*$1(${SHELLEXECUTEINFO_FIELDS} .r3)'
        ${If} $3 != 0
            System::Call 'kernel32::WaitForSingleObject(p r3, i -1)'
            System::Call 'kernel32::GetExitCodeProcess(p r3, *i .r0)'
            System::Call 'kernel32::CloseHandle(p r3)'
        ${EndIf}
    ${EndIf}
    System::Free $1
FunctionEnd

!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

; The folder to install into for $Mode: an earlier installation's, else the default; kept when
; given with /D=.
Function UseModeFolder
    Call UseModeContext
    ${If} $DirGiven = 1
        Return
    ${EndIf}
    ${If} $Mode == "AllUsers"
        StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT_NAME}"
        ${If} $AllUsersDir != ""
            StrCpy $INSTDIR $AllUsersDir
        ${EndIf}
    ${Else}
        GetKnownFolderPath $0 {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB} ; FOLDERID_UserProgramFiles
        ${If} $0 == ""
            StrCpy $0 "$LOCALAPPDATA\Programs"
        ${EndIf}
        StrCpy $INSTDIR "$0\${PRODUCT_NAME}"
        ${If} $CurrentUserDir != ""
            StrCpy $INSTDIR $CurrentUserDir
        ${EndIf}
    ${EndIf}
FunctionEnd

; Installs for all users from a run without administrator rights: the same installer, silent,
; with them; its exit code in $0. A run that was started so and still has no rights gives up
; with 4 instead of starting yet another.
Function InstallElevated
    ClearErrors
    ${GetOptions} $Params "/Elevated" $0
    ${IfNot} ${Errors}
        StrCpy $0 ${EXIT_NO_RIGHTS}
        Return
    ${EndIf}
    StrCpy $0 "/S /AllUsers /Elevated /D=$INSTDIR"
    Call RunElevated
FunctionEnd

; An installation for all users would share its folder with one by Korvane's Windows Installer
; package, which remembers its folder under HKLM\Software\Korvane: the installer refuses, as the
; package refuses beside an installation of this installer, and ends here.
Function RefuseBesideMsi
    ${If} $Mode != "AllUsers"
        Return
    ${EndIf}
    ReadRegStr $0 HKLM "Software\${PRODUCT_NAME}" "InstallFolder"
    ${If} $0 != ""
        MessageBox MB_OK|MB_ICONSTOP "${PRODUCT_NAME} is installed for all users by its Windows Installer package (MSI), in $0. Remove that installation first (Apps & features), or update it with a newer MSI. Nothing was changed." /SD IDOK
        SetErrorLevel ${EXIT_MSI_INSTALLED}
        Quit
    ${EndIf}
FunctionEnd

Function .onInit
    SetRegView 64
    StrCpy $DirGiven 0
    ${If} $INSTDIR != ""
        StrCpy $DirGiven 1
    ${EndIf}
    Call ReadRights
    ReadRegStr $AllUsersDir HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $CurrentUserDir HKCU "${UNINSTALL_KEY}" "InstallLocation"

    StrCpy $Mode "CurrentUser"
    ${If} $Elevated = 1
        ${If} $AllUsersDir != ""
        ${OrIf} $CurrentUserDir == ""
            StrCpy $Mode "AllUsers"
        ${EndIf}
    ${ElseIf} $ElevationType = ${ELEVATION_TYPE_LIMITED}
    ${AndIf} $AllUsersDir != ""
    ${AndIf} $CurrentUserDir == ""
        StrCpy $Mode "AllUsers"
    ${EndIf}

    ${GetParameters} $Params
    ClearErrors
    ${GetOptions} $Params "/AllUsers" $0
    ${IfNot} ${Errors}
        StrCpy $Mode "AllUsers"
        ClearErrors
        ${GetOptions} $Params "/CurrentUser" $0
        ${IfNot} ${Errors}
            MessageBox MB_OK|MB_ICONSTOP "Give /CurrentUser or /AllUsers, not both." /SD IDOK
            SetErrorLevel ${EXIT_FAILED}
            Quit
        ${EndIf}
    ${EndIf}
    ClearErrors
    ${GetOptions} $Params "/CurrentUser" $0
    ${IfNot} ${Errors}
        StrCpy $Mode "CurrentUser"
    ${EndIf}

    Call UseModeFolder
    Call WaitForKorvaneClosed
    ${If} ${Silent}
        Call RefuseBesideMsi
    ${EndIf}
    ${If} ${Silent}
    ${AndIf} $Mode == "AllUsers"
    ${AndIf} $Elevated = 0
        Call InstallElevated
        SetErrorLevel $0
        Quit
    ${EndIf}
FunctionEnd

Function UsersPage
    !insertmacro MUI_HEADER_TEXT "Choose Users" "Choose for whom to install ${PRODUCT_NAME}."
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 12u "Install ${PRODUCT_NAME}:"
    Pop $0
    ${NSD_CreateRadioButton} 10u 20u -10u 12u "Only for me"
    Pop $1
    ${NSD_CreateLabel} 22u 33u -22u 20u "Into your own programs folder and Start menu. Needs no administrator rights."
    Pop $0
    ${NSD_CreateRadioButton} 10u 60u -10u 12u "For anyone who uses this computer"
    Pop $UsersRadioAll
    ${NSD_CreateLabel} 22u 73u -22u 20u "Into Program Files and the Start menu of all users. Needs administrator rights: Windows asks for them."
    Pop $0
    ${If} $Mode == "AllUsers"
        ${NSD_Check} $UsersRadioAll
    ${Else}
        ${NSD_Check} $1
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function UsersPageLeave
    ${NSD_GetState} $UsersRadioAll $0
    StrCpy $1 "CurrentUser"
    ${If} $0 = ${BST_CHECKED}
        StrCpy $1 "AllUsers"
    ${EndIf}
    ${If} $1 != $Mode
        StrCpy $Mode $1
        Call UseModeFolder
    ${EndIf}
FunctionEnd

; The Finish page's "Start Korvane": with the signed-in user's own rights. An installer that was
; itself started with administrator rights the user normally does not have leaves the start to
; Explorer, which runs with the user's.
Function StartKorvane
    SetOutPath "$INSTDIR"
    ${If} $ElevationType = ${ELEVATION_TYPE_FULL}
        Exec '"$WINDIR\explorer.exe" "$INSTDIR\korvane.exe"'
    ${Else}
        Exec '"$INSTDIR\korvane.exe"'
    ${EndIf}
FunctionEnd

Section "Korvane"
    Call WaitForKorvaneClosed
    Call RefuseBesideMsi
    ${If} $Mode == "AllUsers"
    ${AndIf} $Elevated = 0
        DetailPrint "Installing for all users, with administrator rights"
        Call InstallElevated
        ${If} $0 = 0
            Return
        ${ElseIf} $0 = ${EXIT_RUNNING}
            MessageBox MB_OK|MB_ICONSTOP "${PRODUCT_NAME} is running. Nothing was changed." /SD IDOK
        ${ElseIf} $0 = ${EXIT_NO_RIGHTS}
            MessageBox MB_OK|MB_ICONSTOP "Installing for all users needs administrator rights, which were not given. Nothing was changed.$\n$\nTo install without them, run the installer again and choose $\"Only for me$\"." /SD IDOK
        ${Else}
            MessageBox MB_OK|MB_ICONSTOP "Installing for all users failed (exit code $0)." /SD IDOK
        ${EndIf}
        SetErrorLevel $0
        Quit
    ${EndIf}

    SetOutPath "$INSTDIR"
    File "${STAGE}\korvane.exe"
    File "${STAGE}\README.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortCut "$SMPROGRAMS\${PRODUCT_NAME}.lnk" "$INSTDIR\korvane.exe" "" "$INSTDIR\korvane.exe" 0

    ; SHCTX: HKLM for all users, HKCU for the current user (SetShellVarContext).
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\korvane.exe$\",0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\" _?=$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S _?=$INSTDIR"
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize 0 $0
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; $0 without a trailing backslash.
Function un.TrimBackslash
    StrCpy $1 $0 1 -1
    ${If} $1 == "\"
        StrCpy $0 $0 -1
    ${EndIf}
FunctionEnd

Function un.onInit
    SetRegView 64
    ; Out of the installation folder, which is to go.
    SetOutPath "$TEMP"
    ${GetParameters} $Params
    ClearErrors
    ${GetOptions} $Params "/RemoveUninstaller" $0
    ${IfNot} ${Errors}
        ; The last step of an uninstallation that ran from the uninstaller's own file (see the
        ; Uninstall section): remove that file, as soon as it no longer runs, and the folder.
        ${For} $0 1 100
            Delete "$INSTDIR\uninstall.exe"
            ${IfNot} ${FileExists} "$INSTDIR\uninstall.exe"
                ${Break}
            ${EndIf}
            Sleep 100
        ${Next}
        RMDir "$INSTDIR"
        Quit
    ${EndIf}
    Call un.ReadRights
    ; The installation this uninstaller belongs to: the one whose uninstall entry names its
    ; folder (an all-users one only when no per-user one does).
    StrCpy $0 $INSTDIR
    Call un.TrimBackslash
    StrCpy $2 $0
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    Call un.TrimBackslash
    StrCpy $Mode "CurrentUser"
    ${If} $0 != $2
        ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
        Call un.TrimBackslash
        ${If} $0 == $2
            StrCpy $Mode "AllUsers"
        ${EndIf}
    ${EndIf}
    Call un.UseModeContext
    Call un.WaitForKorvaneClosed

    ${If} $Mode == "AllUsers"
    ${AndIf} $Elevated = 0
        ClearErrors
        ${GetOptions} $Params "/Elevated" $0
        ${If} ${Errors}
            StrCpy $0 "$Params /Elevated _?=$INSTDIR"
            Call un.RunElevated
        ${Else}
            StrCpy $0 ${EXIT_NO_RIGHTS}
        ${EndIf}
        SetErrorLevel $0
        Quit
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Call un.WaitForKorvaneClosed
    ; The program first: when it cannot go, nothing else goes either.
    ClearErrors
    Delete "$INSTDIR\korvane.exe"
    ${If} ${Errors}
        MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\korvane.exe could not be removed. Nothing was removed." /SD IDOK
        SetErrorLevel ${EXIT_FAILED}
        Quit
    ${EndIf}
    Delete "$INSTDIR\README.txt"
    Delete "$SMPROGRAMS\${PRODUCT_NAME}.lnk"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    ; Run from a copy elsewhere, the uninstaller removes its file here. Run from this file, it
    ; cannot (nor move it: NSIS holds its own file open); it starts the file once more without
    ; _?=, so that NSIS runs a copy of it from the temporary folder, which removes the file and
    ; the folder once this run has ended (un.onInit).
    Delete "$INSTDIR\uninstall.exe"
    ${If} ${FileExists} "$INSTDIR\uninstall.exe"
        Exec '"$INSTDIR\uninstall.exe" /S /RemoveUninstaller'
    ${Else}
        ; Removed only when empty: files the user put there stay.
        RMDir "$INSTDIR"
    ${EndIf}
SectionEnd
