# Sources of the shell room.
list(APPEND TAVRIN_SOURCES src/shell/interpreter.cpp src/shell/settings.cpp src/shell/startup.cpp)
list(APPEND TAVRIN_SOURCES src/shell/view.cpp)
list(APPEND TAVRIN_SOURCES src/shell/commands.cpp src/shell/banner.cpp src/shell/listing.cpp)
