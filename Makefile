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
