#!/usr/bin/env bash
# The English translation against the code: lupdate over the sources leaves
# the .ts as it is (nothing new unfinished, nothing gone left behind), and no
# translation holds Japanese. Usage: check.sh LUPDATE TS-FILE SOURCE...
set -euo pipefail
lupdate=$1 ts=$2
shift 2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$ts" "$tmp/check.ts"
"$lupdate" -silent -locations none "$@" -ts "$tmp/check.ts"
diff -u "$ts" "$tmp/check.ts" || { echo "FAIL: refresh $ts (target update_translations)" >&2; exit 1; }
! grep -n 'type="unfinished"\|type="vanished"\|type="obsolete"' "$ts" || { echo "FAIL: unfinished entries" >&2; exit 1; }
perl -CSD -0777 -ne 'while (/<translation>(.*?)<\/translation>/sg) {
  my $t = $1; if ($t =~ /[\x{3000}-\x{30FF}\x{3400}-\x{9FFF}\x{FF00}-\x{FFEF}]/) { print STDERR "FAIL: Japanese in \"$t\"\n"; $bad = 1 } }
  END { exit($bad // 0) }' "$ts"
