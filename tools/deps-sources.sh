# Sourced by the scripts that build third-party libraries from Debian's source
# packages (tools/build-win64-deps.sh, tools/build-linux-cairo.sh): the pinned
# versions, fetching and checking the upstream tarballs, cairo's option set,
# folding static .pc files, and logged build steps.
#
# The caller sets root (the checkout), deps_tool (its name in messages) and
# started (SECONDS at its start); before fetching or building also work and
# logs. Downloads are shared by all such builds, in build/deps-downloads.
#
# Debian's patches are not applied: the upstream .orig tarballs are built as
# released. Downloads are checked against the signed Sources index (through
# apt) and the .orig tarball against the .dsc, also when reused from a cache.

# source package, Debian version to fetch, Linux -dev package built from it
pins=(
  "libpng1.6 1.6.39-2+deb12u5 libpng-dev"
  "pixman 0.42.2-1 libpixman-1-dev"
  "freetype 2.12.1+dfsg-5+deb12u4 libfreetype-dev"
  "cairo 1.16.0-7 libcairo2-dev"
  "libsndfile 1.2.0-1+deb12u1 libsndfile1-dev"
)
downloads="$root/build/deps-downloads"

die() { echo "$deps_tool: $*" >&2; exit 1; }
say() { echo "$deps_tool: $*" >&2; }
elapsed() { local s=$((SECONDS - started)); printf '%dm%02ds' $((s / 60)) $((s % 60)); }

