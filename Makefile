# The two commands of the README. Each installs what is missing (Debian packages only),
# configures and builds, then runs the program or every test.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
SANITIZE_BUILD_DIR ?= build-asan
RELEASE_BUILD_DIR ?= build-release
FUZZ_BUILD_DIR ?= build-fuzz
COVERAGE_BUILD_DIR ?= build-coverage
FUZZ_SECONDS ?= 60
COUNT ?= 1000
# Warnings are errors in our own test builds, not in a build for use or for a package.
WERROR ?= OFF

.PHONY: run test bench build deps-run deps-test deps-bench configure format test-sanitized test-release fuzz \
	crashloop coverage

run: deps-run configure
	cmake --build $(BUILD_DIR) --target chimewell
	$(BUILD_DIR)/app/chimewell

test: WERROR = ON
test: deps-test configure
	cmake --build $(BUILD_DIR)
	cd $(BUILD_DIR) && ctest --output-on-failure
	$(MAKE) --no-print-directory test-sanitized test-release fuzz

# Every test again, on a build with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitized: deps-test
	cmake -S . -B $(SANITIZE_BUILD_DIR) -G Ninja -DCHIMEWELL_SANITIZE=ON -DCHIMEWELL_WERROR=ON \
		$(CMAKE_FLAGS) > /dev/null
	cmake --build $(SANITIZE_BUILD_DIR)
	cd $(SANITIZE_BUILD_DIR) && ctest --output-on-failure

# Everything again as a packager builds it (Release: GCC's optimiser warns where the default
# build does not), with every test but the end-to-end ones, which the first build ran.
test-release: deps-test
	cmake -S . -B $(RELEASE_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHIMEWELL_WERROR=ON \
		$(CMAKE_FLAGS) > /dev/null
	cmake --build $(RELEASE_BUILD_DIR)
	cd $(RELEASE_BUILD_DIR) && ctest --output-on-failure -E '^e2e_'

# The settings format, WSJT-X's datagrams and the XML-RPC replies under libFuzzer, FUZZ_SECONDS
# each; built with clang, apart from the rest.
fuzz: deps-test
	cmake -S fuzz -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 > /dev/null
	cmake --build $(FUZZ_BUILD_DIR)
	FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz.sh $(FUZZ_BUILD_DIR)

# Line coverage of the program code by the unit and widget tests (the end-to-end tests run the
# program from outside and count nothing here); not part of `make test`.
coverage: deps-test
	cmake -S . -B $(COVERAGE_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCHIMEWELL_COVERAGE=ON \
		$(CMAKE_FLAGS) > /dev/null
	cmake --build $(COVERAGE_BUILD_DIR)
	find $(COVERAGE_BUILD_DIR) -name '*.gcda' -delete
	cd $(COVERAGE_BUILD_DIR) && ctest --output-on-failure -E '^e2e_'
	gcovr --root . --object-directory $(COVERAGE_BUILD_DIR) --exclude-directories 'build.*/tests' \
		--exclude '(tests|fuzz|bench)/' --exclude '.*_autogen/' --exclude '$(COVERAGE_BUILD_DIR)/' \
		--print-summary --txt $(COVERAGE_BUILD_DIR)/coverage.txt

# COUNT closes of the real program, each cut short by SIGKILL at a random moment; not in CI.
crashloop: deps-test configure
	cmake --build $(BUILD_DIR) --target chimewell
	COUNT=$(COUNT) scripts/crashloop.sh $(BUILD_DIR)/app/chimewell

bench: deps-bench configure
	cmake --build $(BUILD_DIR) --target chimewell bare_clock
	scripts/bench.sh $(BUILD_DIR)

# The program, its launcher, menu entry, icon, AppStream data and manual page under PREFIX
# (DESTDIR is honoured); sudo only when PREFIX is not writable.
PREFIX ?= /usr/local
SUDO_INSTALL ?= $(shell [ "$$(id -u)" = 0 ] || [ -n "$(DESTDIR)" ] || [ -w "$(PREFIX)" ] || echo sudo)
# The soak's length in program hours, and how much faster than real time its clock runs.
SOAK_HOURS ?= 2
SOAK_SPEED ?= 5

.PHONY: install package deps-package soak screenshots

install: deps-run configure
	cmake --build $(BUILD_DIR) --target chimewell chimewell_compressed_docs
	$(SUDO_INSTALL) cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# A Debian package in $(BUILD_DIR); its dependencies come from the program's libraries.
package: deps-package configure
	cmake --build $(BUILD_DIR) --target chimewell chimewell_compressed_docs
	cd $(BUILD_DIR) && cpack -G DEB

deps-package:
	scripts/setup-deps.sh package

# SOAK_HOURS of program time at SOAK_SPEED times real speed (24 minutes by default); not in CI.
soak: deps-test configure
	cmake --build $(BUILD_DIR) --target chimewell
	SOAK_HOURS=$(SOAK_HOURS) SOAK_SPEED=$(SOAK_SPEED) scripts/soak.sh $(BUILD_DIR)/app/chimewell

# The README's pictures of every window, taken under Xvfb (QT_SCALE_FACTOR is honoured).
screenshots: deps-test configure
	cmake --build $(BUILD_DIR) --target chimewell
	scripts/screenshots.sh $(BUILD_DIR)/app/chimewell docs

deps-run:
	scripts/setup-deps.sh run

deps-test:
	scripts/setup-deps.sh test

deps-bench:
	scripts/setup-deps.sh bench

configure:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCHIMEWELL_WERROR=$(WERROR) $(CMAKE_FLAGS) > /dev/null

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
