#!/usr/bin/env bash
# Checks what a Linux host gets from the built module (the module_dependencies
# test runs it): exactly the three entry points exported, and no librsvg or
# GLib among the libraries it loads, directly or through others. With
# --static-cairo (the module links the static cairo of
# tools/build-linux-cairo.sh) no libcairo, fontconfig or cairo's X11 libraries
# either; Debian's libcairo.so.2 brings those.
#   tools/check-module-linux.sh MODULE.so [--static-cairo]
set -euo pipefail
module=$1
forbidden='rsvg|glib|gobject|gio'
[ "${2:-}" = --static-cairo ] && forbidden+='|cairo|fontconfig|xcb-render|xcb-shm|Xrender'
failed=0

exports=$(nm -D --defined-only "$module" | awk '{ print $3 }' | sort | xargs)
echo "exports: $exports"
if [ "$exports" != "GetPluginFactory ModuleEntry ModuleExit" ]; then
  echo "FAIL: the module must export GetPluginFactory, ModuleEntry and ModuleExit, nothing else" >&2
  failed=1
fi

needed=$(readelf -d "$module" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | xargs)
loaded=$(ldd "$module" | awk '$1 ~ /^lib/ { print $1 }' | sort | xargs)
echo "needed: $needed"
echo "loaded: $loaded"
bad=$(tr ' ' '\n' <<<"$needed $loaded" | grep -E "^lib($forbidden)[-.0-9]" | sort -u | xargs || true)
if [ -n "$bad" ]; then
  echo "FAIL: the module loads $bad" >&2
  failed=1
fi
exit $failed
