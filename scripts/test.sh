#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up and builds as scripts/setup.sh does, then runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh desktop-file-utils appstream groff lintian dpkg-dev file librsvg2-bin \
    bash-completion acl
ctest --test-dir build --output-on-failure "$@"
