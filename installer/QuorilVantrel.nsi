; The Windows setup of the add-in (makensis, NSIS 3). installer/CMakeLists.txt passes:
;   VERSION   major.minor.patch           OUTFILE   the setup to write
;   DLL       the DLL to install (QuorilVantrel.dll, or QuorilVantrelStandIns.dll with STANDINS)
;   EXE       vantrel.exe, installed beside the product's DLL (not with STANDINS)
;   STANDINS  defined: the setup for tests instead (the stand-ins' COM server and the VBScript
;             examples, EXAMPLES naming their folder), never together with the product
;   COPYRIGHT the copyright line of the version resource
; Options of the product's setup:  /S  /D=folder (last)  and, for the maker's components,
;   /CoreDataAccess=ProgID /ConnectionSettings=ProgID /NextApiConnection=ProgID
;   /SharedFolders=ProgID /FolderCheck=ProgID
; Exit codes: 0 installed, 1 cancelled, 2 refused (an unknown option or a ProgID that is no
; ProgID), 3010 installed but the DLL is replaced at the next restart.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!ifndef VERSION | DLL | OUTFILE
    !error "makensis -DVERSION=x.y.z -DDLL=path -DOUTFILE=path [-DEXE=path | -DSTANDINS -DEXAMPLES=dir]"
!endif
!ifndef STANDINS
    !ifndef EXE
        !error "the product's setup needs -DEXE=path of vantrel.exe"
    !endif
!endif
!ifndef COPYRIGHT
    !define COPYRIGHT "Copyright (C) QuorilVantrel"
!endif

!ifdef STANDINS
    !define ID "QuorilVantrelStandIns"
    !define NAME "QuorilVantrel stand-ins (tests only)"
    !define FOLDER "QuorilVantrel Stand-ins"
    !define DLLNAME "QuorilVantrelStandIns.dll"
!else
    !define ID "QuorilVantrel"
    !define NAME "QuorilVantrel"
    !define FOLDER "QuorilVantrel"
    !define DLLNAME "QuorilVantrel.dll"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${ID}"
!define COMPONENTS_KEY "Software\QuorilVantrel\Components"
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"

; The maker's components the add-in creates by ProgID, with the ProgIDs it uses when the
; registry names none (src/interfaces/components.cpp).
!macro ForEachComponent M
    !insertmacro ${M} CoreDataAccess tlkCoreDataAccess2016.CoreDataAccess
    !insertmacro ${M} ConnectionSettings tlkCore2016.ConnectionSettings
    !insertmacro ${M} NextApiConnection tlkCore2016.NextApiConnection
    !insertmacro ${M} SharedFolders tlkCore2016.SharedFolders
    !insertmacro ${M} FolderCheck tlkCore2016.FolderCheck
!macroend

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
; A 32-bit setup: Program Files (x86) and the 32-bit registry on 64-bit Windows, where the
; 32-bit ERP looks for its in-process servers.
InstallDir "$PROGRAMFILES32\${FOLDER}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
!define MUI_ABORTWARNING
!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"

!insertmacro MUI_PAGE_DIRECTORY
!ifndef STANDINS
    Page custom ComponentsPage ComponentsPageLeave
!endif
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; English (United Kingdom) first: the version resource's block is 080904B0.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Portuguese"
!define LANG_ENGLISH_UK 2057

VIAddVersionKey /LANG=${LANG_ENGLISH_UK} "CompanyName" "QuorilVantrel"
VIAddVersionKey /LANG=${LANG_ENGLISH_UK} "ProductName" "QuorilVantrel"
VIAddVersionKey /LANG=${LANG_ENGLISH_UK} "FileDescription" "${NAME} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH_UK} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH_UK} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH_UK} "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=${LANG_ENGLISH_UK} "OriginalFilename" "${ID}-${VERSION}-setup.exe"

