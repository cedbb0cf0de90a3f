#!/usr/bin/env bash
# The English translation is complete and English: lupdate over the sources
# leaves the checked-in .ts as it is (no new text left unfinished, no text
# gone from the code left behind), and no translation holds a Japanese
# character. Usage: check.sh LUPDATE TS-FILE SOURCE...
set -euo pipefail
lupdate=$1 ts=$2
shift 2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$ts" "$tmp/check.ts"
"$lupdate" -silent -locations none "$@" -ts "$tmp/check.ts"
if grep -n -B3 'type="unfinished"\|type="vanished"\|type="obsolete"' "$tmp/check.ts"; then
  echo "FAIL: $ts is not up to date with the code (refresh it: cmake --build build --target update_translations)" >&2
  exit 1
fi
if ! diff -u "$ts" "$tmp/check.ts"; then
  echo "FAIL: lupdate changes $ts (refresh it: cmake --build build --target update_translations)" >&2
  exit 1
fi
perl -CSD -0777 -ne '
  my $bad = 0;
  while (/<translation>(.*?)<\/translation>/sg) {
    my $text = $1;
    if ($text =~ /[\x{3000}-\x{30FF}\x{3400}-\x{9FFF}\x{FF00}-\x{FFEF}]/) {
      print STDERR "FAIL: Japanese in the translation \"$text\"\n";
      $bad = 1;
    }
  }
  exit $bad;' "$ts"
echo "$ts: complete"
