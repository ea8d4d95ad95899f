# Installation layout, the manual page and the Debian package.
include(GNUInstallDirs)

install(TARGETS tsisbridge RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The page is kept as roff and compressed here, as Debian installs manual pages.
set(TSIS_MANPAGE ${CMAKE_BINARY_DIR}/tsisbridge.1.gz)
add_custom_command(OUTPUT ${TSIS_MANPAGE}
  COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/docs/tsisbridge.1 > ${TSIS_MANPAGE}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/tsisbridge.1
  VERBATIM)
add_custom_target(manpage ALL DEPENDS ${TSIS_MANPAGE})
install(FILES ${TSIS_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(TSIS_EXAMPLES_DIR ${CMAKE_INSTALL_DOCDIR}/examples)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${TSIS_EXAMPLES_DIR})

# What Debian's policy asks of every package: the copyright file and the
# changelog (compressed, without a time stamp, as a native package has it).
set(TSIS_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${TSIS_CHANGELOG}
  COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/docs/debian/changelog > ${TSIS_CHANGELOG}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/debian/changelog
  VERBATIM)
add_custom_target(changelog ALL DEPENDS ${TSIS_CHANGELOG})
install(FILES ${TSIS_CHANGELOG} ${PROJECT_SOURCE_DIR}/docs/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tsisbridge)
# The version the program reports (tsisbridge version).
set(CPACK_PACKAGE_VERSION 4.2.9.0)
set(CPACK_PACKAGE_VENDOR "tsisbridge")
# Who answers for the package; a district building its own sets its own.
set(TSIS_PACKAGE_MAINTAINER "tsisbridge maintainers <maintainers@users.noreply.c-seed-ac7b6045.example>"
  CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${TSIS_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "data extractor from TSIS/SchoolMAX databases for handheld school devices")
# One text (separate arguments would be joined as a list, with semicolons);
# CPack puts the summary before it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Reads a school district's TSIS or SchoolMAX database through ODBC and writes
the import folder of the Solvane handheld product: tab-separated data files,
an import control file, custom-field files and attendance update files.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends is computed from the libraries the program links (Qt 6 Core/Xml, unixODBC, SQLite).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The account the example units run as is made at installation (adduser).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/docs/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# isql and odbcinst, which the documentation has users run to try a data source.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "unixodbc")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libsqliteodbc, odbc-postgresql, tdsodbc")
set(CPACK_STRIP_FILES ON)
include(CPack)

# Building the package once is enough: the sanitizer build skips it.
if(TSIS_TESTS AND NOT TSIS_SANITIZE)
  add_test(NAME package_deb
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/ops/package_test.sh ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR})
  set_tests_properties(package_deb PROPERTIES LABELS e2e TIMEOUT 300)
endif()
if(TSIS_TESTS)
  add_test(NAME password_file
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/ops/password_file_test.sh
            $<TARGET_FILE:tsisbridge> ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  set_tests_properties(password_file PROPERTIES LABELS e2e TIMEOUT 300)
endif()
