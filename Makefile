# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# CI builds with warnings as errors, and its tests also build, install and
# remove the Debian package and cross-build the Windows kernel.
ifneq ($(CI),)
CMAKE_FLAGS += -DTARVELO_WERROR=ON
DEPS_FLAGS += --package --windows
endif

.PHONY: all deps configure build run test bench package windows-kernel clean

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

# The Debian package, in $(BUILD_DIR).
package: DEPS_FLAGS += --package
package: build
	@cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/tarvelo_*.deb

# TarveloV1_Kernel.dll for 32-bit and 64-bit Windows.
windows-kernel: DEPS_FLAGS += --windows
windows-kernel: deps
	@scripts/build-windows-kernel i686 $(BUILD_DIR)-win32
	@scripts/build-windows-kernel x86_64 $(BUILD_DIR)-win64
	@ls $(BUILD_DIR)-win32/bin/TarveloV1_Kernel.dll $(BUILD_DIR)-win64/bin/TarveloV1_Kernel.dll

clean:
	rm -rf $(BUILD_DIR)
