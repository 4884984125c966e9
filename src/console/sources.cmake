# Sources of the console room.
list(APPEND TAVRIN_SOURCES src/console/channel.cpp src/console/text.cpp)
list(APPEND TAVRIN_SOURCES src/console/table.cpp)
list(APPEND TAVRIN_SOURCES src/console/format.cpp)
