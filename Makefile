# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# CI builds with warnings as errors.
ifneq ($(CI),)
CMAKE_FLAGS += -DTARVELO_WERROR=ON
endif

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@scripts/install-deps $(DEPS_FLAGS)

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: DEPS_FLAGS += --viewer
run: build
	@scripts/run-app $(BUILD_DIR)/bin

test: build
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

bench: build
	@scripts/run-bench $(BUILD_DIR)/bin

clean:
	rm -rf $(BUILD_DIR)
