# The Debian package, built by CPack from the install rules:
#   cmake --build build --target package   ->  build/anchorly_<version>_amd64.deb
# dpkg-shlibdeps finds the libraries the program links; the rest is what it
# cannot see: the font the windows are laid out for, xdg-open (which "Edit"
# and the about window's homepage link ask first), the desktop's file dialogs
# and Qt's Wayland platform (for a session without an X server), all loaded or
# started at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME anchorly)
set(CPACK_PACKAGE_VENDOR Quillbay)
set(CPACK_PACKAGE_CONTACT "${ANCHORLY_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debian ships programs without their symbol tables.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, xdg-utils, qt6-gtk-platformtheme, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.quillbay.example/")
# The synopsis is the project's description; this is the text below it,
# wrapped for a terminal of 80 columns.
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Anchorly composes HTML anchor elements. Type a web address, a description"
    "and the source the link comes from (typed, or picked from a sorted list"
    "that each user can extend and edit), choose the link target and press Add."
    "Up to five anchors are collected as HTML source, ready to be copied to the"
    "clipboard and pasted into an HTML file of your own, which Anchorly opens in"
    "your browser and your editor.")
# Directories that the install itself creates; without this they inherit the
# builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
