#!/usr/bin/env bash
# The Debian packages that `make test` needs. Prints nothing and ends with
# status 0 when all are installed. Otherwise, as root, it installs the
# missing ones with apt-get; as anyone else it prints the one command that
# installs them and ends with status 2.
set -euo pipefail

# The sanitizer and libFuzzer runtime must match the Clang that builds:
# the installed one, or the one Debian's clang package would bring.
clang_major() {
  local version=""
  if command -v clang >/dev/null; then
    version=$(clang --version | sed -n 's/.*clang version \([0-9][0-9]*\).*/\1/p' | head -n 1)
  elif command -v apt-cache >/dev/null; then
    version=$(apt-cache depends clang 2>/dev/null |
      sed -n 's/.*Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n 1)
  fi
  echo "${version:-14}"
}

packages=(
  cmake make g++ git                   # the build; git lists the sources for clang-format
  clang "libclang-rt-$(clang_major)-dev" # AddressSanitizer, ThreadSanitizer, libFuzzer
  libgtest-dev                         # the unit tests
  libcsv-dev                           # vexo-import
  clang-format                         # make test-format
  mandoc groff-base                    # make test-man
  valgrind                             # make memcheck
  python3 sqlite3                      # the Python test drivers; the guide runs sqlite3
  lintian man-db                       # make test-package, run by make test as root
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "make test needs Debian packages that are missing; run as root:" \
    "apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 2
fi
echo "make test: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
