# Where an installed Kivra lives, and the Debian package made from it.
#
# The program's own folder, <prefix>/lib/kivra, holds kivra with the files it finds beside itself
# (the two simulator programs, the help file, the user guide, the home page); <prefix>/bin/kivra
# is a link to it. The program resolves the link, so it finds them when started through it.

include(GNUInstallDirs)
# As Debian keeps a program's private files: /usr/lib/<name>, without the multiarch triplet.
set(KIVRA_INSTALL_DIR lib/kivra)

install(TARGETS kivra RUNTIME DESTINATION ${KIVRA_INSTALL_DIR})
install(PROGRAMS simulators/Murin/Murin1.exe DESTINATION ${KIVRA_INSTALL_DIR}/Murin)
install(FILES simulators/Murin/run-deck.awk simulators/Murin/log-filter.awk
    DESTINATION ${KIVRA_INSTALL_DIR}/Murin)
install(PROGRAMS simulators/Talvex/Talvex.exe DESTINATION ${KIVRA_INSTALL_DIR}/Talvex)
install(FILES simulators/Talvex/talvex-deck.awk simulators/Talvex/deck-raw.awk
    simulators/Talvex/plot-windows.sh DESTINATION ${KIVRA_INSTALL_DIR}/Talvex)
install(FILES simulators/common/netlist-lines.awk simulators/common/spice-init.sh
    DESTINATION ${KIVRA_INSTALL_DIR}/common)
install(FILES ${KIVRA_HELP_FILES} DESTINATION ${KIVRA_INSTALL_DIR})
# The help pages as HTML too, for desktops without a viewer for the help file.
install(FILES ${KIVRA_HELP_PAGES} DESTINATION ${KIVRA_INSTALL_DIR}/help)
# Marks the folder as installed: runs then work in the user's own folder, also for root.
install(FILES desktop/run-in-user-folder DESTINATION ${KIVRA_INSTALL_DIR})

# bin/kivra -> ../lib/kivra/kivra, made in the staging folder when installing.
install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/kivra\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(REMOVE \"\${link}\")
    file(CREATE_LINK ../${KIVRA_INSTALL_DIR}/kivra \"\${link}\" SYMBOLIC)
")

# The desktop: menu entry, icon in every size, and ".cir" files opening in Kivra.
install(FILES desktop/kivra.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES desktop/kivra.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# What every Debian package carries: its copyright, a compressed changelog, a manual page.
set(kivra_changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${kivra_changelog}
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/desktop/changelog > ${kivra_changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/desktop/changelog
    COMMENT "Compressing the changelog")
set(kivra_manual ${CMAKE_BINARY_DIR}/kivra.1.gz)
add_custom_command(OUTPUT ${kivra_manual}
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/desktop/kivra.1 > ${kivra_manual}
    DEPENDS ${PROJECT_SOURCE_DIR}/desktop/kivra.1
    COMMENT "Compressing the manual page")
add_custom_target(kivra_changelog ALL DEPENDS ${kivra_changelog} ${kivra_manual})
install(FILES ${kivra_manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES desktop/copyright ${kivra_changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kivra)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kivra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kivra developers <kivra@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries found by shlibdeps: Qt's platform plugins, without which no window opens
# on X11 (a minimal system does not have them), Qt's own texts in Russian, and the desktop's
# opener of files and pages, through which help, the user guide and the home page are shown.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, xdg-utils, ngspice, fonts-liberation2, x11-utils, xterm | x-terminal-emulator")
# Removes the run files that earlier versions wrote into the program's folder when run as root.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/desktop/postrm)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xchm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for SPICE netlists that runs ngspice on them")
# The extended description; CPack puts the summary above it as the synopsis.
set(CPACK_PACKAGE_DESCRIPTION
"Kivra opens, edits and saves SPICE circuit netlists (.cir files) in a
multi-document window with tabs, syntax colouring, line numbers, bookmarks,
undo and redo, find and replace, drag and drop and printing. One command (F9)
saves the netlist, runs ngspice on it, opens the log and raw result files and
starts ngspice's interactive front end on the netlist's control lines.

The interface is in Russian.")
include(CPack)
