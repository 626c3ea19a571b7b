# The Debian package: `cpack -G DEB` in the build folder (scripts/package
# builds and checks it). It holds what `cmake --install` installs, under /usr,
# with the dependencies dpkg-shlibdeps computes from the binaries.

set(CPACK_PACKAGE_NAME glidra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Glidra developers")
set(CPACK_PACKAGE_CONTACT "${GLIDRA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "trackpad gesture utility")
# CPack indents each line; lintian wants them under 80 columns.
set(CPACK_PACKAGE_DESCRIPTION [=[
Glidra follows every finger on a multitouch touchpad, recognises the
gestures you define (taps, clicks, swipes, long presses, pinches,
rotations, circles and slides along the edges) and runs the action you
bound to each one: shortcuts, media keys, window layout, application
switching, browser tabs and video, clipboard, volume, brightness and
more. It lives in the tray; its texts are in Simplified Chinese.

Reading the touchpad and the keyboards and typing shortcuts need input
access that Debian does not give a desktop user. The package installs
the udev rules that grant it under /usr/share/glidra/udev; installing
any of them is the user's choice.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see it: Qt's platform plugins
# (the X11 one draws every window).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Every text is Chinese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
# GNOME shows tray icons only with it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-shell-extension-appindicator")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
