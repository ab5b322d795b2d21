# The two set-up commands:  make run  and  make test.
# Both install the Debian packages they need when they are missing.

BUILD_DIR ?= build
SAN_DIR   ?= build-sanitize
JOBS      ?= $(shell nproc)
CMAKE_GEN  = -G Ninja

.PHONY: run test test-sanitize build bench demo fuzz package fresh-check mutate clean

build:
	@tools/install-deps.sh run
	cmake -S . -B $(BUILD_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DCORVANE_BENCH=OFF
	cmake --build $(BUILD_DIR) --target corvane

run: build
	@tools/run-corvane.sh $(BUILD_DIR)/corvane

test:
	@tools/install-deps.sh test
	cmake -S . -B $(BUILD_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DCORVANE_BENCH=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# Address and undefined-behaviour sanitizers, in a build folder of their own.
test-sanitize:
	@tools/install-deps.sh test
	cmake -S . -B $(SAN_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
	  -DCORVANE_SANITIZE=ON -DBUILD_TESTING=ON -DCORVANE_BENCH=OFF
	cmake --build $(SAN_DIR) -j $(JOBS)
	ctest --test-dir $(SAN_DIR) --output-on-failure -j $(JOBS)

bench:
	@tools/install-deps.sh test
	cmake -S . -B $(BUILD_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON
	cmake --build $(BUILD_DIR) --target corvane_bench corvane_cli_bench corvane_startup_bench
	$(BUILD_DIR)/bench/corvane_bench
	$(BUILD_DIR)/bench/corvane_cli_bench
	$(BUILD_DIR)/bench/corvane_startup_bench

# libFuzzer on every reader of outside input (clang, ASan, UBSan), each for
# FUZZ_SECONDS, seeded from tests/data/fuzz, examples/ and data/.  A crash
# stops with the input saved in build-fuzz/crashes/: add it to
# tests/data/fuzz/<target>/ so that it stays a regression test.
FUZZ_SECONDS ?= 60
FUZZ_DIR     ?= build-fuzz
fuzz:
	@tools/install-deps.sh fuzz
	cmake -S . -B $(FUZZ_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DCORVANE_FUZZ=ON -DCORVANE_GUI=OFF -DBUILD_TESTING=OFF -DCORVANE_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	tools/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# A Debian package of the program (build/corvane_<version>_<arch>.deb).
package:
	@tools/install-deps.sh test
	cmake -S . -B $(BUILD_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DCORVANE_BENCH=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cd $(BUILD_DIR) && cpack -G DEB

# The clean-room check: make test, make run and make package in a brand-new
# minimal Debian 12, then the package installed into another (root only).
fresh-check:
	@tools/fresh-check.sh

# Mutation check (not part of CI or make test): each mutant of
# tools/mutants.tsv applied alone to a copy in build-mutate/, rebuilt, run
# against the logic and batch-tool tests, reverted; prints each fate and
# the score.  MUTATE_ARGS="--only E01,M12" runs some, "--check" finds them.
mutate:
	@tools/install-deps.sh mutate
	nice -n 10 /usr/bin/python3 tools/mutate.py $(MUTATE_ARGS)

# The batch tool on the shipped example panel files and pipe runs.
demo:
	@tools/install-deps.sh run
	cmake -S . -B $(BUILD_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD_DIR) --target corvane-cli
	$(BUILD_DIR)/corvane-cli examples/*.PW?
	$(BUILD_DIR)/corvane-cli run --data-dir data examples/*.cvrun

clean:
	rm -rf $(BUILD_DIR) $(SAN_DIR) build-mutate
