# Brimvale: `make run` plays, `make test` builds and runs every test.
# Both first install the Debian packages the build needs (as root).

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX     ?= $(CURDIR)/$(BUILD)/stage

PACKAGES := cmake g++ make libglfw3-dev libgl-dev libstb-dev libgtest-dev libbenchmark-dev \
            libx11-dev libgl1-mesa-dri xvfb xdotool imagemagick fonts-dejavu-core

.PHONY: all deps build run test asan-test install clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" -ne 0 ]; then \
	    echo "Missing packages:$$missing"; \
	    echo "Install them as root: apt-get install$$missing"; \
	    exit 1; \
	  fi; \
	  echo "Installing:$$missing"; \
	  export DEBIAN_FRONTEND=noninteractive; \
	  apt-get update -q && apt-get install -y -q --no-install-recommends $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=$(PREFIX)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Plays from the same layout an installation has.
run: build
	cmake --install $(BUILD) --prefix $(PREFIX) > /dev/null
	$(PREFIX)/bin/brimvale

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBRIMVALE_SANITIZE=ON \
	      -DBRIMVALE_GAME=OFF -DBRIMVALE_BENCH=OFF

asan-test: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -LE slow

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) asan-test

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
