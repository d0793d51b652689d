# What a desktop install holds besides the program: PNG icons rendered from the
# SVG, the AppStream metadata, the manual page and the copyright and changelog,
# made at build time and installed under share/.
include(GNUInstallDirs)

set(TAVRIN_APPSTREAM_ID com.example.tavrin)
set(TAVRIN_HOMEPAGE https://tavrin.example.com/)
set(TAVRIN_ICON_SIZES 16 32 48 64 128 256)

function(tavrin_desktop_data)
  set(data ${PROJECT_SOURCE_DIR}/data)
  set(made ${CMAKE_BINARY_DIR}/desktop-data)

  # The changelog's newest entry names the version and the release date, which the
  # manual page and the metadata repeat: a new version needs its entry first.
  file(STRINGS ${data}/changelog newest_entry LIMIT_COUNT 1 REGEX "^tavrin \\(")
  if(NOT newest_entry MATCHES "^tavrin \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "data/changelog starts with '${newest_entry}', not with version ${PROJECT_VERSION}")
  endif()
  file(STRINGS ${data}/changelog newest_signature LIMIT_COUNT 1 REGEX "^ -- ")
  if(NOT newest_signature MATCHES "  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    message(FATAL_ERROR "data/changelog: no date in '${newest_signature}'")
  endif()
  set(day ${CMAKE_MATCH_1})
  set(year ${CMAKE_MATCH_3})
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(FIND months ${CMAKE_MATCH_2} month)
  math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
  string(LENGTH ${month} month_digits)
  if(month_digits EQUAL 1)
    set(month 0${month})
  endif()
  set(TAVRIN_RELEASE_DATE ${year}-${month}-${day})
  set(TAVRIN_MAN_DATE ${TAVRIN_RELEASE_DATE})

  configure_file(${data}/tavrin.1.in ${made}/tavrin.1 @ONLY)
  configure_file(${data}/tavrin.metainfo.xml.in ${made}/${TAVRIN_APPSTREAM_ID}.metainfo.xml @ONLY)
  configure_file(${data}/changelog ${made}/changelog COPYONLY)

  # Debian wants both gzipped at the highest level, without a name or time stamp.
  find_program(TAVRIN_GZIP gzip REQUIRED)
  set(made_files)
  foreach(name tavrin.1 changelog)
    add_custom_command(OUTPUT ${made}/${name}.gz
      COMMAND ${TAVRIN_GZIP} -9 -n -k -f ${made}/${name}
      DEPENDS ${made}/${name}
      VERBATIM)
    list(APPEND made_files ${made}/${name}.gz)
  endforeach()

  find_program(TAVRIN_RSVG_CONVERT rsvg-convert)
  find_program(TAVRIN_IMAGEMAGICK_CONVERT convert)
  if(TAVRIN_RSVG_CONVERT OR TAVRIN_IMAGEMAGICK_CONVERT)
    foreach(size ${TAVRIN_ICON_SIZES})
      set(png ${made}/icons/${size}x${size}/tavrin.png)
      if(TAVRIN_RSVG_CONVERT)
        set(render ${TAVRIN_RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${data}/tavrin.svg)
      else()
        set(render ${TAVRIN_IMAGEMAGICK_CONVERT} -background none -density 1200 ${data}/tavrin.svg
                   -resize ${size}x${size} ${png})
      endif()
      add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${made}/icons/${size}x${size}
        COMMAND ${render}
        DEPENDS ${data}/tavrin.svg
        VERBATIM)
      list(APPEND made_files ${png})
      install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
  else()
    message(WARNING "Neither rsvg-convert (librsvg2-bin) nor ImageMagick's convert was found: "
                    "the PNG icons are left out, only the SVG icon is installed")
  endif()
  add_custom_target(tavrin_desktop_data ALL DEPENDS ${made_files})

  install(FILES ${data}/tavrin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${data}/tavrin.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${made}/${TAVRIN_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${made}/tavrin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${data}/copyright ${made}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavrin)
endfunction()

tavrin_desktop_data()
