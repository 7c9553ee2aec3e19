SHELL := /bin/bash
# Dorvane: the two commands a newcomer types are `make run` and `make test`.
# Each installs what is missing first (Debian packages, with apt-get).

BUILD      ?= build
HOST       := $(BUILD)/host
X64        := $(BUILD)/x64
X86        := $(BUILD)/x86
DIST       ?= dist
VERSION    := $(shell sed -nE 's/^project.Dorvane VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
SETUP_DIR  := $(BUILD)/setup
SETUP      := $(SETUP_DIR)/Dorvane-$(VERSION)-setup.exe
TEST_SETUP := $(SETUP_DIR)/Dorvane-$(VERSION)-setup-amd64.exe
MAKENSIS    = makensis -WX -V2 -DVERSION=$(VERSION) -DBUILD_X64=$(abspath $(X64)) -DBUILD_X86=$(abspath $(X86)) \
              -DHELP_DIR=$(abspath help)
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
# Tests CTest runs at once: the end-to-end scenarios mostly wait on Wine, each on a display and in a
# prefix of its own, so three a core keep the machine busy (at most 8: each takes memory).
CTEST_JOBS ?= $(shell n=$$(nproc 2>/dev/null || echo 2); echo $$((3 * n < 8 ? 3 * n : 8)))
CMAKE_HOST := cmake -S . -B $(HOST) -DCMAKE_BUILD_TYPE=Debug -DDORVANE_WINDOWS_BUILD=$(abspath $(X64)) \
              -DDORVANE_WINDOWS_BUILD_X86=$(abspath $(X86)) -DDORVANE_SETUP=$(abspath $(SETUP)) \
              -DDORVANE_SETUP_AMD64=$(abspath $(TEST_SETUP))
CROSS      = cmake -S . -B $(1) --toolchain cmake/mingw-$(2).cmake -DCMAKE_BUILD_TYPE=Release \
             -DDORVANE_MKICO=$(abspath $(HOST))/mkico

# Debian packages the build and the checks need, with a command that proves each.
PACKAGES := cmake:cmake g++:g++ make:make libgtest-dev:/usr/include/gtest/gtest.h \
            mingw-w64:x86_64-w64-mingw32-g++ wine:wine wine64:/usr/lib/wine/wine64 xvfb:Xvfb xdotool:xdotool \
            imagemagick:import nsis:makensis clang:clang++ llvm:llvm-cov \
            libclang-rt-14-dev:/usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a

.PHONY: all deps mkico host x64 x86 setup test test-host test-e2e run dist clean

all: host x64 x86

deps:
	@missing=""; for entry in $(PACKAGES); do \
	    package=$${entry%%:*}; probe=$${entry#*:}; \
	    if [ "$${probe#/}" != "$$probe" ]; then [ -e "$$probe" ] || missing="$$missing $$package"; \
	    else command -v "$$probe" >/dev/null 2>&1 || missing="$$missing $$package"; fi; \
	done; \
	sudo=""; [ "$$(id -u)" -eq 0 ] || sudo=sudo; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $$sudo apt-get update && DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y $$missing; \
	fi
	@# Wine's 32-bit half runs the x86 build; without it those checks report themselves skipped.
	@# It is 32-bit Linux code: on a kernel that cannot run that, installing it would only make
	@# `wine` itself fail, so it is left out.
	@if [ ! -e /usr/lib/wine/wineserver32 ]; then \
	    if ! bash e2e/driver/can_run_x86.sh; then \
	        echo "This kernel cannot run 32-bit programs: wine32:i386 is not installed, the x86 end-to-end checks will be skipped"; \
	    else \
	        sudo=""; [ "$$(id -u)" -eq 0 ] || sudo=sudo; \
	        echo "Installing: wine32:i386"; \
	        { $$sudo dpkg --add-architecture i386 && $$sudo apt-get update && \
	          DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y wine32:i386; } || \
	        echo "wine32:i386 could not be installed: the x86 end-to-end checks will be skipped"; \
	    fi; \
	fi

# The icon maker alone: all the cross builds take from the host build.
mkico: deps
	@$(CMAKE_HOST) >/dev/null
	@cmake --build $(HOST) -j $(JOBS) --target mkico

# The host suite, its sanitized copy, the reliability checks and the fuzz targets.
host: mkico
	@cmake --build $(HOST) -j $(JOBS)

x64: mkico
	@$(call CROSS,$(X64),x64) >/dev/null
	@cmake --build $(X64) -j $(JOBS)

x86: mkico
	@$(call CROSS,$(X86),x86) >/dev/null
	@cmake --build $(X86) -j $(JOBS)

# Every test: the host suite and the real program under Wine, side by side. Ends with one line
# "N passed, N failed".
test: host x64 x86 setup
	@cd $(HOST) && ctest --output-on-failure -j $(CTEST_JOBS) $(CTEST_ARGS) 2>&1 | tee ctest.log; \
	status=$${PIPESTATUS[0]}; \
	summary=$$(grep -E '[0-9]+ tests failed out of [0-9]+' ctest.log | tail -1); \
	failed=$$(echo "$$summary" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/'); \
	total=$$(echo "$$summary" | sed -E 's/.* tests failed out of ([0-9]+).*/\1/'); \
	if [ -z "$$summary" ]; then echo "0 passed, 1 failed"; exit 1; fi; \
	skipped=$$(grep -c '\*\*\*Skipped' ctest.log); \
	echo "$$((total - failed - skipped)) passed, $$failed failed$$( [ "$$skipped" -eq 0 ] || echo ", $$skipped skipped")"; \
	exit $$status

# The host suite, plain (label host) and under the sanitizers (label host-asan):
# -L takes a regular expression.
test-host: host
	@cd $(HOST) && ctest -L host --output-on-failure

test-e2e: x64 x86 setup
	@cd $(HOST) && ctest --test-dir e2e --output-on-failure -j $(CTEST_JOBS)

# Builds what it runs (the icon maker, the x64 programs and the virtual drive) while Wine makes the
# run's private prefix, then starts the program in it.
run: mkico
	@bash e2e/driver/run.sh --prefix $(abspath $(X64)) $(abspath $(BUILD))/run & prefix=$$!; \
	{ $(call CROSS,$(X64),x64) >/dev/null && cmake --build $(X64) -j $(JOBS); }; built=$$?; \
	wait $$prefix && [ $$built -eq 0 ] && bash e2e/driver/run.sh $(abspath $(X64)) $(abspath $(BUILD))/run

# The setup program (32-bit, so that every Windows starts it) carrying both builds, and the four
# executables. A second setup, built from the same script as a 64-bit program, is for testing
# under a Wine that cannot run 32-bit programs; it is not shipped.
setup: x64 x86
	@mkdir -p $(SETUP_DIR)
	@$(MAKENSIS) -DOUTFILE=$(abspath $(SETUP)) installer/Dorvane.nsi
	@$(MAKENSIS) -DSETUP_AMD64 -DOUTFILE=$(abspath $(TEST_SETUP)) installer/Dorvane.nsi

# SHA256SUMS beside them lets anyone check a download (`sha256sum -c SHA256SUMS`) or a build of
# their own against it: the same tree builds the same bytes (`make test` checks that).
DIST_FILES := $(notdir $(SETUP)) x64/Dorvane.exe x64/Ambergate.exe x86/Dorvane.exe x86/Ambergate.exe

dist: setup
	@mkdir -p $(DIST)/x64 $(DIST)/x86
	@cp $(SETUP) $(DIST)/
	@cp $(X64)/Dorvane.exe $(X64)/Ambergate.exe $(DIST)/x64/
	@cp $(X86)/Dorvane.exe $(X86)/Ambergate.exe $(DIST)/x86/
	@cd $(DIST) && sha256sum $(DIST_FILES) >SHA256SUMS
	@echo "Made:"; ls -l $(addprefix $(DIST)/,$(DIST_FILES) SHA256SUMS) $(TEST_SETUP) | \
	    awk '{ printf "  %9d  %s\n", $$5, $$NF }'

clean:
	rm -rf $(BUILD) $(DIST)
