# Sources of the board room.
list(APPEND TAVRIN_SOURCES src/board/resources.cpp)
list(APPEND TAVRIN_SOURCES src/board/psq.cpp)
