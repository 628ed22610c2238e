#!/usr/bin/env bash
# Formats the C++ sources with clang-format and the project's .clang-format.
#   scripts/format.sh           reformat every changed file (against main's last commit, or HEAD)
#   scripts/format.sh check     fail, naming the files, when a source differs from its format
#   scripts/format.sh all       reformat every source
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-changed}
all_sources() { git ls-files -- '*.cpp' '*.h'; }
changed_sources() { { git diff --name-only HEAD -- '*.cpp' '*.h'; git ls-files --others --exclude-standard -- '*.cpp' '*.h'; } | sort -u; }
case "$mode" in
  check)
    bad=()
    while read -r f; do
      [ -f "$f" ] || continue
      clang-format --style=file "$f" | cmp -s - "$f" || bad+=("$f")
    done < <(all_sources)
    if [ ${#bad[@]} -gt 0 ]; then
      echo "not formatted (run: bash scripts/format.sh all):"; printf '  %s\n' "${bad[@]}"; exit 1
    fi
    echo "formatting: $(all_sources | wc -l) files checked" ;;
  all)     all_sources | xargs clang-format --style=file -i ;;
  changed) changed_sources | while read -r f; do [ -f "$f" ] && clang-format --style=file -i "$f"; done ;;
  *) echo "usage: $0 [check|all]" >&2; exit 2 ;;
esac
