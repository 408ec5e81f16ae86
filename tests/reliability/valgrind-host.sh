#!/bin/sh
# The test host without sanitizers under Valgrind's memcheck: any memory
# error or leak makes the host's exit code 1, which fails the scenario.
exec "${PIXLOR_VALGRIND:-valgrind}" --error-exitcode=1 --leak-check=full \
  --errors-for-leak-kinds=definite,indirect,possible "$PIXLOR_MEMCHECK_HOST" "$@"
