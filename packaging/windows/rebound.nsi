; The Windows installer of rebound, built by makensis (target
; windows_installer, cmake/WindowsInstaller.cmake) from an install tree.
;
; Defines given by the build:
;   VERSION         the program version, e.g. 1.2.0
;   OUTFILE         the installer to write
;   ICON            the installer's and uninstaller's icon
;   INSTALL_LIST    an include file: the install tree's folders and files
;   UNINSTALL_LIST  an include file: removes exactly those again
;
; Installs for all users (Program Files, needs administrator rights) or for
; the current user only (%LOCALAPPDATA%\Programs), chosen on the first page
; or with /AllUsers or /CurrentUser; /S installs silently, /D=FOLDER (last
; on the command line) sets the folder. Creates the Start-menu entry,
; registers ".prj" project files for Open and an entry in "Apps and
; features". The uninstaller removes what was installed and registered; the
; users' own application folders (%LOCALAPPDATA%\rebound) hold their
; settings and curves and are left alone.

; A 64-bit installer for the 64-bit program (it also runs where only 64-bit
; programs run, as under a 64-bit-only Wine).
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define APP_NAME "Rebound"
!define APP_KEY "rebound"
!define PROGID "Rebound.Project"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP_KEY}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP_KEY}"
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "Software\${APP_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallFolder"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "Software\${APP_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh

Name "${APP_NAME} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${APP_NAME} ${VERSION}"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\rebound-launcher.exe"

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${APP_NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${APP_NAME} installer"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "The rebound developers"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "${APP_NAME} needs a 64-bit Windows."
    Abort
  ${EndIf}
  SetRegView 64
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  !include "${INSTALL_LIST}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The Start-menu entry starts the launcher, which prepares the user's
  ; application folder and starts the window in it.
  SetOutPath "$INSTDIR\bin"
  CreateShortcut "$SMPROGRAMS\${APP_NAME}.lnk" "$INSTDIR\bin\rebound-launcher.exe" "" \
    "$INSTDIR\bin\rebound.exe" 0 SW_SHOWNORMAL "" "${APP_NAME} ${VERSION}"

  ; Project files open in the window. ".prj" is used by other programs too:
  ; the program is always offered under "Open with", and becomes the default
  ; only when no other program is.
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "Rebound project"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\bin\rebound.exe,0"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\bin\rebound-launcher.exe" "%1"'
  WriteRegStr SHCTX "Software\Classes\.prj\OpenWithProgids" "${PROGID}" ""
  ReadRegStr $0 SHCTX "Software\Classes\.prj" ""
  ${If} $0 == ""
  ${OrIf} $0 == "${PROGID}"
    WriteRegStr SHCTX "Software\Classes\.prj" "" "${PROGID}"
  ${EndIf}
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  ; Where and how it was installed, for the next installer and "Apps and features".
  WriteRegStr SHCTX "Software\${APP_KEY}" "InstallFolder" "$INSTDIR"
  WriteRegStr SHCTX "Software\${APP_KEY}" "InstallMode" "$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\rebound.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "The rebound developers"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${APP_NAME}.lnk"

  DeleteRegValue SHCTX "Software\Classes\.prj\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.prj\OpenWithProgids"
  ReadRegStr $0 SHCTX "Software\Classes\.prj" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue SHCTX "Software\Classes\.prj" ""
  ${EndIf}
  DeleteRegKey /ifempty SHCTX "Software\Classes\.prj"
  DeleteRegKey SHCTX "Software\Classes\${PROGID}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  DeleteRegKey SHCTX "Software\${APP_KEY}"

  ; Exactly the installed files; a folder goes only when it is empty, so
  ; nothing the user put into the install folder is lost.
  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
