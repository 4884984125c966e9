# Thin wrapper over CMake: `make run` builds Release and starts the engine,
# `make test` builds and runs every test not labelled slow.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all build run test test-slow deps clean

all: build

deps:
	@sh scripts/deps.sh

$(BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/tavrin

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -LE slow -j $(JOBS)

test-slow: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -L slow

clean:
	rm -rf $(BUILD_DIR)

# Self-play match between two engine instances, every move checked by chess.js (needs Node.js and npm);
# options pass through, e.g. make selfplay SELFPLAY_ARGS="--games 20 --tc 1+0.01".
.PHONY: selfplay
selfplay: build
	node scripts/selfplay/selfplay.mjs --engine $(BUILD_DIR)/tavrin $(SELFPLAY_ARGS)
