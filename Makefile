# Quick start: `make run` and `make test` (as root or with sudo).
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
# Most tests wait for a program's screen or sound rather than compute: twice
# as many at once as there are cores keeps the cores busy.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) * 2 )))
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
PACKAGES := $(shell grep -v '^\#' tools/packages.txt)

.PHONY: deps build run test test-sanitize clean install uninstall package

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: $$missing"; \
	  $(SUDO) apt-get update -q && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/varlo

# The whole suite twice: as built for use, then under AddressSanitizer and
# UBSan. The sanitizer build runs at the lowest priority beside the first
# build and its tests: the tests mostly wait for screens and sound, and the
# build takes the cores they leave idle. It runs in a session of its own, to
# be stopped whole; the kernel gives each session an equal share of the
# cores unless the session's own priority is lowered too.
test: deps
	$(ASAN_CONFIGURE)
	setsid sh -c 'echo 19 > /proc/self/autogroup 2>/dev/null; exec nice -n 19 cmake --build $(ASAN_BUILD) -j $(JOBS)' \
	  >$(ASAN_BUILD)/build.log 2>&1 & asan=$$!; \
	trap 'kill -- -$$asan 2>/dev/null' EXIT; trap 'exit 130' INT TERM; \
	$(MAKE) build && ctest --test-dir $(BUILD) --output-on-failure -j $(TEST_JOBS) --timeout 300 || exit; \
	wait $$asan || { tail -n 40 $(ASAN_BUILD)/build.log; echo "The sanitizer build failed: see $(ASAN_BUILD)/build.log"; exit 1; }; \
	$(ASAN_TESTS)

# The sanitizer pass alone (an empty VARLO_TEST_DIRS builds every test dir).
test-sanitize: deps
	$(ASAN_CONFIGURE)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	$(ASAN_TESTS)

ASAN_CONFIGURE = cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVARLO_SANITIZE=ON -DVARLO_TEST_DIRS=
ASAN_TESTS = ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(TEST_JOBS) --timeout 300

# Only the installed programs are built; DESTDIR is honoured as usual.
PREFIX ?= /usr/local
install: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target varlo_installed
	cmake --install $(BUILD) --prefix "$(PREFIX)"

# Removes what the last `make install` copied, listed without DESTDIR (the
# paths may hold spaces).
uninstall:
	while IFS= read -r f || [ -n "$$f" ]; do rm -f -- "$(DESTDIR)$$f"; done < $(BUILD)/install_manifest.txt

# The Debian package varlo_<version>_amd64.deb in $(BUILD).
package: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target varlo_installed
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
