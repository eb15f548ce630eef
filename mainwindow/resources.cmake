# Pictures of the splash window and the main window, under ":/mainwindow/".
qt_add_resources(${CD_LIB_TARGET} "mainwindow" PREFIX "/" BASE "${CMAKE_SOURCE_DIR}/resources" FILES
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/splash.jpg
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/offline.png
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/btn_tv.png
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/btn_radio.png
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/btn_youtube.png
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/btn_favorites.png
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/btn_files.png
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/btn_website.png
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/btn_sports.png
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/btn_extras.png
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/btn_adult.png
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/btn_video.png
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/btn_actions.png
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/btn_remove.png
  ${CMAKE_SOURCE_DIR}/resources/mainwindow/about.png
)
