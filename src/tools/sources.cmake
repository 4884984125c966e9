# Sources of the tools room.
list(APPEND TAVRIN_SOURCES src/tools/perft.cpp src/tools/bench.cpp)
list(APPEND TAVRIN_SOURCES src/tools/epd.cpp src/tools/perftsuite.cpp src/tools/testsuite.cpp src/tools/evalsuite.cpp)
