; The sample setup package of KORVAX: drives kvxcfg.exe the way the product's
; setup package must (README.md, "The sample setup package"; built by package/build.sh).
;
; makensis defines:
;   OUTFILE    the installer to write
;   SETUP_DIR  kvxcfg.exe and the spare bcdedit (kept without extension)
;   FILES_DIR  the product files for c:\vesk\korv, as they ship; its
;              loader files KVLDR and kvldr.mbr also go to the root of C:
;
; The order is the point: the configurator's checks ("1") run from the
; installer's own temporary folder before anything is written to the
; machine, so a refusal leaves another or an unfinished installation exactly
; as it was. Only a verdict that lets the installation go on is followed by
; the product files and the configuration run ("2").
;
; Exit codes (the configurator's own exit code is always 0 and says nothing):
;   0   installed: "1" kept the marker win_lan, the files were written, "2" ran
;   10  refused, marker win_lan1: an older or another version of the product is
;       installed, or the user chose not to install beside the product on
;       another Windows
;   11  refused, marker win_lan2: the last uninstall of the product has not
;       finished
;   12  no verdict: after "1" there is no marker at all
;   13  kvxcfg.exe 1 could not be started
;   14  kvxcfg.exe 2 could not be started (the product files are written)
; In cases 10 to 13 nothing was written outside the installer's temporary
; folder. 1 and 2 are the installer engine's own (cancelled, aborted).

Unicode true
RequestExecutionLevel admin
SetCompressor /SOLID lzma
Name "KORVAX"
OutFile "${OUTFILE}"
ShowInstDetails show
AutoCloseWindow false
; Installed into fixed folders; the page shows only the progress.
Page instfiles

!include LogicLib.nsh
!include WinVer.nsh

LoadLanguageFile "${NSISDIR}\Contrib\Language files\English.nlf"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\SimpChinese.nlf"

Caption "$(Title)"
LangString Title ${LANG_ENGLISH} "KORVAX v2013.01.23 Setup"
LangString Title ${LANG_SIMPCHINESE} "珂瓦克斯 v2013.01.23 安装"
LangString Checks ${LANG_ENGLISH} "Pre-install checks: kvxcfg.exe 1 in $PLUGINSDIR"
LangString Checks ${LANG_SIMPCHINESE} "安装前检查：在 $PLUGINSDIR 中运行 kvxcfg.exe 1"
LangString Configure ${LANG_ENGLISH} "Configuration: kvxcfg.exe 2 in $PLUGINSDIR"
LangString Configure ${LANG_SIMPCHINESE} "安装配置：在 $PLUGINSDIR 中运行 kvxcfg.exe 2"
LangString Ended ${LANG_ENGLISH} "kvxcfg.exe ended, exit code "
LangString Ended ${LANG_SIMPCHINESE} "kvxcfg.exe 已结束，退出代码 "
LangString NotStarted ${LANG_ENGLISH} "kvxcfg.exe could not be started"
LangString NotStarted ${LANG_SIMPCHINESE} "无法启动 kvxcfg.exe"
LangString GoOn ${LANG_ENGLISH} "Verdict: win_lan kept its name, the installation goes on"
LangString GoOn ${LANG_SIMPCHINESE} "检查结果：win_lan 未改名，继续安装"
LangString Lan1 ${LANG_ENGLISH} "Verdict: win_lan1, another or an older version of KORVAX is installed; nothing was changed"
LangString Lan1 ${LANG_SIMPCHINESE} "检查结果：win_lan1，已安装其它或旧版本的珂瓦克斯；未做任何更改"
LangString Lan2 ${LANG_ENGLISH} "Verdict: win_lan2, the last uninstall of KORVAX has not finished; nothing was changed"
LangString Lan2 ${LANG_SIMPCHINESE} "检查结果：win_lan2，上一次卸载珂瓦克斯尚未完成；未做任何更改"
LangString NoVerdict ${LANG_ENGLISH} "No verdict: the marker win_lan is gone; nothing was changed"
LangString NoVerdict ${LANG_SIMPCHINESE} "没有检查结果：标记文件 win_lan 不见了；未做任何更改"
LangString Files ${LANG_ENGLISH} "Product files into c:\vesk\korv, loader files into C:\"
LangString Files ${LANG_SIMPCHINESE} "写入产品文件到 c:\vesk\korv，引导文件到 C:\"
LangString Done ${LANG_ENGLISH} "KORVAX is installed"
LangString Done ${LANG_SIMPCHINESE} "珂瓦克斯安装完成"

; The page speaks the language the configurator's messages use: Chinese when
; Windows was installed in Simplified Chinese (or does not say), else English.
Function .onInit
  ReadRegStr $0 HKLM "SYSTEM\CurrentControlSet\Control\Nls\Language" "InstallLanguage"
  ${If} $0 == "0804"
  ${OrIf} $0 == ""
    StrCpy $LANGUAGE ${LANG_SIMPCHINESE}
  ${Else}
    StrCpy $LANGUAGE ${LANG_ENGLISH}
  ${EndIf}
FunctionEnd

; Runs kvxcfg.exe with the job in $0 from $PLUGINSDIR (its folder and the
; current folder: the marker rename and the spare bcdedit copy rely on it) and
; waits for it. Error flag set when it could not be started.
Function RunConfigurator
  SetOutPath "$PLUGINSDIR"
  ClearErrors
  ExecWait '"$PLUGINSDIR\kvxcfg.exe" $0' $1
  ${If} ${Errors}
    SetErrors
  ${Else}
    DetailPrint "$(Ended)$1"
  ${EndIf}
FunctionEnd

; Ends the installation with the exit code, the details view showing why.
!macro EndWith code text
  DetailPrint "${text}"
  SetErrorLevel ${code}
  SetOutPath "$TEMP"
  Abort
!macroend

Section
  ; The configurator, its verdict marker and the spare bcdedit, in the
  ; installer's own temporary folder (removed when the installer ends).
  InitPluginsDir
  SetOutPath "$PLUGINSDIR"
  File "${SETUP_DIR}\kvxcfg.exe"
  File "${SETUP_DIR}\bcdedit"
  FileOpen $2 "$PLUGINSDIR\win_lan" w
  FileClose $2

  DetailPrint "$(Checks)"
  StrCpy $0 1
  Call RunConfigurator
  ${If} ${Errors}
    !insertmacro EndWith 13 "$(NotStarted)"
  ${EndIf}
  ${If} ${FileExists} "$PLUGINSDIR\win_lan"
    DetailPrint "$(GoOn)"
  ${ElseIf} ${FileExists} "$PLUGINSDIR\win_lan1"
    !insertmacro EndWith 10 "$(Lan1)"
  ${ElseIf} ${FileExists} "$PLUGINSDIR\win_lan2"
    !insertmacro EndWith 11 "$(Lan2)"
  ${Else}
    !insertmacro EndWith 12 "$(NoVerdict)"
  ${EndIf}

  ; The product files. The loader files at the root of C: keep the
  ; protection an earlier installation gave them; it is taken off first so
  ; that they can be replaced (the configuration run sets it again).
  DetailPrint "$(Files)"
  SetOverwrite on
  SetOutPath "c:\vesk\korv"
  File /r "${FILES_DIR}\*"
  ; The Windows-family marker: vt for Vista and later (a Windows whose version
  ; is not 5.x or 6.x keeps the marker as written), nt for XP and 2003.
  ${If} ${AtLeastWinVista}
    Delete "c:\vesk\korv\nt"
    FileOpen $2 "c:\vesk\korv\vt" w
  ${Else}
    Delete "c:\vesk\korv\vt"
    FileOpen $2 "c:\vesk\korv\nt" w
  ${EndIf}
  FileClose $2
  SetOutPath "C:\"
  SetFileAttributes "C:\KVLDR" NORMAL
  SetFileAttributes "C:\kvldr.mbr" NORMAL
  File "${FILES_DIR}\KVLDR"
  File "${FILES_DIR}\kvldr.mbr"

  DetailPrint "$(Configure)"
  StrCpy $0 2
  Call RunConfigurator
  ${If} ${Errors}
    !insertmacro EndWith 14 "$(NotStarted)"
  ${EndIf}
  DetailPrint "$(Done)"
  ; Out of the temporary folder, so that it can be removed.
  SetOutPath "$TEMP"
SectionEnd
