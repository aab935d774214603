# The Windows setup program, made by CPack's NSIS generator (makensis runs on
# Linux too) from CMake's own NSIS script and the variables below. It shows
# the licence (LICENSE.txt) for the user to accept; silent with /S, it shows
# no page at all. It installs the install tree (kvo2.exe, README.txt,
# LICENSE.txt) into Program Files\Kvo, moves kvo2.scr into the system folder,
# where the screen saver settings find it, adds the Start menu folder Kvo
# (Kvo, Uninstall) and registers the uninstaller among the installed programs
# with Kvo's name, version, publisher and icon (IDI_MAIN of kvo2.exe). The
# uninstaller removes every file, shortcut and key of these; a screen saver
# setting that names kvo2.scr is the user's, and Windows handles a saver
# that has gone.
#
# The x64 setup is a 64-bit program, made with makensis's amd64-unicode
# target: it lives in the 64-bit world, its Program Files, system folder
# (no file system redirection) and registry view, as does its uninstaller,
# and 32-bit Windows refuses to start it. The x86 setup is a 32-bit program
# and keeps the 32-bit ones on 64-bit Windows.
set(CPACK_PACKAGE_INSTALL_DIRECTORY Kvo)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Kvo)
set(CPACK_NSIS_PACKAGE_NAME Kvo)
set(CPACK_NSIS_DISPLAY_NAME Kvo)
set(CPACK_NSIS_INSTALLED_ICON_NAME kvo2.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_BINARY_DIR}/kvo2/windows/kvo2.ico)
set(CPACK_NSIS_MUI_UNIICON ${CPACK_NSIS_MUI_ICON})
set(CPACK_NSIS_MENU_LINKS kvo2.exe Kvo)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_BINARY_DIR}/kvo2/windows/LICENSE.txt)

# The setup's own version resource holds the programs' version. The setup
# records no file's time (SetDateSave off): CPack writes some of the files it
# packs as it runs, so their times would make every setup differ.
set(CPACK_NSIS_DEFINES "
  VIProductVersion ${PROJECT_VERSION}.0
  VIFileVersion ${PROJECT_VERSION}.0
  VIAddVersionKey /LANG=1033 ProductName Kvo
  VIAddVersionKey /LANG=1033 CompanyName Kvo
  VIAddVersionKey /LANG=1033 FileDescription \"Kvo setup\"
  VIAddVersionKey /LANG=1033 FileVersion ${PROJECT_VERSION}
  VIAddVersionKey /LANG=1033 ProductVersion ${PROJECT_VERSION}
  VIAddVersionKey /LANG=1033 LegalCopyright \"Copyright (C) ${KVO_COPYRIGHT}\"
  SetDateSave off")

# makensis takes the target before the first line of CMake's script. CPack
# splits its command line at spaces: the backslash keeps "XTarget
# amd64-unicode" one argument.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_NSIS_EXECUTABLE_PRE_ARGUMENTS [[-XTarget\ amd64-unicode]])
  set(CPACK_NSIS_INSTALL_ROOT [[$PROGRAMFILES64]])
endif()
# kvo2.scr goes from the install tree to the system folder.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  File \"/oname=$SYSDIR\\kvo2.scr\" \"\${INST_DIR}\\kvo2.scr\"
  Delete \"$INSTDIR\\kvo2.scr\"")
# The vendor key Software\Kvo, which CMake's script leaves behind, goes too.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  Delete \"$SYSDIR\\kvo2.scr\"
  DeleteRegKey SHCTX \"Software\\Kvo\\Kvo\"
  DeleteRegKey /ifempty SHCTX \"Software\\Kvo\"")
