# A Debian package of the installed layout: `cpack -G DEB` in a build folder, or
# scripts/package.sh. Its dependencies are computed from the binaries by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME marrowleaf)
set(CPACK_PACKAGE_VENDOR "Quarn Data Solutions")
set(CPACK_PACKAGE_CONTACT "Quarn Data Solutions <support@quarn.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "note keeper with a tree of notes, pictures and files")
set(CPACK_PACKAGE_DESCRIPTION
  "Marrowleaf keeps a tree of folders, rich-text notes, web pages, pictures and
attached files in one file, with keywords, bookmarks and tasks. Single notes
or whole files can be protected by a password. The package holds the desktop
program marrowleaf and the command-line tool mlf.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quarn.example/marrowleaf")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
