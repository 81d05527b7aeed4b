# Front door: `make demo` prints the example report, `make test` runs every test.
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: test-format package test-package build demo dependencies test test-unit test-plain test-man test-asan test-tsan test-fuzz memcheck fuzz coverage bench clean

build:
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build build -j$(JOBS)

# vexo alone, without the test framework, in a build directory of its own.
demo:
	cmake -S . -B build-demo -DCMAKE_BUILD_TYPE=Release -DVEXO_BUILD_TESTS=OFF $(CMAKE_FLAGS) >/dev/null
	cmake --build build-demo -j$(JOBS) --target vexo
	./build-demo/app/vexo -Bexamples/pricelist -Iexamples/pricelist.txt -Fexamples/company.txt -OCON

# Every test, after the Debian packages they need (installed when missing, as
# root). As root the packages of vexo are also built, installed, tried and
# removed; anyone else is told that this check was left out.
test: dependencies
	$(MAKE) test-format test-unit test-plain test-man test-asan test-tsan memcheck test-fuzz
	@if [ "$$(id -u)" -eq 0 ]; then $(MAKE) test-package; \
	else echo "make test: the package check needs root and was left out (make test-package)"; fi

dependencies:
	@bash scripts/test-dependencies.sh

# Every C++ source is in the house style of .clang-format.
test-format:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

# Every man page must pass both formatters' checks without a word.
test-man:
	for page in docs/*.1; do \
	  mandoc -T lint -W warning $$page && test -z "$$(groff -man -ww -z $$page 2>&1)" || exit 1; \
	done

test-unit: build
	cd build && ctest --output-on-failure -j$(JOBS)

# The unit and end-to-end tests again with every fast path of the text loops
# off, so that the plain loops are held by the same tests.
test-plain:
	cmake -S . -B build-plain -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXO_FAST_PATHS=OFF
	cmake --build build-plain -j$(JOBS)
	cd build-plain && ctest --output-on-failure -j$(JOBS) -LE install

# Every test again under AddressSanitizer and UndefinedBehaviorSanitizer, built with Clang.
test-asan:
	cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DVEXO_SANITIZE=address
	cmake --build build-asan -j$(JOBS)
	cd build-asan && ctest --output-on-failure -j$(JOBS)

# The thread library under ThreadSanitizer.
test-tsan:
	cmake -S . -B build-tsan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DVEXO_SANITIZE=thread
	cmake --build build-tsan -j$(JOBS) --target threads_tests
	cd build-tsan && ctest -L threads --output-on-failure -j$(JOBS)

# Micro-benchmarks, then vexo against a Perl format report and awk '{print}'
# on the same data (RECORDS records, median of 5 runs), then the cost of a
# line as the blank and its values grow, then vexo-import on those records.
RECORDS ?= 200000
bench:
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVEXO_BUILD_TESTS=OFF -DVEXO_BUILD_BENCH=ON $(CMAKE_FLAGS) >/dev/null
	cmake --build build-bench -j$(JOBS) --target vexo vexo_micro
	./build-bench/bench/vexo_micro --benchmark_min_time=0.2
	bash bench/compare.sh build-bench/app/vexo $(RECORDS)
	bash bench/scale.sh build-bench/app/vexo
	if cmake --build build-bench --target help | grep vexo-import >/dev/null; then \
	  cmake --build build-bench -j$(JOBS) --target vexo-import && \
	  bash bench/import.sh build-bench/import/vexo-import build-bench/app/vexo $(RECORDS); \
	fi

# Every end-to-end case again with vexo under Valgrind's memcheck: an error or
# a leak fails the case.
memcheck: build
	cd build && VEXO_WRAPPER="$(CURDIR)/tests/e2e/memcheck.sh" ctest -L e2e --output-on-failure -j$(JOBS)

# The libFuzzer targets of fuzz/, each run for SECONDS seconds from its seed
# corpus; the test run gives each a short smoke run.
SECONDS ?= 60
FUZZ_TARGETS = data_file blank_load report_run util
fuzz:
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXO_BUILD_TESTS=OFF -DVEXO_SANITIZE=fuzzer >/dev/null
	cmake --build build-fuzz -j$(JOBS) $(addprefix --target ,$(addsuffix _fuzz,$(FUZZ_TARGETS)))
	for t in $(FUZZ_TARGETS); do \
	  mkdir -p build-fuzz/corpus/$$t && \
	  build-fuzz/fuzz/$${t}_fuzz -max_total_time=$(SECONDS) -timeout=10 -rss_limit_mb=1024 \
	    -max_len=16384 -close_fd_mask=1 -print_final_stats=1 -artifact_prefix=build-fuzz/$$t- \
	    build-fuzz/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done

test-fuzz:
	$(MAKE) fuzz SECONDS=20

# Line and branch coverage of the whole suite, per directory.
coverage:
	cmake -S . -B build-coverage -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DVEXO_COVERAGE=ON >/dev/null
	cmake --build build-coverage -j$(JOBS)
	rm -rf build-coverage/profiles
	cd build-coverage && LLVM_PROFILE_FILE="$(CURDIR)/build-coverage/profiles/%p-%m.profraw" ctest -j$(JOBS) -E install
	bash tests/coverage_summary.sh build-coverage

# Two Debian packages: vexo (the stripped programs, their man pages, the
# guide and the examples) and libvexo-dev (the libraries, headers and CMake
# package files).
package:
	cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DVEXO_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr $(CMAKE_FLAGS) >/dev/null
	cmake --build build-package -j$(JOBS)
	cd build-package && cpack

# Checks both packages with lintian, installs them on this machine (root),
# tries the programs and the libraries, and removes them.
test-package: package
	bash tests/package_check.sh build-package/vexo_*.deb build-package/libvexo-dev_*.deb

clean:
	rm -rf build build-plain build-demo build-bench build-asan build-tsan build-fuzz build-coverage build-package
