# Sources of the search room.
list(APPEND TAVRIN_SOURCES src/search/settings.cpp)
list(APPEND TAVRIN_SOURCES src/search/game.cpp)
list(APPEND TAVRIN_SOURCES src/search/state.cpp)
list(APPEND TAVRIN_SOURCES src/search/clock.cpp)
list(APPEND TAVRIN_SOURCES src/search/tt.cpp)
list(APPEND TAVRIN_SOURCES src/search/time.cpp)
