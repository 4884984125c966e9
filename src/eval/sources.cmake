# Sources of the eval room.
list(APPEND TAVRIN_SOURCES src/eval/evaluate.cpp)
