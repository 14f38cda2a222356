# The Debian package, build/karune-modem_<version>_amd64.deb, from the Linux build:
#   (cd build && cpack -G DEB)
# The program, its desktop entry and icon, the template unit (installed, not enabled: each line
# needs its own home and port mapping first) and the polkit rule of its user, the README. No maintainer script: nothing is
# enabled, started or created at installation, and removal leaves the users' files alone.
set(karune_doc ${CMAKE_INSTALL_DATADIR}/doc/karune-modem)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
    DESTINATION ${karune_doc} COMPONENT program)
# Debian wants the changelog compressed, reproducibly; a package without a Debian revision is
# native and names it changelog.gz.
execute_process(
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
    OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${karune_doc}
    COMPONENT program)
# Debian 12 keeps the units of its packages in /lib.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/karune-modem@.service
    DESTINATION /lib/systemd/system COMPONENT program)
# The units' user may keep the PC awake while reception runs (logind asks polkit).
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/karune-modem.rules
    DESTINATION ${CMAKE_INSTALL_DATADIR}/polkit-1/rules.d COMPONENT program)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME karune-modem)
set(CPACK_PACKAGE_VENDOR "Karune Modem Project")
set(CPACK_PACKAGE_CONTACT "Karune Modem Project <packages@karune-modem.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dial-up reception of handheld terminal uploads")
set(CPACK_PACKAGE_DESCRIPTION
    "KARUNE_MODEM answers modem calls from handheld data terminals, receives\n\
their uploads over a checksummed line protocol and stores them as text\n\
files. It runs in a Japanese window, or headless as a systemd service (one\n\
template instance per modem line).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Only the program's files: the simulator and the test helpers stay out of the package.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};karune_modem;program;/")
include(CPack)