LangString InUse ${LANG_ENGLISH} "$INSTDIR\${DLLNAME} is in use, probably by the ERP.$\r$\n$\r$\nClose the ERP and choose Retry, or choose Cancel to replace the file when Windows restarts."
LangString InUse ${LANG_PORTUGUESE} "$INSTDIR\${DLLNAME} está em uso, provavelmente pelo ERP.$\r$\n$\r$\nFeche o ERP e escolha Repetir, ou escolha Cancelar para substituir o ficheiro quando o Windows reiniciar."
LangString Restart ${LANG_ENGLISH} "${DLLNAME} will be replaced when Windows restarts. Restart now?"
LangString Restart ${LANG_PORTUGUESE} "${DLLNAME} será substituído quando o Windows reiniciar. Reiniciar agora?"
LangString NotRegistered ${LANG_ENGLISH} "${DLLNAME} could not be registered."
LangString NotRegistered ${LANG_PORTUGUESE} "Não foi possível registar ${DLLNAME}."
LangString PageTitle ${LANG_ENGLISH} "Components of the ERP"
LangString PageTitle ${LANG_PORTUGUESE} "Componentes do ERP"
LangString PageText ${LANG_ENGLISH} "The add-in creates these components of the ERP's core library by ProgID. Keep the defaults unless your installation names them otherwise."
LangString PageText ${LANG_PORTUGUESE} "O suplemento cria estes componentes da biblioteca base do ERP pelo ProgID. Mantenha os valores por omissão, salvo se a sua instalação lhes der outros nomes."
LangString BadProgId ${LANG_ENGLISH} "is not a ProgID: up to 39 letters, digits, dots and underscores, beginning with a letter."
LangString BadProgId ${LANG_PORTUGUESE} "não é um ProgID: até 39 letras, algarismos, pontos e sublinhados, a começar por uma letra."
LangString ComponentsOk ${LANG_ENGLISH} "Every component of the ERP that the add-in creates can be created."
LangString ComponentsOk ${LANG_PORTUGUESE} "Todos os componentes do ERP que o suplemento cria podem ser criados."
LangString ComponentsMissing ${LANG_ENGLISH} "These components of the ERP cannot be created yet; the add-in needs them to open a company. Install or register them (the ERP may be installed afterwards), then run vantrel doctor COMPANY in the install folder:"
LangString ComponentsMissing ${LANG_PORTUGUESE} "Estes componentes do ERP ainda não podem ser criados; o suplemento precisa deles para abrir uma empresa. Instale-os ou registe-os (o ERP pode ser instalado depois) e execute vantrel doctor EMPRESA na pasta de instalação:"
LangString BadOption ${LANG_ENGLISH} "Unknown option"
LangString BadOption ${LANG_PORTUGUESE} "Opção desconhecida"

!ifndef STANDINS
!macro DeclareComponent C DEF
    Var Prog_${C}
    Var Field_${C}
!macroend
!insertmacro ForEachComponent DeclareComponent
!endif

; Replaces $INSTDIR\NAME with SOURCE. A host that has the DLL loaded keeps it from being
; replaced: the user closes the ERP and retries, or the new file waits beside the old one
; for Windows to swap them at the next restart, where RunOnce registers it. The registration
; of the loaded copy stays valid meanwhile, since every version registers the same classes.
!macro InstallDll SOURCE NAME
    ${Do}
        ClearErrors
        Delete "$INSTDIR\${NAME}"
        ${IfNot} ${Errors}
            File "/oname=$INSTDIR\${NAME}" "${SOURCE}"
            ClearErrors
            RegDLL "$INSTDIR\${NAME}"
            ${If} ${Errors}
                MessageBox MB_OK|MB_ICONSTOP "$(NotRegistered)" /SD IDOK
                SetErrorLevel 2
                Abort
            ${EndIf}
            ${Break}
        ${EndIf}
        ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(InUse)" /SD IDCANCEL IDRETRY`
            File "/oname=$INSTDIR\${NAME}.new" "${SOURCE}"
            Rename /REBOOTOK "$INSTDIR\${NAME}.new" "$INSTDIR\${NAME}"
            WriteRegStr HKLM "${RUNONCE_KEY}" "${ID}" '"$SYSDIR\regsvr32.exe" /s "$INSTDIR\${NAME}"'
            ${Break}
        ${EndIf}
    ${Loop}
!macroend

; Checks one word of the command line against one component option (/Name=ProgID).
!macro TakeComponentOption C DEF
    StrLen $R3 "/${C}="
    StrCpy $R4 $R1 $R3
    ${If} $R4 == "/${C}="
        StrCpy $Prog_${C} $R1 "" $R3
        StrCpy $R2 "1"
    ${EndIf}
!macroend

!ifndef STANDINS
; $R0: the ProgID; sets the error flag when it is none (COM's rules: at most 39 characters,
; no punctuation but dots, beginning with a letter; underscores are common enough to allow).
Function CheckProgId
    StrLen $R5 $R0
    ${If} $R5 == 0
    ${OrIf} $R5 > 39
        SetErrors
        Return
    ${EndIf}
    StrCpy $R8 "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
    StrCpy $R6 0
    ${Do}
        StrCpy $R7 $R0 1 $R6
        ${IfThen} $R7 == "" ${|} ${ExitDo} ${|}
        ${IfThen} $R6 == 1 ${|} StrCpy $R8 "$R80123456789._" ${|}
        StrCpy $R5 0
        ${Do}
            StrCpy $R4 $R8 1 $R5
            ${If} $R4 == ""
                SetErrors
                Return
            ${EndIf}
            ${IfThen} $R4 S== $R7 ${|} ${ExitDo} ${|}
            IntOp $R5 $R5 + 1
        ${Loop}
        IntOp $R6 $R6 + 1
    ${Loop}
