# Two entry points: `make run` builds and starts the game, `make test` builds
# and runs every test, once with g++ and once with clang. Both install missing
# Debian packages first. `make run` builds only the game with its Media folder
# (the target shoalrunner depends on it), `make bench` only the benchmarks,
# `make build` the whole optimised tree.
JOBS    ?= $(shell nproc)
# The builds that CMake's makefiles run below this one would each say which
# folder they enter and leave: lines that tell the user nothing.
MAKEFLAGS += --no-print-directory
RELEASE := build/release
TESTING := build/test
CLANG   := build/clang

# The clang build treats its warnings as errors, so the tree stays clean under
# both compilers of Debian 12.
CLANG_OPTIONS := -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_COMPILE_WARNING_AS_ERROR=ON

# $(call sanitized-tests,<build folder>,<cmake options>): the whole tree with
# AddressSanitizer and UndefinedBehaviorSanitizer, then every test.
define sanitized-tests
	@cmake -S . -B $(1) -DCMAKE_BUILD_TYPE=Debug -DVANTRIC_SANITIZE=ON $(2) >/dev/null
	@cmake --build $(1) -j $(JOBS)
	@cd $(1) && ctest --output-on-failure -j $(JOBS) --timeout 300
endef

.PHONY: run test test-clang build release deps bench clean

deps:
	@scripts/install-deps

release: deps
	@cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release >/dev/null

build: release
	@cmake --build $(RELEASE) -j $(JOBS)

run: release
	@cmake --build $(RELEASE) -j $(JOBS) --target shoalrunner
	@cd $(RELEASE)/bin && ./shoalrunner

test: deps
	$(call sanitized-tests,$(TESTING))
	$(call sanitized-tests,$(CLANG),$(CLANG_OPTIONS))

# The clang half of `make test` alone.
test-clang: deps
	$(call sanitized-tests,$(CLANG),$(CLANG_OPTIONS))

bench: release
	@cmake --build $(RELEASE) -j $(JOBS) --target benchmarks
	@for b in $(RELEASE)/bench/*; do [ -f "$$b" ] && [ -x "$$b" ] && echo "== $$b" && "$$b"; done; true

clean:
	rm -rf build
