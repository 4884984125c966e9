# Sources of the platform room.
list(APPEND TAVRIN_SOURCES src/platform/linux.cpp)
