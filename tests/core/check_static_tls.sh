#!/usr/bin/env bash
# Every library that a run loads and unloads (plug-ins, the event model,
# AIDA systems) keeps its thread-local data in static TLS. A dynamic TLS
# block of an unloaded library is left in the leak checker's records and
# makes its scan at exit crash.
set -u
build=$1
status=0
count=0
for library in "$build"/lib/*.zlk "$build"/lib/Tavrel.so "$build"/lib/libCastrine.so "$build"/tests/plugins/*; do
  [ -e "$library" ] || continue
  count=$((count + 1))
  readelf -lW "$library" | grep -q '^ *TLS ' || continue
  if ! readelf -dW "$library" | grep -q 'STATIC_TLS'; then
    echo "$library has thread-local data outside static TLS"
    status=1
  fi
done
echo "checked $count libraries"
[ "$count" -gt 0 ] || status=1
exit $status
