# Sources of the eval room.
list(APPEND TAVRIN_SOURCES src/eval/evaluate.cpp)
list(APPEND TAVRIN_SOURCES src/eval/pieces.cpp src/eval/king.cpp)
list(APPEND TAVRIN_SOURCES src/eval/passed.cpp src/eval/threats.cpp src/eval/space.cpp)
list(APPEND TAVRIN_SOURCES src/eval/pawns.cpp src/eval/material.cpp src/eval/endgame.cpp)
