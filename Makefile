# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# CI builds with warnings as errors, and its tests also build, install and
# remove the Debian package, cross-build the Windows kernel, and cross-build
# the Windows programs with their tests and installer and run them under Wine.
ifneq ($(CI),)
CMAKE_FLAGS += -DTARVELO_WERROR=ON
DEPS_FLAGS += --package --windows --windows-app
endif

# The sanitizer build, the fuzzers and the analysers keep trees of their own.
ASAN_DIR = build-asan
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
SOAK_CYCLES ?= 10000

.PHONY: all deps configure build run test asan-test fuzz soak lint bench package \
        windows-kernel windows-app windows-test clean

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
ifneq ($(CI),)
	@$(MAKE) --no-print-directory soak
	@$(MAKE) --no-print-directory asan-test
	@$(MAKE) --no-print-directory windows-test
endif

# The whole suite once more, built with AddressSanitizer, UndefinedBehavior-
# Sanitizer and LeakSanitizer (the asan preset, in build-asan).
asan-test: deps
	@cmake --preset asan $(CMAKE_FLAGS) >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

# Each libFuzzer target for FUZZ_SECONDS, built with clang in FUZZ_DIR.
fuzz: DEPS_FLAGS += --fuzz
fuzz: deps
	@scripts/run-fuzz $(FUZZ_DIR) $(FUZZ_SECONDS)

# The long soak of the main window: SOAK_CYCLES cycles (about 4 minutes
# for 10,000 on two cores; the suite itself runs 500).
soak: build
	@TARVELO_SOAK_CYCLES=$(SOAK_CYCLES) ctest --test-dir $(BUILD_DIR) --output-on-failure -L soak

# clang-tidy and cppcheck on our code, with the build's compile commands.
lint: DEPS_FLAGS += --lint
lint: configure
	@scripts/run-lint $(BUILD_DIR)

bench: DEPS_FLAGS += --bench
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

# The Windows programs, their folder, zip and MSI, in $(BUILD_DIR)-windows
# (the first run builds Qt for Windows into a cache: about 30 minutes).
windows-app: DEPS_FLAGS += --windows-app
windows-app: deps
	@scripts/build-windows-app $(BUILD_DIR)-windows

# The Windows build's test suite under Wine, and the installer end to end.
windows-test: DEPS_FLAGS += --windows-app
windows-test: windows-app build
	@scripts/test-windows $(BUILD_DIR)-windows $(BUILD_DIR)/bin

clean:
	rm -rf $(BUILD_DIR)
