#!/usr/bin/env bash
# Byte-identity check: runs every spanlab-cli command that produces output on the examples and
# on 1,000 generated models (gen_models.py), and compares the exit status and a hash of standard
# output, standard error and every written file with tests/identity/expected.txt, recorded from
# an earlier build. A refactoring must not change any of them.
#
# Usage: identity_test.sh [--regenerate] CLI SOURCE_DIR SCRATCH_DIR
#
#   identity_test.sh build/spanlab-cli . /tmp/identity
#       compares; on a difference it prints the command, the model file, the expected and the
#       actual record, and keeps the actual output under SCRATCH_DIR/differs.
#   identity_test.sh --regenerate build/spanlab-cli . /tmp/identity
#       runs everything twice, refuses if any output differs between the two runs, and writes
#       tests/identity/expected.txt. Do this when a change of output is intended (an engine
#       fix): with a build that has the fix but not the refactoring under test, then review
#       `git diff tests/identity/expected.txt` and commit it with the fix.
#
# Some 8,000 runs of the program, two at a time on two cores. The records do not depend on the
# build type (Debug and RelWithDebInfo builds give the same bytes); PDF creation dates are
# blanked and Qt's hash seed is fixed (identity.py says why). IDENTITY_JOBS sets how many
# commands run at once (default: the number of usable cores).
set -eu
if ! command -v python3 >/dev/null; then
  echo "identity_test.sh needs python3 (scripts/install-deps installs it)" >&2
  exit 1
fi
here=$(cd "$(dirname "$0")" && pwd)
exec python3 "$here/identity.py" "$@"
