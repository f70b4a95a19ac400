# The two set-up commands on a fresh Debian 12 machine are `make run` and
# `make test`; both install the Debian packages first.
BUILD ?= build
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
CMAKE_FLAGS ?=

.PHONY: all deps configure build test run fuzz fuzz-slow bench install package clean

all: build

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_INSTALL_PREFIX=$(PREFIX) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: CMAKE_FLAGS += -DARDENO_WERROR=ON
test: build
	bash scripts/run-tests.sh $(BUILD)

run: build
	bash scripts/run-editor.sh $(BUILD)

fuzz: deps
	bash scripts/run-fuzz.sh

fuzz-slow: deps
	FUZZ_SLOW=1 bash scripts/run-fuzz.sh


bench: build
	bash scripts/run-bench.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX) $(if $(DESTDIR),,)

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
