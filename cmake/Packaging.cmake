# The Debian package (cpack -G DEB, driven by scripts/package.sh). Dependencies come from
# dpkg-shlibdeps, plus what the program loads at run time rather than links.
set(CPACK_PACKAGE_NAME quenbo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quenbo developers")
set(CPACK_PACKAGE_CONTACT "The Quenbo developers <quenbo@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "search BitTorrent magnet links on many sites at once")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quenbo)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/quenbo/quenbo")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a Qt platform plugin; standard buttons read in Chinese with Qt's own
# translations; links open through xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils, fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The long description; CPack puts the summary line above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quenbo searches up to eleven BitTorrent search sites at the same time. One
worker per site walks that site's result pages and cuts them into hits:
title, magnet link, size, popularity and date. Every hit goes into one
result list, which drops duplicates and filters by words and by size while
the search runs.
.
The window is in Chinese. The same search runs from the command line
without a display, printing tab-separated lines or JSON for scripts. The
hosts of the search sites are configuration, kept in a plain text file.")
set(CPACK_COMPONENTS_ALL)  # one package holds everything installed
include(CPack)
