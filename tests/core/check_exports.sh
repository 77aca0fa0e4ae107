#!/usr/bin/env bash
# Every module plug-in of the build exports the two entry points by their
# original-ABI mangled names.
set -u
build=$1
status=0
count=0
for plugin in "$build"/lib/*.zlk "$build"/tests/plugins/*.zlk; do
  [ -e "$plugin" ] || continue
  # Test plug-ins named *NoDel* lack delObject on purpose.
  case "$(basename "$plugin")" in Corvane.zlk|*NoDel*.zlk) continue ;; esac
  count=$((count + 1))
  symbols=$(nm -D --defined-only "$plugin")
  for entry in _Z9newObjectRSs _Z9delObjectPv; do
    if ! grep -q " T $entry\$" <<<"$symbols"; then
      echo "$plugin does not export $entry"
      status=1
    fi
  done
done
echo "checked $count plug-ins"
[ "$count" -gt 0 ] || status=1
exit $status
