#!/usr/bin/env bash
# Writes dist/calvorin_<version>-1_amd64.deb from the release build in
# build/release (tools/build.sh release makes it) with Debian's own tools:
#   /usr/lib/vst3/Calvorin.vst3/          the VST 3 bundle
#   /usr/lib/lv2/Calvorin.lv2/            the LV2 bundle, when the build made one
#   /usr/bin/calvorin                     the command-line tool
#   /usr/share/man/man1/calvorin.1.gz     its manual page
#   /usr/share/doc/calvorin/copyright, changelog.Debian.gz
# Binaries are stripped as Debian's helpers strip them; Depends comes from
# dpkg-shlibdeps. The version is the checkout's VERSION with Debian revision 1.
#   tools/package-deb.sh [BUILD-DIR]      prints the package's path last
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
vst3=$build/Calvorin.vst3
# The LV2 bundle, where the build writes it (its path is in the build's cache).
lv2=$(sed -n 's/^CALVORIN_LV2_BUNDLE_DIR:INTERNAL=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
[ -n "$lv2" ] && [ -d "$lv2" ] || lv2=
cli=$build/tools/calvorin/calvorin
module=$vst3/Contents/x86_64-linux/Calvorin.so
for f in "$module" "$vst3/Contents/Resources/moduleinfo.json" "$cli"; do
  [ -f "$f" ] || { echo "package-deb: $f is missing: run tools/build.sh release" >&2; exit 1; }
done
for tool in dpkg-deb dpkg-shlibdeps strip; do
  command -v "$tool" >/dev/null || { echo "package-deb: $tool not found (tools/setup.sh --test installs it)" >&2; exit 2; }
done

upstream=$(head -n 1 "$root/VERSION")
version=$upstream-1
arch=$(dpkg --print-architecture)
maintainer='Fenmarch <packages@fenmarch.invalid>'
# Reproducible dates: the commit's time, else the VERSION file's.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || stat -c %Y "$root/VERSION")}
export SOURCE_DATE_EPOCH=$epoch

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/stage
umask 022
mkdir -p "$stage/DEBIAN" "$stage/usr/bin" "$stage/usr/lib/vst3" "$stage/usr/share/man/man1" \
         "$stage/usr/share/doc/calvorin"

cp -r "$vst3" "$stage/usr/lib/vst3/"
# The LV2 bundle joins the package as soon as the build makes it.
formats="VST 3"
plugins=" This package installs the VST 3 plug-in into /usr/lib/vst3,"
if [ -n "$lv2" ]; then
  mkdir -p "$stage/usr/lib/lv2"
  cp -r "$lv2" "$stage/usr/lib/lv2/Calvorin.lv2"
  formats="VST 3 and LV2"
  plugins=" This package installs the VST 3 plug-in into /usr/lib/vst3 and
 the LV2 plug-in into /usr/lib/lv2,"
fi
install -m 0755 "$cli" "$stage/usr/bin/calvorin"
# As dh_strip: no debug information, no compiler notes; plug-in objects keep
# only their dynamic symbols.
find "$stage/usr/lib" -type f -name '*.so' -exec strip --remove-section=.comment --remove-section=.note \
  --strip-unneeded {} +
find "$stage/usr/lib" -type f -name '*.so' -exec chmod 0644 {} +
strip --remove-section=.comment --remove-section=.note "$stage/usr/bin/calvorin"

gzip -9n < "$root/tools/calvorin/calvorin.1" > "$stage/usr/share/man/man1/calvorin.1.gz"
cp "$root/tools/debian/copyright" "$stage/usr/share/doc/calvorin/copyright"
{
  echo "calvorin ($version) unstable; urgency=medium"
  echo
  echo "  * Release $upstream."
  echo
  echo " -- $maintainer  $(LC_ALL=C date -u -R -d "@$epoch")"
} | gzip -9n > "$stage/usr/share/doc/calvorin/changelog.Debian.gz"

# Dependencies from the binaries' dynamic sections and Debian's shlibs files.
mkdir -p "$work/src/debian"
printf 'Source: calvorin\nMaintainer: %s\n\nPackage: calvorin\nArchitecture: any\n' "$maintainer" \
  > "$work/src/debian/control"
mapfile -t objects < <(find "$stage/usr" -type f \( -name '*.so' -o -path '*/usr/bin/*' \))
depends=$(cd "$work/src" && dpkg-shlibdeps -O "${objects[@]/#/-e}" 2>"$work/shlibdeps.log" |
  sed -n 's/^shlibs:Depends=//p') || { cat "$work/shlibdeps.log" >&2; exit 1; }
[ -n "$depends" ] || { echo "package-deb: dpkg-shlibdeps found no dependencies" >&2; cat "$work/shlibdeps.log" >&2; exit 1; }

installed_size=$(du -k -s --apparent-size "$stage/usr" | cut -f1)
cat > "$stage/DEBIAN/control" <<CONTROL
Package: calvorin
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $installed_size
Depends: $depends
Section: sound
Priority: optional
Description: three-band upward and downward compressor ($formats plug-in)
 Calvorin splits the signal into three bands and compresses each one both
 downward, above its upper threshold, and upward, below its lower threshold,
 with its own vector-drawn editor.
 .
$plugins
 where hosts such as Ardour, Bitwig Studio and REAPER find them, and the
 calvorin tool, which renders audio files through the plug-in from the
 command line.
CONTROL
(cd "$stage" && find usr -type f -printf '%P\n' | LC_ALL=C sort | sed 's#^#usr/#' | xargs -d '\n' md5sum) \
  > "$stage/DEBIAN/md5sums"
find "$stage" -type d -exec chmod 0755 {} +
find "$stage/DEBIAN" -type f -exec chmod 0644 {} +
find "$stage" -exec touch -h -d "@$epoch" {} +

mkdir -p "$root/dist"
deb=$root/dist/calvorin_${version}_$arch.deb
rm -f "$root"/dist/calvorin_*_"$arch".deb # one package in dist/: this version's
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "package-deb: $deb"
