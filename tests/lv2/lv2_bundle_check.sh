#!/usr/bin/env bash
# The built LV2 bundle as Debian's LV2 tools read it:
#   - lv2ls lists the plug-in;
#   - lv2info shows the 26 parameter controls with their names, ranges and
#     defaults, the enable switch, the latency output and the X11 UI;
#   - the parameter ports carry the units the plug-in shows (dB, %);
#   - sord_validate finds no error against the schemas shipped in lv2-dev.
#   lv2_bundle_check.sh BUNDLES_DIR
# Exit status 77 (skip) while a tool is missing.
set -uo pipefail
bundles=$1
uri=urn:fenmarch:calvorin
for tool in lv2ls lv2info sord_validate sordi; do
  command -v "$tool" >/dev/null || { echo "skip: $tool is not installed"; exit 77; }
done
export LV2_PATH=$bundles
fail=0
check() { # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi
}

check "lv2ls lists $uri" grep -qx "$uri" <(lv2ls)
info=$(lv2info "$uri" 2>&1)

# name|minimum|maximum|default, in port order from index 4.
expected="Pre-gain Low|-90|24|0
Pre-gain Mid|-90|24|0
Pre-gain High|-90|24|0
Post-gain Low|-90|24|0
Post-gain Mid|-90|24|0
Post-gain High|-90|24|0
Pull Threshold Low|-80|6|-40
Pull Threshold Mid|-80|6|-40
Pull Threshold High|-80|6|-40
Push Threshold Low|-80|6|-30
Push Threshold Mid|-80|6|-30
Push Threshold High|-80|6|-30
Width Low|0|200|100
Width Mid|0|200|100
Width High|0|200|100
Excite Low|0|100|0
Excite Mid|0|100|0
Excite High|0|100|0
Mode Low|0|2|0
Mode Mid|0|2|0
Mode High|0|2|0
Time|0|1000|100
Depth|0|100|50
Mix|0|100|100
Out Gain|-90|24|0
Bypass|0|1|0"
# lv2info's port blocks as the same lines, for the control inputs but the enable switch.
actual=$(awk '
  /^\tPort [0-9]+:/ { flush(); control = 0; input = 0; name = ""; min = max = def = "" }
  /lv2core#ControlPort/ { control = 1 }
  /lv2core#InputPort/ { input = 1 }
  /^\t\tName:/ { sub(/^\t\tName: +/, ""); name = $0 }
  /^\t\tMinimum:/ { min = $2 + 0 }
  /^\t\tMaximum:/ { max = $2 + 0 }
  /^\t\tDefault:/ { def = $2 + 0 }
  function flush() { if (control && input && name != "Enabled") print name "|" min "|" max "|" def }
  END { flush() }' <<<"$info")
check "26 parameter controls with their names, ranges and defaults" [ "$actual" = "$expected" ]
[ "$actual" = "$expected" ] || diff <(echo "$expected") <(echo "$actual")

check "the enable switch" grep -q 'Symbol: *enabled' <<<"$info"
check "latency reported by its port" grep -q 'Has latency: *yes, reported by port 31' <<<"$info"
check "the X11 UI" grep -q 'urn:fenmarch:calvorin:ui' <<<"$info"
check "presets DEFAULT, TORV, UP A LOT" [ "$(grep -A3 '^	Presets:' <<<"$info" | sed 's/^[[:space:]]*//' | grep -v Presets | sort | tr '\n' ,)" = "DEFAULT,TORV,UP A LOT," ]

# Units, read as triples: every gain and threshold in dB, widths, excites,
# Time, Depth and Mix in %; Mode has scale points LR, MID, SIDE.
triples=$(sordi "$bundles/Calvorin.lv2/Calvorin.ttl" 2>/dev/null)
count_unit() { grep -c "<http://lv2plug.in/ns/extensions/units#unit> <http://lv2plug.in/ns/extensions/units#$1>" <<<"$triples"; }
check "13 ports in dB" [ "$(count_unit db)" = 13 ]
check "9 ports in %" [ "$(count_unit pc)" = 9 ]
check "scale points LR, MID, SIDE on each Mode" [ "$(grep -cE '"(LR|MID|SIDE)"' <<<"$triples")" = 9 ]

schemas=$(dpkg -L lv2-dev 2>/dev/null | grep '\.ttl$')
check "sord_validate finds no error" sord_validate $schemas "$bundles"/Calvorin.lv2/*.ttl
exit $fail
