#!/bin/sh
# Runs a shell job file that a test under Wine wrote (the prefix maps no drive to /).
exec /bin/sh "$1"
