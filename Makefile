# The two commands of the README. Each installs what is missing (Debian packages only),
# configures and builds, then runs the program or every test.
BUILD_DIR ?= build
CMAKE_FLAGS ?=

.PHONY: run test bench build deps-run deps-test configure format

run: deps-run configure
	cmake --build $(BUILD_DIR) --target chimewell
	$(BUILD_DIR)/app/chimewell

test: deps-test configure
	cmake --build $(BUILD_DIR)
	cd $(BUILD_DIR) && ctest --output-on-failure

bench: deps-test configure
	cmake --build $(BUILD_DIR) --target chimewell bare_clock
	scripts/bench.sh $(BUILD_DIR)

deps-run:
	scripts/setup-deps.sh run

deps-test:
	scripts/setup-deps.sh test

configure:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) > /dev/null

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
