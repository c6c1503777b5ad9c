# The Debian package (cpack -G DEB in a build folder, or scripts/package): the tool, the
# simulator and the sender, the desktop entry and the icons. dpkg-shlibdeps states the libraries
# the executables link (Qt 6, X11); the xcb platform plugin comes with libqt6gui6.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mrv508)
set(CPACK_PACKAGE_VENDOR mrv508)
set(CPACK_PACKAGE_CONTACT "mrv508 maintainers <mrv508@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool for the MRV-508 Kanji title generator")
set(CPACK_PACKAGE_DESCRIPTION
    "Edits the title lines, white levels, screen offsets and picture numbers of an MRV-508\n\
two-channel Kanji title generator and sends them over a serial line (RS-232C or RS-485).\n\
Includes mrv508-sim, a device simulator on a pseudo-terminal, and mrv508-send, which sends\n\
a settings file from the command line.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The dialogs name IPAPGothic and fall back to the default font; Qt's own buttons speak Japanese
# with the translations; Japanese input goes through Fcitx 5 where it runs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fcitx5-anthy, fcitx5-frontend-qt6, socat")
include(CPack)