FunctionEnd
!endif

!macro ReadComponent C DEF
    ReadRegStr $Prog_${C} HKLM "${COMPONENTS_KEY}" "${C}"
    ${If} $Prog_${C} == ""
        StrCpy $Prog_${C} "${DEF}"
    ${EndIf}
!macroend

!macro CheckComponent C DEF
    ${If} $R9 == ""
        StrCpy $R0 $Prog_${C}
        ClearErrors
        Call CheckProgId
        ${If} ${Errors}
            StrCpy $R9 "${C}: $\"$Prog_${C}$\" $(BadProgId)"
        ${EndIf}
    ${EndIf}
!macroend

; Every word of the command line must be an option of ours; /D= ends it (NSIS takes the
; rest as the folder). Sets $R9 to the error, or to "" when all is well.
Function ParseOptions
    ${GetParameters} $R0
    StrCpy $R9 ""
    ${Do}
        ; the next word
        ${Do}
            StrCpy $R1 $R0 1
            ${IfThen} $R1 != " " ${|} ${ExitDo} ${|}
            StrCpy $R0 $R0 "" 1
        ${Loop}
        ${IfThen} $R0 == "" ${|} ${ExitDo} ${|}
        StrCpy $R2 0
        ${Do}
            StrCpy $R1 $R0 1 $R2
            ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
            ${IfThen} $R1 == " " ${|} ${ExitDo} ${|}
            IntOp $R2 $R2 + 1
        ${Loop}
        StrCpy $R1 $R0 $R2
        StrCpy $R0 $R0 "" $R2
        StrCpy $R4 $R1 3
        ${IfThen} $R4 == "/D=" ${|} ${ExitDo} ${|}
        ${If} $R1 == "/S"
        ${OrIf} $R1 == "/NCRC"
            ${Continue}
        ${EndIf}
        StrCpy $R2 ""
!ifndef STANDINS
        !insertmacro ForEachComponent TakeComponentOption
!endif
        ${If} $R2 == ""
            StrCpy $R9 "$(BadOption): $R1"
            ${ExitDo}
        ${EndIf}
    ${Loop}
!ifndef STANDINS
    !insertmacro ForEachComponent CheckComponent
!endif
FunctionEnd

Function .onInit
!ifndef STANDINS
    ; What an earlier installation chose stays unless an option or the page changes it.
    !insertmacro ForEachComponent ReadComponent
!endif
    Call ParseOptions
    ${If} $R9 != ""
        MessageBox MB_OK|MB_ICONSTOP "$R9" /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
FunctionEnd

!ifndef STANDINS
!macro AddComponentField C DEF
    ${NSD_CreateLabel} 0 $R1u 40% 12u "${C}"
    Pop $R0
    ${NSD_CreateText} 40% $R1u 60% 12u $Prog_${C}
    Pop $Field_${C}
    IntOp $R1 $R1 + 18
!macroend

Function ComponentsPage
    !insertmacro MUI_HEADER_TEXT "$(PageTitle)" "ProgID"
    nsDialogs::Create 1018
    Pop $R0
    ${IfThen} $R0 == error ${|} Abort ${|}
    ${NSD_CreateLabel} 0 0 100% 24u "$(PageText)"
    Pop $R0
    StrCpy $R1 32
    !insertmacro ForEachComponent AddComponentField
    nsDialogs::Show
FunctionEnd

!macro ReadComponentField C DEF
    ${NSD_GetText} $Field_${C} $Prog_${C}
!macroend

Function ComponentsPageLeave
    !insertmacro ForEachComponent ReadComponentField
    StrCpy $R9 ""
    !insertmacro ForEachComponent CheckComponent
    ${If} $R9 != ""
        MessageBox MB_OK|MB_ICONEXCLAMATION "$R9"
        Abort
    ${EndIf}
FunctionEnd

; Only a ProgID other than the default is written; choosing the default again removes it.
!macro WriteComponent C DEF
    ${If} $Prog_${C} == "${DEF}"
        DeleteRegValue HKLM "${COMPONENTS_KEY}" "${C}"
    ${Else}
        WriteRegStr HKLM "${COMPONENTS_KEY}" "${C}" $Prog_${C}
    ${EndIf}
!macroend

