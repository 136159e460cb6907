#!/usr/bin/env bash
# The metainfo's newest release, the first listed, must be the version being
# built, with a real date: software centres show it as the current version,
# and the package's changelog and manual page take their date from it.
# Usage: check-release-notes.sh <metainfo.xml> <project-version>
set -euo pipefail

metainfo=$1
version=$2

# The <releases> element, then its first <release ...> start tag.
first=$(tr '\n' ' ' < "$metainfo" | sed -n 's/.*<releases>//p' | grep -o '<release [^>]*>' | head -n 1 || true)
[ -n "$first" ] || { echo "FAIL: $metainfo lists no release"; exit 1; }

listed=$(sed -n 's/.* version="\([^"]*\)".*/\1/p' <<< "$first")
date=$(sed -n 's/.* date="\([^"]*\)".*/\1/p' <<< "$first")

if [ "$listed" != "$version" ]; then
  echo "FAIL: the newest release in $metainfo is '$listed', the project is $version:"
  echo "      add <release version=\"$version\" date=\"YYYY-MM-DD\"/> at the top of <releases>"
  exit 1
fi
if ! [[ $date =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}$ ]] || ! date -d "$date" > /dev/null 2>&1; then
  echo "FAIL: release $version in $metainfo has no valid date ('$date')"
  exit 1
fi
echo "Release $version, dated $date, is the newest in $(basename "$metainfo")"
