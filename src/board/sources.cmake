# Sources of the board room.
list(APPEND TAVRIN_SOURCES src/board/resources.cpp)
list(APPEND TAVRIN_SOURCES src/board/psq.cpp)
list(APPEND TAVRIN_SOURCES src/board/attacks.cpp)
list(APPEND TAVRIN_SOURCES src/board/zobrist.cpp)
list(APPEND TAVRIN_SOURCES src/board/position.cpp src/board/fen.cpp)
list(APPEND TAVRIN_SOURCES src/board/movegen.cpp src/board/makemove.cpp)
list(APPEND TAVRIN_SOURCES src/board/notation.cpp src/board/moveinput.cpp)
list(APPEND TAVRIN_SOURCES src/board/see.cpp)
