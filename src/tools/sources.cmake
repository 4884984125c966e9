# Sources of the tools room.
list(APPEND TAVRIN_SOURCES src/tools/perft.cpp src/tools/epd.cpp)
list(APPEND TAVRIN_SOURCES src/tools/bench.cpp)
