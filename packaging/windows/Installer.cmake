# The Windows installer, build-windows/karune-modem-<version>-setup.exe, from karune-modem.nsi:
#   cmake --build build-windows --target installer
# (Debian's nsis package provides makensis.)
find_program(KARUNE_MAKENSIS makensis)
if(KARUNE_MAKENSIS)
    set(KARUNE_PUBLISHER "Karune Modem Project" CACHE STRING "Publisher shown in Apps & features")
    set(karune_setup ${PROJECT_BINARY_DIR}/karune-modem-${PROJECT_VERSION}-setup.exe)
    set(karune_nsis ${PROJECT_SOURCE_DIR}/packaging/windows)
    # The installed program without its debugging information (a fifth of the size).
    set(karune_stripped ${PROJECT_BINARY_DIR}/installer/karune-modem.exe)
    add_custom_command(OUTPUT ${karune_setup}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/installer
        COMMAND ${CMAKE_STRIP} -o ${karune_stripped} $<TARGET_FILE:karune-modem>
        COMMAND ${KARUNE_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION}
            "-DPUBLISHER=${KARUNE_PUBLISHER}" -DPROGRAM=${karune_stripped}
            -DOUTFILE=${karune_setup} ${karune_nsis}/karune-modem.nsi
        DEPENDS karune-modem ${karune_nsis}/karune-modem.nsi ${karune_nsis}/RunningCopies.nsh
            ${karune_nsis}/karune-modem.ico
            ${karune_nsis}/karune-modem.installed
        COMMENT "Building the installer ${karune_setup}"
        VERBATIM)
    add_custom_target(installer DEPENDS ${karune_setup})
endif()
