# Dunmoor: every entry point first installs what it needs (scripts/bootstrap).
# win32 before win64: the slow Windows suite ends the run.
PRESETS ?= native native-asan win32 win64
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
# The build make demo runs: win64, or win32 for the 32-bit program and library.
ARCH ?= win64

.PHONY: all bootstrap build test demo bench package fuzz clean $(addprefix build-,$(PRESETS)) $(addprefix test-,$(PRESETS))

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap $(addprefix build-,$(PRESETS))

$(addprefix build-,$(PRESETS)): build-%:
	@mkdir -p build
	@cmake --preset $* >build/configure-$*.log 2>&1 || { cat build/configure-$*.log; exit 1; }
	@cmake --build --preset $* -j $(JOBS) >build/build-$*.log 2>&1 || { tail -n 60 build/build-$*.log; exit 1; }
	@echo "built $*"

$(addprefix test-,$(PRESETS)): test-%: build-%
	@scripts/test-preset $* $(JOBS)

test: bootstrap
	@mkdir -p build && rm -f build/test-*.summary
	@set -e; for p in $(PRESETS); do $(MAKE) --no-print-directory test-$$p; done
	@scripts/analyse $(JOBS)
	@if [ -x scripts/fuzz ]; then scripts/fuzz smoke; fi
	@scripts/test-preset --summary

demo: bootstrap
	@case "$(ARCH)" in win64|win32) ;; *) echo "make demo: ARCH is win64 or win32" >&2; exit 2 ;; esac
	@mkdir -p build
	@$(MAKE) --no-print-directory build-$(ARCH)
	@scripts/demo $(CURDIR)/build/$(ARCH)

bench: bootstrap
	@mkdir -p build
	@$(MAKE) --no-print-directory build-native build-win64
	@scripts/bench

# Signed with Authenticode when given a certificate (scripts/sign):
#   make package SIGN_PFX=cert.pfx SIGN_PASSWORD_FILE=password.txt [SIGN_TIMESTAMP_URL=url]
# cpack runs in the build directory: the files are handed on by full path.
package: bootstrap
	@mkdir -p build
	@set -e; for p in win64 win32; do $(MAKE) --no-print-directory build-$$p; \
	  (cd build/$$p && SIGN_PFX="$(if $(SIGN_PFX),$(abspath $(SIGN_PFX)))" \
	    SIGN_PASSWORD_FILE="$(if $(SIGN_PASSWORD_FILE),$(abspath $(SIGN_PASSWORD_FILE)))" \
	    SIGN_TIMESTAMP_URL="$(SIGN_TIMESTAMP_URL)" cpack -G ZIP >/dev/null && ls -1 $$PWD/*.zip); done

fuzz: bootstrap
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz run

clean:
	rm -rf build
