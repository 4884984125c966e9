# Thin wrapper over CMake: `make run` builds the Release engine alone and starts it,
# `make test` builds everything and runs every test not labelled slow.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: all build engine run test test-slow install deps clean

all: build

deps:
	@sh scripts/deps.sh

$(BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The engine target only: the tests and benchmarks are built by `make build` and `make test`.
engine: $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) --target tavrin -j $(JOBS)

run: engine
	./$(BUILD_DIR)/tavrin

# The binary and its manual page; DESTDIR stages the files for a package.
install: engine
	install -d $(DESTDIR)$(PREFIX)/bin $(DESTDIR)$(PREFIX)/share/man/man6
	install -m 755 $(BUILD_DIR)/tavrin $(DESTDIR)$(PREFIX)/bin/tavrin
	install -m 644 docs/tavrin.6 $(DESTDIR)$(PREFIX)/share/man/man6/tavrin.6

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

# Speed side by side with an earlier engine (the commit before HEAD unless SPEED_BASE names a
# commit or a binary): perft 6, Kiwipete perft 5 and the bench, interleaved, medians of
# SPEED_RUNS runs; fails if a count differs. Wants a quiet machine.
.PHONY: speed
SPEED_BASE ?= HEAD~1
SPEED_RUNS ?= 5
speed: engine
	sh scripts/speed.sh -n $(SPEED_RUNS) $(SPEED_BASE) $(BUILD_DIR)/tavrin

# The Node suites of the match and soak scripts, against their stand-in engine (about 2 minutes;
# the soak's clock checks want a quiet machine).
.PHONY: test-scripts
test-scripts:
	@sh scripts/deps.sh nodejs
	cd scripts/selfplay && { [ -d node_modules/chess.js ] || npm ci --silent; }
	node --test scripts/selfplay/test/*.test.mjs scripts/soak/test/*.test.mjs

# The layout of the C++ sources against .clang-format: `make format-check`, `make format`;
# FORMAT_BASE=<commit> limits either to the files changed since that commit.
.PHONY: format format-check
format-check:
	@sh scripts/deps.sh clang-format
	sh scripts/format.sh check $(FORMAT_BASE)
format:
	@sh scripts/deps.sh clang-format
	sh scripts/format.sh fix $(FORMAT_BASE)

# The fast suite under AddressSanitizer and UndefinedBehaviorSanitizer, in its own build directory.
.PHONY: test-sanitize
test-sanitize: | deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIN_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-sanitize -j $(JOBS)
	ctest --test-dir build-sanitize --output-on-failure -LE slow -j $(JOBS)

# libFuzzer targets built with clang; each runs FUZZ_SECONDS (default 60) from its seed corpus.
FUZZ_SECONDS ?= 60
.PHONY: fuzz
fuzz:
	sh scripts/fuzz.sh $(FUZZ_SECONDS)

# Long self-play and go/stop soak; see scripts/soak/README.md for the options.
.PHONY: soak
soak: build
	sh scripts/soak/soak.sh --engine $(BUILD_DIR)/tavrin $(SOAK_ARGS)

# Windows executable cross-built with mingw-w64, and its tests under wine.
.PHONY: windows test-windows
windows:
	sh scripts/windows.sh build
test-windows:
	sh scripts/windows.sh test
