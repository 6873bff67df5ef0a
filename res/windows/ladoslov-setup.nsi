; The Windows installer: ladoslov.scr with its Data and muz for the current user, without administrator
; rights, chosen as the screensaver, and an uninstaller among the user's programs. Both take /S (silent).
; scripts/build-windows.sh runs
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0 -DSTAGE=<folder of ladoslov.scr, Data, muz> -DICON=<.ico>
;            -DOUTFILE=<setup .exe> res/windows/ladoslov-setup.nsi

!include MUI2.nsh
!include LogicLib.nsh

; The screensaver is a 64-bit program, so the installer is one too.
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!define PUBLISHER "Ladoslov developers"
!define HOMEPAGE "http://shkertik.example.org"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ladoslov"
!define DESKTOP_KEY "Control Panel\Desktop"
; SystemParametersInfo(SPI_SETSCREENSAVEACTIVE, on, 0, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE): the setting kept
; in the user's profile, and the running programs told.
!define SCREENSAVERS_ON "user32::SystemParametersInfoW(i 0x0011, i 1, p 0, i 0x0003)"
!define SCREENSAVERS_OFF "user32::SystemParametersInfoW(i 0x0011, i 0, p 0, i 0x0003)"

Name "Ладослов"
; The line above the buttons: the program and its version, not the installer's maker.
BrandingText "Ладослов ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Ladoslov"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
; Отмена asks first, in both.
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Программа установит заставку-календарь «Ладослов» ${VERSION} в папку\
$\r$\n$INSTDIR$\r$\nи выберет её экранной заставкой Windows. Права администратора не нужны.$\r$\n$\r$\n\
Удалить заставку можно в списке установленных программ Windows.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Заставка «Ладослов» установлена и выбрана экранной заставкой Windows."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Открыть параметры экранной заставки"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

; The status line and the list of details name a file by its name in the installation's folder: the lines
; that SetOutPath, WriteUninstaller, Delete and RMDir write name whole paths, which a user's long profile
; folder makes too long for both. File names the file alone.
!macro QUIETLY COMMAND
  SetDetailsPrint none
  ${COMMAND}
  SetDetailsPrint both
!macroend

Section
  !insertmacro QUIETLY 'SetOutPath "$INSTDIR"'
  File "${STAGE}\ladoslov.scr"
  !insertmacro QUIETLY 'SetOutPath "$INSTDIR\Data"'
  File "${STAGE}\Data\name.txt"
  File "${STAGE}\Data\ladoslov.jpg"
  !insertmacro QUIETLY 'SetOutPath "$INSTDIR\muz"'
  File "${STAGE}\muz\ladoslov.mp3"
  DetailPrint "$(^CreatedUninstaller)uninstall.exe"
  !insertmacro QUIETLY 'WriteUninstaller "$INSTDIR\uninstall.exe"'

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Ладослов"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "URLInfoAbout" "${HOMEPAGE}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\ladoslov.scr"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0

  ; As the system's Install does: the screensaver by its short path (the value is started as a command line,
  ; without quotes), and screensavers switched on (choosing "none" switches them off).
  ClearErrors
  GetFullPathName /SHORT $0 "$INSTDIR\ladoslov.scr"
  ${If} ${Errors}
  ${OrIf} $0 == ""
    StrCpy $0 "$INSTDIR\ladoslov.scr"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $0
  System::Call '${SCREENSAVERS_ON}'
SectionEnd

Function OpenScreenSaverSettings
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

; REMOVE NAME: the file NAME of the installation's folder, shown by that name, if it is there.
!macro REMOVE NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    DetailPrint "$(^Delete)${NAME}"
    !insertmacro QUIETLY 'Delete "$INSTDIR\${NAME}"'
  ${EndIf}
!macroend

Section Uninstall
  ; The choice goes only while it is still this screensaver, written in either form of its path; choosing
  ; another one since is the user's to keep.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$INSTDIR\ladoslov.scr"
  GetFullPathName /SHORT $2 $0
  ; LogicLib joins the conditions from left to right: (short paths alike) or (the same long path).
  ${If} $1 != ""
  ${AndIf} $2 == $1
  ${OrIf} $0 == "$INSTDIR\ladoslov.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    System::Call '${SCREENSAVERS_OFF}'
  ${EndIf}

  !insertmacro REMOVE ladoslov.scr
  !insertmacro REMOVE Data\name.txt
  !insertmacro REMOVE Data\ladoslov.jpg
  ; The shipped tune, or the one put in its place under another of the names the program plays.
  !insertmacro REMOVE muz\ladoslov.mp3
  !insertmacro REMOVE muz\ladoslov.mid
  !insertmacro REMOVE muz\ladoslov.wav
  !insertmacro REMOVE uninstall.exe
  ; Folders go only when empty: whatever else the user keeps there stays.
  !insertmacro QUIETLY 'RMDir "$INSTDIR\Data"'
  !insertmacro QUIETLY 'RMDir "$INSTDIR\muz"'
  !insertmacro QUIETLY 'RMDir "$INSTDIR"'
  DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd
