# Installing as a Linux desktop program, and the Debian package made from the same rules.
#   bin/channeldeck                 launcher: gives a user without a channel list the starter
#                                   list, then starts the program
#   lib/channeldeck/channeldeck     the program
#   share/channeldeck/              the files it ships with, read only (language file, help,
#                                   starter channel list)
#   share/applications/, share/icons/hicolor/, share/metainfo/
#                                   menu entry, icon and AppStream data, all named by CD_APP_ID
#   share/doc/channeldeck/, share/man/man1/
# The installed pieces find each other by relative paths, so any prefix works.
include(GNUInstallDirs)

set(CD_APP_ID org.channeldeck.ChannelDeck)
set(CD_PACKAGE_NAME channeldeck)
set(CD_MAINTAINER "${CD_COMPANY_NAME} <info@channeldeck.org>")
if(CD_WEBSITE MATCHES "^[a-z]+://")
  set(CD_WEBSITE_URL ${CD_WEBSITE})
else()
  # What the program opens for its website: the address with "http://" in front.
  set(CD_WEBSITE_URL http://${CD_WEBSITE})
endif()
# The program tells Qt its menu entry by this id (Wayland's app id). On X11 Qt names the
# window's class after the program's file name instead, which the entry names as its
# StartupWMClass, so that docks and task bars match the running window to the entry.
target_compile_definitions(channeldeck PRIVATE CD_APP_ID="${CD_APP_ID}")
set(CD_WM_CLASS channeldeck)

set(CD_PROGRAM_DIR lib/${CD_PACKAGE_NAME})
set(CD_SHIPPED_DIR ${CMAKE_INSTALL_DATADIR}/${CD_PACKAGE_NAME})
set(CD_FULL_SHIPPED_DIR ${CMAKE_INSTALL_FULL_DATADIR}/${CD_PACKAGE_NAME})
file(RELATIVE_PATH CD_SHIPPED_FROM_PROGRAM_DIR ${CMAKE_INSTALL_PREFIX}/${CD_PROGRAM_DIR} ${CD_FULL_SHIPPED_DIR})
file(RELATIVE_PATH CD_PROGRAM_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${CD_PROGRAM_DIR}/channeldeck)
file(RELATIVE_PATH CD_STARTER_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR} ${CD_FULL_SHIPPED_DIR}/Data.txt)
target_compile_definitions(cd_platform_core PRIVATE CD_SHIPPED_FROM_PROGRAM_DIR="${CD_SHIPPED_FROM_PROGRAM_DIR}")

# The changelog's top entry gives the version and the release date the other files show.
set(CD_DESKTOP_SOURCE_DIR ${CMAKE_SOURCE_DIR}/resources/desktop)
set(CD_DESKTOP_DIR ${CMAKE_BINARY_DIR}/desktop)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CD_DESKTOP_SOURCE_DIR}/changelog)
file(STRINGS ${CD_DESKTOP_SOURCE_DIR}/changelog cd_changelog_top LIMIT_COUNT 1)
if(NOT cd_changelog_top MATCHES "^${CD_PACKAGE_NAME} \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "resources/desktop/changelog: the top entry is not version ${PROJECT_VERSION}")
endif()
file(STRINGS ${CD_DESKTOP_SOURCE_DIR}/changelog cd_changelog_trailer REGEX "^ -- " LIMIT_COUNT 1)
if(NOT cd_changelog_trailer MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "resources/desktop/changelog: no date in the top entry's trailer line")
endif()
set(cd_day ${CMAKE_MATCH_1})
set(cd_year ${CMAKE_MATCH_3})
set(cd_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND cd_months ${CMAKE_MATCH_2} cd_month)
math(EXPR cd_month "${cd_month} + 1" OUTPUT_FORMAT DECIMAL)
if(cd_month LESS 10)
  set(cd_month 0${cd_month})
endif()
set(CD_RELEASE_DATE ${cd_year}-${cd_month}-${cd_day})

configure_file(${CD_DESKTOP_SOURCE_DIR}/app.desktop.in ${CD_DESKTOP_DIR}/${CD_APP_ID}.desktop @ONLY)
configure_file(${CD_DESKTOP_SOURCE_DIR}/app.metainfo.xml.in ${CD_DESKTOP_DIR}/${CD_APP_ID}.metainfo.xml @ONLY)
configure_file(${CD_DESKTOP_SOURCE_DIR}/channeldeck.in ${CD_DESKTOP_DIR}/channeldeck @ONLY)
configure_file(${CD_DESKTOP_SOURCE_DIR}/copyright ${CD_DESKTOP_DIR}/copyright @ONLY)
configure_file(${CD_DESKTOP_SOURCE_DIR}/channeldeck.1.in ${CD_DESKTOP_DIR}/channeldeck.1 @ONLY)
# Debian wants both compressed, without a time stamp, so that the same text gives the same file.
find_program(CD_GZIP gzip REQUIRED)
foreach(f ${CD_DESKTOP_SOURCE_DIR}/changelog ${CD_DESKTOP_DIR}/channeldeck.1)
  get_filename_component(n ${f} NAME)
  execute_process(COMMAND ${CD_GZIP} -9 -n -c ${f} OUTPUT_FILE ${CD_DESKTOP_DIR}/${n}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()

install(TARGETS channeldeck RUNTIME DESTINATION ${CD_PROGRAM_DIR})
install(PROGRAMS ${CD_DESKTOP_DIR}/channeldeck DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CD_PROGRAM_FILES} ${CMAKE_SOURCE_DIR}/resources/Data.txt DESTINATION ${CD_SHIPPED_DIR})
if(TARGET cd_help)
  install(FILES ${CMAKE_BINARY_DIR}/bin/Help.chm DESTINATION ${CD_SHIPPED_DIR})
endif()
install(FILES ${CD_DESKTOP_DIR}/${CD_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CD_DESKTOP_DIR}/${CD_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The small sizes are the window's own hand-drawn icons; the large ones are rendered from the
# drawing by resources/desktop/render-icons.sh.
foreach(size 16 32 48 64 128 256)
  if(size LESS 64)
    set(png ${CMAKE_SOURCE_DIR}/resources/icons/AAA/${size}.png)
  else()
    set(png ${CD_DESKTOP_SOURCE_DIR}/icons/${size}.png)
  endif()
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${CD_APP_ID}.png)
endforeach()
install(FILES ${CD_DESKTOP_SOURCE_DIR}/icon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${CD_APP_ID}.svg)
install(FILES ${CD_DESKTOP_DIR}/copyright ${CD_DESKTOP_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CD_PACKAGE_NAME})
install(FILES ${CD_DESKTOP_DIR}/channeldeck.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# `make package`: a .deb of the install above, for /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${CD_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ${CD_COMPANY_NAME})
set(CPACK_PACKAGE_CONTACT ${CD_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CD_WEBSITE_URL})
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "find and play internet TV, radio and video streams
${CD_PRODUCT_NAME} lists the channels of your channel list by category and type
and plays the one you click in its own player. It keeps favourites of channels
and videos, browses and searches a video site, plays local media files, updates
its channel list online and speaks several languages. It comes with a starter
channel list, which it gives each user at the first start.")
# What dpkg-shlibdeps finds from the linked libraries, plus what the program loads or starts
# at run time, which no link shows. Qt's X11 platform plugin comes with libqt6gui6, which the
# links already bring (qt6-qpa-plugins holds only the VNC and touch-input plugins).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CD_RUNTIME_DEPENDS
  vlc-plugin-base vlc-plugin-video-output libvlc-bin # libVLC's demuxers, decoders, outputs
  libqt6webenginecore6-bin            # the browser's helper process
  xdg-utils)                          # opening addresses in the user's browser
list(JOIN CD_RUNTIME_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# The help file opens only in a CHM viewer; without one the program says so.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xchm)
include(CPack)
