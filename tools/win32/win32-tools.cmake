# The Windows stand-ins the Wine tests run: Messenger's main window and a fake iTunes server.
add_executable(tessaly-messenger-standin ${CMAKE_CURRENT_LIST_DIR}/MessengerStandin.cpp)
target_link_libraries(tessaly-messenger-standin PRIVATE tessaly_publisher_win32)

add_executable(tessaly-fake-itunes ${CMAKE_CURRENT_LIST_DIR}/FakeITunes.cpp)
target_link_libraries(tessaly-fake-itunes PRIVATE tessaly_watcher_win32 ole32 oleaut32 uuid user32
                      advapi32)
