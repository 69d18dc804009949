# Installs the viewer as a desktop program and packages it for Debian with CPack.
include(GNUInstallDirs)

set(QUILLORY_APP_ID org.tarnwick.Quillory)
set(QUILLORY_ICON_SIZES 16 32 48 64 128 256)

install(TARGETS quillory RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${QUILLORY_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${QUILLORY_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${QUILLORY_ICON_SIZES})
  install(FILES ${CMAKE_SOURCE_DIR}/resources/hicolor/${size}x${size}/apps/${QUILLORY_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillory)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Tarnwick)
set(QUILLORY_MAINTAINER "Tarnwick <quillory@tarnwick.example>" CACHE STRING
  "Maintainer named in the Debian package")
set(CPACK_PACKAGE_CONTACT ${QUILLORY_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUILLORY_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "browse folders and view pictures, texts, sounds and videos")
# CPack puts the summary above this as the first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The Quillory is a small multimedia browser and viewer.
Choose a drive and a folder, select a file, and it is shown at once: a picture
(TIFF, BMP, GIF, JPEG, WMF, EMF, icons), a text, RTF or Word 97 document, or a
WAV, AU, MIDI sound or AVI video played. It copies and deletes the selected
file, and an Options menu chooses which kinds of files the list offers.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# dpkg-shlibdeps finds the libraries the binary links (Qt, GStreamer and its base
# libraries); these are loaded at run time instead: picture formats, the GStreamer
# elements for wav, au, mid and avi (playbin, appsink, videoconvert and autoaudiosink
# among them), the sound font that MIDI playback needs, the fonts the windows are
# laid out with, and a font with Chinese, Japanese and Korean glyphs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libexif12, qt6-image-formats-plugins, gstreamer1.0-plugins-base, \
gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-libav, \
timgm6mb-soundfont | fluid-soundfont-gm, fonts-liberation, fonts-wqy-zenhei | fonts-noto-cjk")
include(CPack)

if(QUILLORY_TESTS)
  # Installs into a temporary folder and validates what lands there.
  add_test(NAME packaging/validate
    COMMAND ${CMAKE_SOURCE_DIR}/packaging/validate.sh ${CMAKE_BINARY_DIR} ${QUILLORY_APP_ID}
      ${PROJECT_VERSION} ${QUILLORY_ICON_SIZES})
  set_tests_properties(packaging/validate PROPERTIES TIMEOUT 120)
endif()
