# Two entry points: `make run` builds and starts the game, `make test` builds
# and runs every test, once with g++ and once with clang. Both install missing
# Debian packages first.
JOBS    ?= $(shell nproc)
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

.PHONY: run test test-clang build deps bench clean

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RELEASE) -j $(JOBS)

run: build
	@if [ -x $(RELEASE)/bin/shoalrunner ]; then cd $(RELEASE)/bin && ./shoalrunner; \
	 else echo "built everything; the game is not there yet"; fi

test: deps
	$(call sanitized-tests,$(TESTING))
	$(call sanitized-tests,$(CLANG),$(CLANG_OPTIONS))

# The clang half of `make test` alone.
test-clang: deps
	$(call sanitized-tests,$(CLANG),$(CLANG_OPTIONS))

bench: build
	@for b in $(RELEASE)/bench/*; do [ -f "$$b" ] && [ -x "$$b" ] && echo "== $$b" && "$$b"; done; true

clean:
	rm -rf build
