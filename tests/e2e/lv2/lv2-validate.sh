#!/usr/bin/env bash
# lv2-validate.sh BUNDLE: the bundle through Debian's LV2 tools, as a
# packager would check it.
#   1. sordi parses every .ttl: lv2_validate does NOT fail on a Turtle syntax
#      error (it prints "error: ... bad verb", skips the file and still says
#      "Found 0 errors", exit 0), so each file is parsed first;
#   2. lv2_validate (sord_validate with the LV2 schemas of /usr/lib/lv2):
#      clean means exit 0 and no stderr line starting with "error";
#   3. lv2info loads the bundle: the plug-in, its 35 ports and its presets.
# Prints "lv2-validate: clean" when all three pass.
set -uo pipefail
bundle=$(cd "$1" && pwd) || exit 1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rc=0
for f in "$bundle"/*.ttl; do
  sordi "file://$f" >/dev/null 2>"$work/sordi.err" || { rc=1; echo "sordi: $f:"; cat "$work/sordi.err"; }
done
lv2_validate "$bundle"/*.ttl >"$work/validate.out" 2>"$work/validate.err" || rc=1
grep -q '^error' "$work/validate.err" && { rc=1; grep -A3 '^error' "$work/validate.err" | head -n 40; }
echo "lv2_validate: $(cat "$work/validate.out")"
# A folder holding only this bundle: lilv looks at everything in LV2_PATH.
mkdir "$work/lv2" && ln -s "$bundle" "$work/lv2/quillet.lv2"
LV2_PATH=$work/lv2 lv2info https://vellum-music.com/plugins/quillet >"$work/info.out" 2>&1 || rc=1
ports=$(grep -c '^	Port [0-9]*:' "$work/info.out")
presets=$(sed -n '/Presets:/,/^$/p' "$work/info.out" | grep -v 'Presets:' | grep '[A-Za-z]' | sort -u | wc -l)
echo "lv2info: $ports ports, $presets presets"
[ "$ports" = 35 ] && [ "$presets" = 10 ] || { rc=1; head -n 40 "$work/info.out"; }
[ "$rc" = 0 ] && echo "lv2-validate: clean"
exit $rc
