# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
# The sanitizer build's own folder: nothing of a plain build links with it.
SANITIZE_DIR ?= build-asan
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Where `make install`, `make run` and `make uninstall` put the program: per user by default.
PREFIX ?= $(HOME)/.local

.PHONY: all deps deps-test configure configure-test build build-test install uninstall run test bench \
	screenshots format check-format lint test-sanitize clean

all: build

# What building and running need; `deps-test` adds what only tests, benchmarks and screenshots use.
deps:
	@bash scripts/install-deps.sh build

deps-test:
	@bash scripts/install-deps.sh test

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

configure-test: deps-test
	@cmake -S . -B $(BUILD_DIR) -DPELORIN_TESTS=ON -DPELORIN_WERROR=ON $(CMAKE_FLAGS) >/dev/null

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

# The unit and widget tests built with AddressSanitizer and UndefinedBehaviorSanitizer; the first
# finding ends its test with a stack trace. The end-to-end tests drive the real program under a
# virtual screen and stay with `make test`.
SANITIZE_ENV = ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0
SANITIZE_TESTS ?= -L 'unit|widget'
test-sanitize: deps-test
	@cmake -S . -B $(SANITIZE_DIR) -DPELORIN_TESTS=ON -DPELORIN_WERROR=ON -DPELORIN_SANITIZE=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	@cd $(SANITIZE_DIR) && $(SANITIZE_ENV) ctest --output-on-failure -j $(JOBS) --no-tests=error $(SANITIZE_TESTS)

bench: build-test
	@bash scripts/bench.sh $(BUILD_DIR)

screenshots: build-test
	@bash scripts/screenshots.sh $(BUILD_DIR)

format:
	@git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i

# What `make format` would change, as errors; changes nothing.
check-format: deps-test
	@git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

lint: deps-test
	@bash scripts/lint.sh

# The build folder holds no owner data; a ledger the earlier layout kept there is carried over
# by `make run` first, never deleted.
clean:
	@bash scripts/clean.sh $(BUILD_DIR)
	@bash scripts/clean.sh $(SANITIZE_DIR)
