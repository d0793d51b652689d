# The Debian package, made by `cpack -G DEB` in the build folder (scripts/package
# builds one for release). It holds whatever `cmake --install` puts under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tavrin developers")
set(CPACK_PACKAGE_CONTACT "Tavrin developers <maintainers@tavrin.example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "transcription assistant: type recordings into text")
set(CPACK_PACKAGE_DESCRIPTION
    "Tavrin turns a speech recording, any audio or video file, into typed text.
A large text area fills the window, with the player under it. While typing,
the recording is driven from the keyboard without leaving the text: play and
pause, step back and forward, time marks, slower or faster playback. The
transcript is saved beside the recording in GBK, and a recovery journal keeps
unsaved text safe from crashes.

The interface is in Chinese (Tavrin录音整理).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TAVRIN_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The player's library, FFmpeg's (for the waveform and the draft) and libzip (for the Word export) are opened at run time, so
# dpkg-shlibdeps cannot see them; FFmpeg's packages are named after the major
# versions built against. Qt draws on X through the xcb plugin, and the Chinese
# interface needs its fonts.
set(ffmpeg_packages)
foreach(library libavformat libavcodec libavutil libswresample)
  string(REGEX MATCH "^[0-9]+" major "${FFMPEG_${library}_VERSION}")
  list(APPEND ffmpeg_packages "${library}${major}")
endforeach()
list(JOIN ffmpeg_packages ", " ffmpeg_packages)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libmpv2, libzip4, ${ffmpeg_packages}, fonts-noto-cjk, qt6-qpa-plugins")
# Qt's own buttons and dialogs in Chinese (是/否 in the closing question).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The foot pedals' udev rule is left out of an ordinary install (it belongs to
# udev's folder, not to the prefix); the package holds it beside everything else,
# still as one package.
set(CPACK_COMPONENTS_ALL Unspecified udev_rules)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
