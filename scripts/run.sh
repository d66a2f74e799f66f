#!/usr/bin/env bash
# Sets up and builds as scripts/setup.sh does, then starts Qurimo with the bundled library.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [ -x build/qurimo ]; then
    exec build/qurimo "$@"
fi
exec build/qurimo-lib --help
