#!/bin/sh
# Builds the sample setup package dist/kvxsetup.exe (package/kvxsetup.nsi)
# with NSIS 3 (Debian's nsis, installed by scripts/install-deps.sh).
#
# usage: package/build.sh
#
# What goes in, gathered in build/package/ first:
#   setup/  dist/kvxcfg.exe and the spare bcdedit
#   files/  the product files for c:\vesk\korv
# The sample build takes the product files of the end-to-end machines
# (tests/e2e/package) and the bench's stand-ins for the product's tools and
# for its own bcdedit (build/windows/doubles; the spare is told from the
# other bcdedit by bytes appended to it), so run scripts/build-windows.sh
# first. A real package takes the product's own files instead
# (README.md, "The sample setup package").
set -eu
cd "$(dirname "$0")/.."

exe=dist/kvxcfg.exe
doubles=build/windows/doubles
for need in "$exe" "$doubles/product/zp" "$doubles/path/bcdedit.exe"; do
  [ -f "$need" ] || { echo "package: $need is missing (scripts/build-windows.sh)" >&2; exit 2; }
done
scripts/install-deps.sh

stage=build/package
rm -rf "$stage"
mkdir -p "$stage/setup" "$stage/files"
cp "$exe" "$stage/setup/kvxcfg.exe"
{ cat "$doubles/path/bcdedit.exe"; printf 'KVX spare bcdedit'; } >"$stage/setup/bcdedit"
cp tests/e2e/package/* "$stage/files/"
for tool in zp fi fr xc ghost32.exe; do cp "$doubles/product/$tool" "$stage/files/"; done

here=$(pwd)
makensis -V2 -NOCD -DOUTFILE="$here/dist/kvxsetup.exe" -DSETUP_DIR="$here/$stage/setup" \
  -DFILES_DIR="$here/$stage/files" package/kvxsetup.nsi
echo "built dist/kvxsetup.exe ($(wc -c <dist/kvxsetup.exe) bytes)"
