# The Debian package: `cpack -G DEB` in the build folder makes
# zelm_<version>_amd64.deb with both programs, the desktop entry and icon,
# the manual pages and the shell completions.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelm)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zelm developers")
set(CPACK_PACKAGE_CONTACT "Zelm developers <zelm@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "re-indent the HTML source of Japanese web pages")
# The summary above is the description's first line; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zelm reads a page in Shift_JIS, EUC-JP, ISO-2022-JP or UTF-8, converts it
to Shift_JIS, lowers upper-case tags, puts one tag per line and gives every
line the indentation of its block level.
.
This package holds the desktop program zelm, which shows the original,
prepared and indented text side by side in coloured panes, and zelm-cli,
which runs the same engine in scripts, Git hooks and CI over whole sites
(with --check, --diff, .zelmrc and .zelmignore files).")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The libraries the programs link come from dpkg-shlibdeps. What they load
# by name at run time does not: libcurl for downloads, the SVG image plugin
# for the window's icon, and Qt's platform plugins to open a window at all.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4")
if(ZELM_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}, libqt6svg6, qt6-qpa-plugins")
  # Japanese text in the window shows in IPA Gothic when it is there.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic")
endif()
include(CPack)
