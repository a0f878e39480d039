#!/usr/bin/env bash
# The built binaries' dynamic section: no run-path entry that a planted library could use
# (an empty entry means the working directory; a relative one, wherever the user stands),
# libcurl needed only by the HTTP transport module, never by what every command loads, and
# OpenSSL by none of them (the cipher and digest come from nettle, which libcups loads anyway).
#
#   linked_libraries_test.sh HTTP_MODULE BINARY...
set -u
module="$1"
shift
failed=0
for file in "$module" "$@"; do
  dynamic=$(readelf -d "$file") || { echo "$file: not readable as ELF"; failed=1; continue; }
  paths=$(sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]$/\2/p' <<<"$dynamic")
  if [ -n "$paths" ]; then
    # read drops one trailing empty field: the added ":" keeps a real last empty entry.
    IFS=: read -r -a entries <<<"$paths:"
    for entry in "${entries[@]}"; do
      case "$entry" in
        /* | '$ORIGIN' | '$ORIGIN'/*) ;;
        *) echo "$file: run path '$paths' has entry '$entry'"; failed=1; break ;;
      esac
    done
  fi
  if grep -qE 'NEEDED.*(libcrypto|libssl)' <<<"$dynamic"; then
    echo "$file: needs OpenSSL"
    failed=1
  fi
  if [ "$file" != "$module" ] && grep -q 'NEEDED.*libcurl' <<<"$dynamic"; then
    echo "$file: needs libcurl at start-up"
    failed=1
  fi
done
grep -q 'NEEDED.*libcurl' <<<"$(readelf -d "$module")" || { echo "$module: no libcurl"; failed=1; }
exit $failed
