# Sources of the platform room: one implementation per operating system.
if(WIN32)
  list(APPEND TAVRIN_SOURCES src/platform/windows.cpp)
else()
  list(APPEND TAVRIN_SOURCES src/platform/linux.cpp src/platform/colours.cpp)
endif()
list(APPEND TAVRIN_SOURCES src/platform/files.cpp src/platform/clock.cpp)
