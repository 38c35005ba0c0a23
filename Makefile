# Quorvane: one-command set-up, build, run, test and benchmark on Debian.
PACKAGES := cmake g++ make pkg-config qt6-base-dev qt6-base-private-dev qt6-charts-dev libsqlite3-dev libicu-dev sqlite3 libtag1-dev \
            libfluidsynth-dev timgm6mb-soundfont \
            libbenchmark-dev fonts-liberation fonts-dejavu-core \
            fonts-noto-core fonts-noto-cjk fonts-noto-color-emoji fonts-symbola poppler-utils \
            desktop-file-utils dpkg-dev file lintian
JOBS     ?= $(shell nproc)
BUILD    := build
ASAN     := build-asan
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
PREFIX   ?= /usr/local

.PHONY: all deps build run test test-plain test-asan bench crashtest install package format clean

all: build

# Install what is missing; refresh the package lists once if an install fails.
deps:
	@missing=$$(for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  export DEBIAN_FRONTEND=noninteractive; \
	  $(SUDO) apt-get install -y -qq $$missing >/dev/null 2>&1 || \
	  { $(SUDO) apt-get update -qq && $(SUDO) apt-get install -y -qq $$missing; }; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD)/bin && ./quorvane

test: test-plain test-asan

test-plain: build
	cmake --build $(BUILD) -j $(JOBS) --target quorvane_tests
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON >/dev/null
	cmake --build $(ASAN) -j $(JOBS) --target all quorvane_tests
	cd $(ASAN) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# The program in $(PREFIX)/bin, its files in $(PREFIX)/share (DESTDIR is honoured).
install: build
	@if [ -w "$(DESTDIR)$(PREFIX)" ] || [ ! -e "$(DESTDIR)$(PREFIX)" ]; then \
	  DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX); \
	else \
	  $(SUDO) env DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX); \
	fi

# A Debian package in build/, its Depends worked out by dpkg-shlibdeps, checked by lintian
# (any error or warning fails, as does a binary built without the hardening flags).
package: build
	rm -f $(BUILD)/quorvane_*.deb
	cd $(BUILD) && cpack -G DEB
	tools/lintian.sh $(BUILD)/quorvane_*.deb

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target quorvane-bench
	$(BUILD)/bin/quorvane-bench --benchmark_counters_tabular=true

# Not part of `make test` (which kills the maintenance 40 times): kills a writer 200 times,
# and the repair and delete-all 200 times, checking each time that nothing is lost.
crashtest: build
	cmake --build $(BUILD) -j $(JOBS) --target crash_writer crash_files
	tools/crashtest.sh $(BUILD) writes 200
	tools/crashtest.sh $(BUILD) maintenance 200
	tools/crashtest.sh $(BUILD) files 100
	tools/crashtest.sh $(BUILD) keys 50
	tools/crashtest.sh $(BUILD) salvage 20

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN)
