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
glidra-inputd, a small service started on demand by its systemd socket,
that opens the touchpads and makes the virtual input device for Glidra
alone and tells it only which modifiers are held, so that no input node
is opened to the user's other programs. The udev rules that give the user
at the seat access to those devices instead, for every program of that
user, are only the fallback for installs without the service; they are
shipped under /usr/share/glidra/udev and not installed.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX ${GLIDRA_PACKAGE_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# Stripped as dh_strip strips, by the script, before CPack packs.
set(CPACK_STRIP_FILES OFF)
set(CPACK_GLIDRA_STRIP "${CMAKE_STRIP}")
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/GlidraStripPackage.cmake)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: Qt's platform
# plugins (the X11 one draws every window), and a Chinese font, without
# which every text is a row of boxes.
# The input service's user is made by systemd-sysusers.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, fonts-noto-cjk | fonts-wqy-microhei | fonts-arphic-uming, systemd | systemd-standalone-sysusers")
# Qt's own texts (standard buttons, file panels) in Chinese; RealtimeKit,
# which raises the touchpad's reader and the main thread on a loaded machine.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, rtkit")
# GNOME shows tray icons only with it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-shell-extension-appindicator")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The input service's user, its udev rule and its socket, made, applied and
# enabled on install and undone on removal.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/data/debian/postinst ${PROJECT_SOURCE_DIR}/data/debian/prerm
                                       ${PROJECT_SOURCE_DIR}/data/debian/postrm)

include(CPack)
