# The Windows setup program, made by CPack's NSIS generator (makensis runs on
# Linux too) from CMake's own NSIS script and the variables below. Silent
# with /S, it installs the install tree (kvo2.exe, README.txt) into
# Program Files\Kvo, moves kvo2.scr into the system folder, where the screen
# saver settings find it, adds the Start menu folder Kvo (Kvo, Uninstall) and
# registers the uninstaller among the installed programs with Kvo's name,
# version, publisher and icon (IDI_MAIN of kvo2.exe). The uninstaller removes
# every file, shortcut and key of these; a screen saver setting that names
# kvo2.scr is the user's, and Windows handles a saver that has gone.
#
# Both setups are 32-bit programs: makensis's 64-bit target would have to be
# named before the first line of CMake's script. The x64 one turns to the
# 64-bit Program Files, system folder (file system redirection off) and
# registry view, and refuses 32-bit Windows; the x86 one keeps the 32-bit
# ones on 64-bit Windows.
set(CPACK_PACKAGE_INSTALL_DIRECTORY Kvo)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Kvo)
set(CPACK_NSIS_PACKAGE_NAME Kvo)
set(CPACK_NSIS_DISPLAY_NAME Kvo)
set(CPACK_NSIS_INSTALLED_ICON_NAME kvo2.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_BINARY_DIR}/kvo2/windows/kvo2.ico)
set(CPACK_NSIS_MUI_UNIICON ${CPACK_NSIS_MUI_ICON})
set(CPACK_NSIS_MENU_LINKS kvo2.exe Kvo)
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)

# The setup's own version resource holds the programs' version.
set(CPACK_NSIS_DEFINES "
  !include x64.nsh
  VIProductVersion ${PROJECT_VERSION}.0
  VIFileVersion ${PROJECT_VERSION}.0
  VIAddVersionKey /LANG=1033 ProductName Kvo
  VIAddVersionKey /LANG=1033 CompanyName Kvo
  VIAddVersionKey /LANG=1033 FileDescription \"Kvo setup\"
  VIAddVersionKey /LANG=1033 FileVersion ${PROJECT_VERSION}
  VIAddVersionKey /LANG=1033 ProductVersion ${PROJECT_VERSION}
  VIAddVersionKey /LANG=1033 LegalCopyright \"Copyright (C) ${KVO_COPYRIGHT}\"")

# The x64 setup's switches to the 64-bit world, around the moments it uses
# the registry and the system folder. Its uninstaller reads its Start menu
# folder again: CMake's script read it in the 32-bit view.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_NSIS_INSTALL_ROOT [[$PROGRAMFILES64]])
  set(only_x64 [[
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "This setup is for 64-bit Windows: take the x86 one." /SD IDOK
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
    Abort
  ${EndIf}]])
  set(view64 "SetRegView 64")
  set(reread [[ReadRegStr $START_MENU SHCTX "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kvo" StartMenu]])
  set(sys64 [[${DisableX64FSRedirection}]])
  set(sys32 [[${EnableX64FSRedirection}]])
endif()
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "${only_x64}\n  ${view64}")
# kvo2.scr goes from the install tree to the system folder.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  ${sys64}
  File \"/oname=$SYSDIR\\kvo2.scr\" \"\${INST_DIR}\\kvo2.scr\"
  ${sys32}
  Delete \"$INSTDIR\\kvo2.scr\"")
# The vendor key Software\Kvo, which CMake's script leaves behind, goes too.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  ${view64}
  ${reread}
  ${sys64}
  Delete \"$SYSDIR\\kvo2.scr\"
  ${sys32}
  DeleteRegKey SHCTX \"Software\\Kvo\\Kvo\"
  DeleteRegKey /ifempty SHCTX \"Software\\Kvo\"")
