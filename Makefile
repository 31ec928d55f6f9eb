# Two commands for a newcomer: `make run` and `make test`. Both install what is missing first.
JOBS  ?= $(shell nproc)
# Warnings are errors in CI; locally they only warn.
WERROR := $(if $(CI),ON,OFF)

.PHONY: all deps configure build run test format clean

all: build

deps:
	@scripts/deps.sh

configure: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIZO_WERROR=$(WERROR) >/dev/null

build: configure
	cmake --build build -j $(JOBS)

run: configure
	@if [ -z "$$DISPLAY" ]; then \
	  echo "No display: Tizo needs a graphical session (DISPLAY is not set)." >&2; exit 1; \
	fi
	cmake --build build -j $(JOBS) --target tizo
	./build/tizo

# Tests run on a build with AddressSanitizer and UndefinedBehaviorSanitizer, the end-to-end ones
# included: they start their own virtual X servers.
test: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTIZO_SANITIZE=ON -DTIZO_WERROR=$(WERROR) >/dev/null
	cmake --build build-test -j $(JOBS)
	cd build-test && ctest --output-on-failure -j $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build build-test
