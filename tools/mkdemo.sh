#!/usr/bin/env bash
# The demo package of "./lumara.sh run" without a file: 12 wells, three targets on three
# channels, positive fractions from 0.5 % to 60 % (rising for one target, falling for another),
# a last well with almost none, and wells 3 and 4 of one sample, which View Results shows as a
# merged row. Deterministic.
#
#   tools/mkdemo.sh MKPACKAGE OUT
#
# Makes OUT and OUT.truth.json with the project's generator MKPACKAGE, unless OUT was made by
# this same recipe before: this file, the generator and the data folder's recognition files
# (the droplets the package stores are those the recognition finds with them), all unchanged.
set -euo pipefail
mkpackage="$1"
out="$2"
data="$(dirname "$mkpackage")/../data"
recipe="$(cat "${BASH_SOURCE[0]}" "$mkpackage" "$data"/*analysisparams.json "$data"/template/* | cksum)"
if [ -f "$out" ] && [ "$(cat "$out.recipe" 2>/dev/null)" = "$recipe" ]; then
  exit 0
fi
fractions=(0.005 0.01 0.02 0.04 0.08 0.12 0.18 0.25 0.33 0.45 0.60)
plan=()
for i in "${!fractions[@]}"; do
  plan+=(--well-fraction "$((i + 1)):FAM-Target=${fractions[$i]}"
         --well-fraction "$((i + 1)):HEX-Target=${fractions[$((10 - i))]}")
done
plan+=(--well-fraction 12:FAM-Target=0.0005 --well-fraction 12:HEX-Target=0.0005
       --well-fraction 12:CY5-Target=0.0005 --well-sample 4:S3)
mkdir -p "$(dirname "$out")"
partial="$(dirname "$out")/partial-$(basename "$out")"
echo "Making the demo package $out"
"$mkpackage" -q -w 12 -d 2000 --seed 11 \
  -t FAM-Target:FAM:0.1 -t HEX-Target:HEX:0.1 -t CY5-Target:CY5:0.1 "${plan[@]}" "$partial"
mv "$partial" "$out"
mv "$partial.truth.json" "$out.truth.json"
echo "$recipe" > "$out.recipe"
