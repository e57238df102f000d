#!/usr/bin/env bash
# Runs a Windows program under Wine with the test run's own prefix.
# WINEPREFIX comes from the caller (scripts/test.sh sets it up once).
set -u
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
exec wine "$@"
