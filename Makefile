# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Where `make install`, `make run` and `make uninstall` put the program: per user by default.
PREFIX ?= $(HOME)/.local

.PHONY: all deps deps-test configure configure-test build build-test install uninstall run test bench \
	screenshots format clean

all: build

# What building and running need; `deps-test` adds what only tests, benchmarks and screenshots use.
deps:
	@bash scripts/install-deps.sh build

deps-test:
	@bash scripts/install-deps.sh test

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

configure-test: deps-test
	@cmake -S . -B $(BUILD_DIR) -DPELORIN_TESTS=ON $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

build-test: configure-test
	@cmake --build $(BUILD_DIR) -j $(JOBS)

install: build
	@bash scripts/install.sh $(BUILD_DIR) "$(PREFIX)"

uninstall:
	@bash scripts/uninstall.sh "$(PREFIX)"

run: build
	@bash scripts/run.sh $(BUILD_DIR) "$(PREFIX)"

test: build-test
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build-test
	@bash scripts/bench.sh $(BUILD_DIR)

screenshots: build-test
	@bash scripts/screenshots.sh $(BUILD_DIR)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# The build folder holds no owner data; a ledger the earlier layout kept there is carried over
# by `make run` first, never deleted.
clean:
	@bash scripts/clean.sh $(BUILD_DIR)
