# Two entry points: `make run` builds and starts the game, `make test` builds
# and runs every test. Both install missing Debian packages first.
JOBS    ?= $(shell nproc)
RELEASE := build/release
TESTING := build/test

.PHONY: run test build deps bench clean

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RELEASE) -j $(JOBS)

run: build
	@if [ -x $(RELEASE)/bin/shoalrunner ]; then cd $(RELEASE)/bin && ./shoalrunner; \
	 else echo "built everything; the game is not there yet"; fi

test: deps
	@cmake -S . -B $(TESTING) -DCMAKE_BUILD_TYPE=Debug -DVANTRIC_SANITIZE=ON >/dev/null
	@cmake --build $(TESTING) -j $(JOBS)
	@cd $(TESTING) && ctest --output-on-failure -j $(JOBS) --timeout 300

bench: build
	@for b in $(RELEASE)/bench/*; do [ -f "$$b" ] && [ -x "$$b" ] && echo "== $$b" && "$$b"; done; true

clean:
	rm -rf build
