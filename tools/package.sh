#!/usr/bin/env bash
# Installs what is missing, builds the program for release in build-release/
# and makes its Debian package there, checked by lintian. The last line of
# the output is the package's path; install it with `apt install ./<file>`.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh lintian
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release -j"$(nproc)" --target jxc
cd build-release
rm -f ./*.deb
cpack -G DEB >/dev/null
deb=$(ls ./*.deb)
# Fails on any error lintian finds; warnings are shown.
lintian "$deb"
echo "$(pwd)/${deb#./}"
