# The Debian package of both programs, made by CPack (`make package`):
# gathwrite_<project version>_<architecture>.deb, installed under /usr. Besides the install rules
# of src/app and src/cli (programs, .desktop file, icon, manual page, completion) it carries the
# README and the copyright file in /usr/share/doc/gathwrite/. Its dependencies are read by
# dpkg-shlibdeps (package dpkg-dev) from the shared libraries the programs link.
include(GNUInstallDirs)

set(GW_PACKAGE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/gathwrite)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${GW_PACKAGE_DOC_DIR})

set(GW_PACKAGE_MAINTAINER "Gathwrite maintainers"
    CACHE STRING "Maintainer field of the Debian package (\"Name <address>\")")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gathwrite)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns QQ group-chat exports into batches of short GBK articles")
set(CPACK_PACKAGE_DESCRIPTION
    "Gathwrite cuts the plain-text group-chat exports of the QQ client into messages, cleans and
filters them, merges them into paragraphs and articles, gives each article a title and writes
one GBK text file per article. It has a Qt desktop program (gathwrite) and a command line
(gathwrite-cli) over the same engine and the same settings file.")
set(CPACK_PACKAGE_CONTACT ${GW_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME gathwrite)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${GW_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps adds the libraries' packages to these. Qt finds its window-system plugins at run
# time, not through the linker, and both programs load OpenCC only when a conversion is asked for,
# so the packages that hold those are named here; the window's Chinese texts need a CJK font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libopencc1.1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
