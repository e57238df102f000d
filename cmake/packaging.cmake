# What `cmake --install` puts under the prefix, and the packages CPack makes
# of it (scripts/package.sh): for Windows a zip and an NSIS installer of both
# programs with a README for Windows users, its pictures and the samples; for
# Linux a .deb and a .tar.gz of navaid with its man page.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "navaidedit")
set(CPACK_PACKAGE_CONTACT "navaidedit <navaid@localhost>")
set(CPACK_STRIP_FILES ON)
# Packaging builds only what it installs (scripts/package.sh), not the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
  install(TARGETS navaidedit navaid RUNTIME DESTINATION .)
  # Windows users get a README of their own, on starting the two programs, and
  # the pictures it shows beside it; the repository's README is about building.
  install(FILES docs/windows-readme.md DESTINATION . RENAME README.txt)
  install(FILES docs/main-window.png docs/add-vor-dialog.png DESTINATION .)
  install(DIRECTORY samples/ DESTINATION samples)
  set(CPACK_PACKAGE_NAME navaidedit)
  set(CPACK_PACKAGE_FILE_NAME navaidedit-${PROJECT_VERSION}-win64)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor of the QVZ scenery's navaid databases")
  set(CPACK_PACKAGE_INSTALL_DIRECTORY navaidedit)
  set(CPACK_GENERATOR ZIP NSIS)
  # The Start menu entry: the executable's name, then the entry's text.
  set(CPACK_PACKAGE_EXECUTABLES navaidedit navaidedit)
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
  # A 64-bit installer for the 64-bit programs, into the 64-bit Program Files.
  set(CPACK_NSIS_DEFINES "Target amd64-unicode")
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  set(CPACK_NSIS_PACKAGE_NAME "navaidedit ${PROJECT_VERSION}")
  set(CPACK_NSIS_DISPLAY_NAME "navaidedit ${PROJECT_VERSION}")
  set(CPACK_NSIS_INSTALLED_ICON_NAME navaidedit.exe)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/res/navaidedit.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/res/navaidedit.ico)
else()
  include(GNUInstallDirs)
  install(TARGETS navaid RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The man page is navaid's own help, so it cannot drift from the program.
  find_program(HELP2MAN help2man)
  if(HELP2MAN)
    set(man_page ${CMAKE_BINARY_DIR}/man/navaid.1)
    add_custom_command(OUTPUT ${man_page}
      COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/make-man.sh $<TARGET_FILE:navaid> ${man_page}
      DEPENDS navaid ${PROJECT_SOURCE_DIR}/cmake/make-man.sh VERBATIM)
    add_custom_target(navaid_man ALL DEPENDS ${man_page})
    install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
  set(CPACK_PACKAGE_NAME navaid)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Command-line tool for the QVZ scenery's navaid databases")
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_PACKAGE_FILE_NAME navaid-${PROJECT_VERSION}-Linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