# Upstream part of a Debian version: no epoch, no Debian revision.
upstream_of() { local v=${1#*:}; echo "${v%-*}"; }

# The pinned Debian version of a source package.
pin_version() {  # <srcpkg>
  local pin src ver
  for pin in "${pins[@]}"; do
    read -r src ver _ <<<"$pin"
    [ "$src" = "$1" ] && { echo "$ver"; return; }
  done
  die "no pin for $1"
}

# The installed -dev packages must be the pinned upstream versions: the Linux
# build draws with them (or, for cairo, with the same version built from the
# tarball), and Windows must draw the same pixels. Checks the pins of the
# given source packages, or all.
check_linux_versions() {  # [srcpkg...]
  local pin src ver dev installed bad=0
  for pin in "${pins[@]}"; do
    read -r src ver dev <<<"$pin"
    [ $# -eq 0 ] || [[ " $* " == *" $src "* ]] || continue
    installed=$(dpkg-query -W -f='${Version}' "$dev" 2>/dev/null || true)
    if [ -z "$installed" ]; then
      say "$dev is not installed (run tools/setup.sh)"; bad=1
    elif [ "$(upstream_of "$installed")" != "$(upstream_of "$ver")" ]; then
      say "$dev is $installed on this machine, but the pins say $src $ver;" \
          "update the pins in tools/deps-sources.sh so every build uses the same version"
      bad=1
    fi
  done
  [ "$bad" -eq 0 ] || die "library versions do not match; nothing built"
}

# ---------------------------------------------------------------- sources ---

# Expected SHA-256 of a file of a source package, from the signed Sources index.
index_sha256() {  # <srcpkg=version> <file>
  local uris
  # in an empty folder: apt leaves out files already present in the current one
  mkdir -p "$work/uris" && rm -rf "${work:?}/uris/"*
  uris=$(cd "$work/uris" && apt-get --print-uris source "$1" 2>/dev/null) ||
    die "apt knows no source package $1 (are the deb-src entries of tools/setup.sh in place, and apt-get update done?)"
  awk -v f="$2" '$2 == f && $4 ~ /^SHA256:/ { sub(/^SHA256:/, "", $4); print $4 }' <<<"$uris"
}

# SHA-256 of a file as listed in a .dsc's Checksums-Sha256 field.
dsc_sha256() {  # <dsc> <file>
  awk -v f="$2" '/^Checksums-Sha256:/ { on = 1; next } /^[^ ]/ { on = 0 }
                 on && $3 == f { print $1 }' "$1"
}

file_ok() {  # <file> <sha256>
  [ -n "$2" ] && [ -f "$1" ] && [ "$(sha256sum "$1" | cut -d' ' -f1)" = "$2" ]
}

# Fetches (or reuses) a source package's .dsc and .orig tarball and prints the
# tarball's path. Only those two files are needed: Debian's diff is not
# applied, and a missing diff in the archive (seen for pixman) is no error.
fetch_orig() {  # <srcpkg> <version>
  local src=$1 ver=$2 dsc dsc_sum orig orig_sum
  dsc="$downloads/${src}_${ver#*:}.dsc"
  mkdir -p "$downloads"
  dsc_sum=$(index_sha256 "$src=$ver" "$(basename "$dsc")")
  [ -n "$dsc_sum" ] || die "the Sources index lists no $(basename "$dsc")"
  if ! file_ok "$dsc" "$dsc_sum"; then
    say "$src: downloading $src=$ver"
    if ! (cd "$downloads" && flock 8 && apt-get source --download-only "$src=$ver") \
         >"$logs/$src.download.log" 2>&1 8>"$downloads/.lock"; then
      say "$src: apt-get source reported errors; using what arrived if it checks out:"
      grep '^E:' "$logs/$src.download.log" | head -n 3 >&2 || true
    fi
  fi
  file_ok "$dsc" "$dsc_sum" || die "$src: $(basename "$dsc") missing or not the one the signed index lists"
  orig=$(awk '/^Checksums-Sha256:/ { on = 1; next } /^[^ ]/ { on = 0 }
              on && $3 ~ /\.orig\.tar\.[a-z0-9]+$/ { print $3 }' "$dsc")
  [ -n "$orig" ] || die "$src: no .orig tarball listed in $(basename "$dsc")"
  orig_sum=$(dsc_sha256 "$dsc" "$orig")
  if ! file_ok "$downloads/$orig" "$orig_sum"; then
    die "$src: $orig missing or its SHA-256 differs from $(basename "$dsc") (log: $logs/$src.download.log)"
  fi
  echo "$downloads/$orig"
}

unpack() {  # <tarball> <dest>; the tarball's single top folder becomes <dest>
  rm -rf "$2" && mkdir -p "$2"
  tar -xf "$1" -C "$2" --strip-components=1
}

# ------------------------------------------------------------------ build ---

# cairo 1.16 builds with autotools only. Everything but image surfaces,
# FreeType fonts (without fontconfig: faces come from memory) and PNG is off;
# each platform adds its choice of mutexes (--enable-pthread).
cairo_options=(
  --disable-shared --enable-static
  --enable-png=yes --enable-ft=yes --enable-fc=no
  --enable-xlib=no --enable-xlib-xrender=no --enable-xcb=no --enable-xlib-xcb=no --enable-xcb-shm=no
  --enable-win32=no --enable-win32-font=no
  --enable-quartz=no --enable-quartz-font=no --enable-quartz-image=no --enable-qt=no --enable-os2=no
  --enable-beos=no --enable-drm=no --enable-gallium=no --enable-directfb=no --enable-vg=no
  --enable-gl=no --enable-glesv2=no --enable-glesv3=no --enable-cogl=no --enable-egl=no --enable-glx=no --enable-wgl=no
  --enable-ps=no --enable-pdf=no --enable-svg=no --enable-tee=no --enable-xml=no --enable-script=no
  --enable-gobject=no --enable-trace=no --enable-interpreter=no --enable-symbol-lookup=no
  --enable-valgrind=no --disable-gtk-doc
)

# A prefix of static libraries needs what its .pc files list as private in
# every consumer: fold Requires.private/Libs.private into Requires/Libs
# (CMake's IMPORTED_TARGET ignores the private fields) and make the files
# relocatable.
fold_pkgconfig() {  # <prefix>
  local pc
  for pc in "$1"/lib/pkgconfig/*.pc; do
    [ -f "$pc" ] && [ ! -L "$pc" ] || continue
    awk '
      /^(Requires|Libs)(\.private)?:/ {
        split($0, kv, ":"); k = kv[1]; sub(/\.private$/, "", k)
        v = substr($0, index($0, ":") + 1)
        if (k == "Requires" && v ~ /[^ ]/ && field[k] ~ /[^ ]/) v = "," v
        field[k] = field[k] v; if (!(k in pos)) { pos[k] = ++n; order[n] = k; lines[n] = "" }
        next
      }
      { lines[++n] = $0 }
      END {
        for (i = 1; i <= n; i++) {
          if (i in order) { print order[i] ":" field[order[i]] } else print lines[i]
        }
      }' "$pc" |
      sed -e "s|^prefix=$1\$|prefix=\${pcfiledir}/../..|" -e "s|$1|\${prefix}|g" \
          -e 's|^prefix=${prefix}$|prefix=${pcfiledir}/../..|' >"$pc.new"
    mv "$pc.new" "$pc"
  done
}

run_step() {  # <library> <step> <command...>; output to the library's log
  local lib=$1 step=$2 rc=0 t0=$SECONDS; shift 2
  say "$lib: $step"
  # a subshell outside any condition, so that set -e stops at the first failure
  set +e
  (set -e; "$@") >>"$logs/$lib.log" 2>&1
  rc=$?
  set -e
  [ $((SECONDS - t0)) -lt 5 ] || say "$lib: $step took $((SECONDS - t0)) s"
  if [ "$rc" -ne 0 ]; then
    echo "---- last lines of $logs/$lib.log ----" >&2
    tail -n 40 "$logs/$lib.log" >&2
    die "$lib: $step failed after $(elapsed) (full log: $logs/$lib.log)"
  fi
}
