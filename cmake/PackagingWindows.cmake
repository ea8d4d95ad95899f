# Windows packages: a ZIP and an NSIS installer (cpack in the build folder).
# Program, Qt DLLs and README.txt share the install root: the front-end starts
# tsisbridge.exe there and Windows finds the DLLs beside it.

install(TARGETS tsisbridge RUNTIME DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Xml> ${PROJECT_SOURCE_DIR}/docs/windows/README.txt
        DESTINATION .)
# Stripping covers targets only; the Qt DLLs would keep their debug sections.
install(CODE "set(TSIS_STRIP \"${CMAKE_STRIP}\")")
install(CODE [[
  if(CMAKE_INSTALL_DO_STRIP AND TSIS_STRIP)
    foreach(dll Qt6Core.dll Qt6Xml.dll)
      execute_process(COMMAND "${TSIS_STRIP}" --strip-unneeded "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${dll}"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()
]])

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TSIS_WINDOWS_BITS 64)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
else()
  set(TSIS_WINDOWS_BITS 32)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
endif()

# Values reach CPackConfig.cmake as written (backslashes of Windows paths included).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME tsisbridge)
# The version the program reports, as the Debian package has it.
set(CPACK_PACKAGE_VERSION 4.2.9.0)
set(CPACK_PACKAGE_VENDOR "Solvane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "data extractor from TSIS/SchoolMAX databases for handheld school devices")
set(CPACK_PACKAGE_FILE_NAME "tsisbridge-${CPACK_PACKAGE_VERSION}-win${TSIS_WINDOWS_BITS}")
set(CPACK_STRIP_FILES ON)

# Both builds can be installed side by side on 64-bit Windows: each has its own
# folder, uninstall entry and start menu folder.
set(TSIS_WINDOWS_TITLE "TSIS Bridge (${TSIS_WINDOWS_BITS}-bit)")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Solvane\\TSIS Bridge")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "${TSIS_WINDOWS_TITLE}")
set(CPACK_NSIS_PACKAGE_NAME "${TSIS_WINDOWS_TITLE}")
set(CPACK_NSIS_DISPLAY_NAME "${TSIS_WINDOWS_TITLE}")
set(CPACK_NSIS_INSTALLED_ICON_NAME tsisbridge.exe)
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
# An upgrade runs the old uninstaller first, so no file of an older version stays.
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_DEFINES "
  !include x64.nsh
  !define MUI_STARTMENUPAGE_DEFAULTFOLDER \"Solvane\\${TSIS_WINDOWS_TITLE}\"")
if(TSIS_WINDOWS_BITS EQUAL 64)
  # $PROGRAMFILES64 is the 32-bit folder on 32-bit Windows, where the program cannot start.
  set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "
  \${IfNot} \${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP \"This is the 64-bit build; on 32-bit Windows install the 32-bit one (win32).\" /SD IDOK
    RMDir \"$INSTDIR\"
    Abort
  \${EndIf}")
endif()
# The uninstaller deletes the files it installed and their folder when empty,
# then the vendor folder when nothing else is left there. The data folders
# (AppData, Documents, the output folder) are never touched. This hook runs
# after the install folder is gone.
set(CPACK_NSIS_DELETE_ICONS_EXTRA "  RMDir \"${CPACK_NSIS_INSTALL_ROOT}\\Solvane\"")

include(CPack)
