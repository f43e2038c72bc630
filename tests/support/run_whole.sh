#!/bin/sh
# Runs one test program whole: every case in one process, one after another,
# as a developer who starts the program by hand sees it. The arguments are
# the command (the program, with its environment through env).
#
# Passes only when the program exits with 0 after its last case. GoogleTest
# creates the file named by TEST_PREMATURE_EXIT_FILE before the first case
# and removes it after the last, so a case that ends the whole process (the
# orderly end's exit with status 0, say) fails the run instead of cutting it
# short unseen.
marker=$(mktemp "${TMPDIR:-/tmp}/vantric-whole-run-XXXXXX") || exit 1
TEST_PREMATURE_EXIT_FILE=$marker "$@"
status=$?
if [ -e "$marker" ]; then
    rm -f "$marker"
    echo "run whole: the program ended before its last case (exit status $status)" >&2
    [ "$status" -ne 0 ] || status=1
fi
exit "$status"