; Whether the components can be created, with the ProgIDs just written: vantrel.exe answers
; with the one check the add-in itself would make. A component missing is a warning, not a
; refusal: the ERP may come afterwards. The outcome goes to the details and to install.log;
; only an interactive setup shows it.
Function CheckComponents
    nsExec::ExecToStack '"$INSTDIR\vantrel.exe" doctor --components --failures'
    Pop $R0
    Pop $R1
    ${If} $R0 == 0
        StrCpy $R2 "$(ComponentsOk)"
    ${Else}
        StrCpy $R2 "$(ComponentsMissing)$\r$\n$R1"
    ${EndIf}
    DetailPrint "$R2"
    ClearErrors
    FileOpen $R3 "$INSTDIR\install.log" a
    ${IfNot} ${Errors}
        FileSeek $R3 0 END
        FileWrite $R3 "$R2$\r$\n"
        FileClose $R3
    ${EndIf}
    ${If} $R0 != 0
    ${AndIfNot} ${Silent}
        MessageBox MB_OK|MB_ICONEXCLAMATION "$R2"
    ${EndIf}
FunctionEnd
!endif

!macro DeleteComponent C DEF
    DeleteRegValue HKLM "${COMPONENTS_KEY}" "${C}"
!macroend

; The stand-ins setup points the current user's mapping (which the add-in reads before the
; machine's) at the stand-ins, and its uninstaller takes back only what still names them.
!macro MapToStandIn C DEF
    WriteRegStr HKCU "${COMPONENTS_KEY}" "${C}" "QuorilVantrel.StandIns.${C}"
!macroend
!macro UnmapStandIn C DEF
    ReadRegStr $R0 HKCU "${COMPONENTS_KEY}" "${C}"
    ${If} $R0 == "QuorilVantrel.StandIns.${C}"
        DeleteRegValue HKCU "${COMPONENTS_KEY}" "${C}"
    ${EndIf}
!macroend

Section "${NAME}"
    ; A move to another folder leaves nothing behind in the old one but what is not ours.
    ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R0 != ""
    ${AndIf} $R0 != $INSTDIR
        Delete /REBOOTOK "$R0\${DLLNAME}"
        Delete "$R0\vantrel.exe"
        Delete "$R0\install.log"
        Delete "$R0\uninstall.exe"
        RMDir /REBOOTOK "$R0"
    ${EndIf}
    SetOutPath "$INSTDIR"
    !insertmacro InstallDll "${DLL}" "${DLLNAME}"
!ifdef STANDINS
    SetOutPath "$INSTDIR\examples"
    File "${EXAMPLES}\*.vbs"
    !insertmacro ForEachComponent MapToStandIn
!else
    File "/oname=$INSTDIR\vantrel.exe" "${EXE}"
    !insertmacro ForEachComponent WriteComponent
    DeleteRegKey /ifempty HKLM "${COMPONENTS_KEY}"
    DeleteRegKey /ifempty HKLM "Software\QuorilVantrel"
    Call CheckComponents
!endif
    WriteUninstaller "$INSTDIR\uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "QuorilVantrel"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $R0
SectionEnd

Function .onInstSuccess
    ${If} ${RebootFlag}
        ${If} ${Silent}
            SetErrorLevel 3010
        ${ElseIf} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION "$(Restart)" IDYES`
            Reboot
        ${EndIf}
    ${EndIf}
FunctionEnd

; The companies' settings files (VANTREL.<company>) may live in the install folder: only
; our own files go, and the folder only when it is empty.
Section "Uninstall"
    UnRegDLL "$INSTDIR\${DLLNAME}"
    Delete /REBOOTOK "$INSTDIR\${DLLNAME}"
    Delete "$INSTDIR\${DLLNAME}.new"
    DeleteRegValue HKLM "${RUNONCE_KEY}" "${ID}"
!ifdef STANDINS
    Delete "$INSTDIR\examples\*.vbs"
    RMDir "$INSTDIR\examples"
    !insertmacro ForEachComponent UnmapStandIn
    DeleteRegKey /ifempty HKCU "${COMPONENTS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\QuorilVantrel"
!else
    Delete "$INSTDIR\vantrel.exe"
    Delete "$INSTDIR\install.log"
    !insertmacro ForEachComponent DeleteComponent
    DeleteRegKey /ifempty HKLM "${COMPONENTS_KEY}"
    DeleteRegKey /ifempty HKLM "Software\QuorilVantrel"
!endif
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    Delete "$INSTDIR\uninstall.exe"
    ; Left for the restart only when the DLL was: otherwise a folder that still holds a
    ; settings file stays as it is.
    ${If} ${RebootFlag}
        RMDir /REBOOTOK "$INSTDIR"
    ${Else}
        RMDir "$INSTDIR"
    ${EndIf}
SectionEnd
