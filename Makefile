# Two commands for a newcomer: `make run` and `make test`. Both install what is missing first.
JOBS  ?= $(shell nproc)
# Warnings are errors in CI; locally they only warn.
WERROR := $(if $(CI),ON,OFF)
# Where `make install` puts Tizo; DESTDIR, when set, is put before it.
PREFIX ?= /usr/local
LUPDATE ?= /usr/lib/qt6/bin/lupdate

.PHONY: all deps configure build run test test-debian13 install uninstall package capturas traducciones format clean

all: build

deps:
	@scripts/deps.sh

configure: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=$(PREFIX) \
	  -DTIZO_WERROR=$(WERROR) >/dev/null

build: configure
	cmake --build build -j $(JOBS)

run: configure
	@if [ -z "$$DISPLAY" ]; then \
	  echo "No display: Tizo needs a graphical session (DISPLAY is not set)." >&2; exit 1; \
	fi
	cmake --build build -j $(JOBS) --target tizo tizo_lrelease
	./build/tizo

# Tests run on a build with AddressSanitizer and UndefinedBehaviorSanitizer, the end-to-end ones
# included: they start their own virtual X servers.
test: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTIZO_SANITIZE=ON -DTIZO_WERROR=$(WERROR) >/dev/null
	cmake --build build-test -j $(JOBS)
	cd build-test && ctest --output-on-failure -j $(JOBS)

# The same on Debian 13 (Qt 6.8, KWin 6, GNOME 48), in a root of its own made with mmdebstrap and
# kept in build-debian13/ (as root).
test-debian13:
	scripts/debian13.sh

# The program, its menu entry, icons, metadata, manual page and translations.
install: build
	DESTDIR="$(DESTDIR)" cmake --install build --prefix $(PREFIX)

uninstall:
	@test -f build/install_manifest.txt || { echo "Nothing installed from build/." >&2; exit 1; }
	xargs -d '\n' -a build/install_manifest.txt rm -fv

# The Debian package of a release build: build-release/tizo_<version>_<arch>.deb.
package: deps
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DTIZO_TESTS=OFF -DTIZO_WERROR=$(WERROR) >/dev/null
	cmake --build build-release -j $(JOBS)
	cd build-release && cpack -G DEB
	@ls build-release/*.deb

# The README's pictures, taken on a virtual X server: docs/*.png.
capturas: build
	/usr/bin/python3 scripts/capturas.py build/tizo docs

# Brings the translation files up to date with the texts in the code; then translate what is new.
traducciones:
	$(LUPDATE) -locations none -no-obsolete -source-language es \
	  platform core shapes palette canvas app -ts translations/*.ts

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build build-test build-release
