#!/usr/bin/env bash
# package_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build="$1"; src="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
passed=0; failed=0
check() {  # check NAME COMMAND...
  local name="$1"; shift
  if "$@" >"$work/out.txt" 2>&1; then
    passed=$((passed + 1)); echo "ok: $name"
  else
    failed=$((failed + 1)); echo "FAILED: $name"; sed 's/^/    /' "$work/out.txt" | head -40
  fi
}

# 1. The package builds.
(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; echo "0 passed, 1 failed"; exit 1; }
deb="$(ls "$work"/pkg/pelmora_*.deb | head -1)"
check "package file exists" test -s "$deb"
check "package metadata names the fonts and translations" \
  bash -c "dpkg-deb -f '$deb' Depends | grep -q qt6-translations-l10n && dpkg-deb -f '$deb' Depends | grep -q fonts-arphic-uming && dpkg-deb -f '$deb' Depends | grep -q libqt6widgets6"

# 2. Unpacked into a temporary root, the programs and their data are where they belong.
root="$work/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/pelmora usr/bin/pelmora-calc usr/share/pelmora/PropLib.cds usr/share/pelmora/Piples.mdb \
         usr/share/pelmora/Manual.pdf usr/share/pelmora/Manual.pdf.idx \
         usr/share/applications/cn.pelmora.Pelmora.desktop \
         usr/share/metainfo/cn.pelmora.Pelmora.metainfo.xml \
         usr/share/mime/packages/cn.pelmora.Pelmora.xml \
         usr/share/icons/hicolor/scalable/apps/cn.pelmora.Pelmora.svg \
         usr/share/icons/hicolor/48x48/apps/cn.pelmora.Pelmora.png; do
  check "installed $f" test -s "$root/$f"
done
check "installed fontconfig alias for 宋体 and SimSun, enabled in conf.d" \
  bash -c "test -s '$root/usr/share/fontconfig/conf.avail/65-pelmora-songti.conf' && test \"\$(readlink '$root/etc/fonts/conf.d/65-pelmora-songti.conf')\" = /usr/share/fontconfig/conf.avail/65-pelmora-songti.conf"
check "installed window program loads its extras module" \
  bash -c "'$root/usr/bin/pelmora' --check-extras | grep -qx 'extras: $root/usr/bin/../lib/pelmora/pelmora-extras.so'"
check "installed window program links no PDF, printing or cairo library itself" \
  bash -c "! ldd '$root/usr/bin/pelmora' | grep -Eq 'libQt6Pdf|libQt6PrintSupport|libcairo|libpango'"
check "no test or benchmark programs installed" bash -c "! ls '$root/usr/bin' | grep -Eq 'test|bench'"

# 3. The unpacked pelmora-calc computes a shipped project exactly as the build tree does.
example="storage-tank-hot-water.pmf"
env -u PELMORA_PROGRAM_DIR HOME="$work/home" "$root/usr/bin/pelmora-calc" \
  "$root/usr/share/pelmora/examples/$example" --recalc --json >"$work/installed.json" 2>"$work/installed.err"
env -u PELMORA_PROGRAM_DIR HOME="$work/home" "$build/bin/pelmora-calc" \
  "$build/bin/examples/$example" --recalc --json >"$work/tree.json" 2>"$work/tree.err"
check "installed pelmora-calc gives the build tree's results" \
  bash -c "test -s '$work/installed.json' && sed 's#$root/usr/share/pelmora/#DIR/#g' '$work/installed.json' > '$work/a.json' && sed 's#$build/bin/#DIR/#g' '$work/tree.json' > '$work/b.json' && diff -q '$work/a.json' '$work/b.json'"
check "installed program reads its property library" \
  bash -c "env -u PELMORA_PROGRAM_DIR HOME='$work/home' '$root/usr/bin/pelmora-calc' --props 1 --t 20 --p 101.325 | grep -q ."
check "installed program finds its manual for F1 in the heating time" \
  bash -c "env -u PELMORA_PROGRAM_DIR HOME='$work/home' '$root/usr/bin/pelmora-calc' --help-topic TaoD | grep -q '^bookmark: 加热时间'"
check "installed program writes nothing into its own folders" \
  bash -c "test -z \"\$(find '$root/usr' -newer '$deb' -type f)\""

# 4. The freedesktop validators.
if command -v desktop-file-validate >/dev/null; then
  check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/cn.pelmora.Pelmora.desktop"
fi
if command -v appstreamcli >/dev/null; then
  check "appstreamcli validate" appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/cn.pelmora.Pelmora.metainfo.xml"
fi

# 5. In a home of its own, the MIME database maps .pmf and .pmt to our types, and the
#    types to the program.
home="$work/mimehome"; data="$home/.local/share"
mkdir -p "$data/mime/packages" "$data/applications"
cp "$root/usr/share/mime/packages/cn.pelmora.Pelmora.xml" "$data/mime/packages/"
cp "$root/usr/share/applications/cn.pelmora.Pelmora.desktop" "$data/applications/"
update-mime-database "$data/mime" >/dev/null 2>&1
cp "$build/bin/examples/$example" "$work/tank.pmf"
cp "$build/bin/templates/storage-tank-steam.pmt" "$work/tank.pmt"
head -c 300 "$build/bin/examples/$example" > "$work/renamed.dat"
if command -v xdg-mime >/dev/null; then
  export XDG_CURRENT_DESKTOP=GNOME HOME="$home" XDG_DATA_HOME="$data" XDG_DATA_DIRS="$data:/usr/share" XDG_CONFIG_HOME="$home/.config"
  check "xdg-mime: .pmf is a Pelmora project" \
    bash -c "test \"\$(xdg-mime query filetype '$work/tank.pmf')\" = application/x-pelmora-project"
  check "xdg-mime: .pmt is a Pelmora template" \
    bash -c "test \"\$(xdg-mime query filetype '$work/tank.pmt')\" = application/x-pelmora-template"
  xdg-mime default cn.pelmora.Pelmora.desktop application/x-pelmora-project >/dev/null 2>&1
  check "xdg-mime: projects open with Pelmora" \
    bash -c "test \"\$(xdg-mime query default application/x-pelmora-project)\" = cn.pelmora.Pelmora.desktop"
fi
if command -v gio >/dev/null || true; then
  check "magic: the file signature names a project without its extension" \
    bash -c "grep -q 'CFR File Format(' '$data/mime/magic' 2>/dev/null || grep -aq 'CFR File Format(' '$data/mime/mime.cache'"
fi

# 6. Debian's policy: the programs stripped, the documents a package must carry, no
#    maintainer scripts (the extras module is private: no ldconfig), and lintian's word.
check "programs and module are stripped" \
  bash -c "for f in '$root/usr/bin/pelmora' '$root/usr/bin/pelmora-calc' '$root/usr/lib/pelmora/pelmora-extras.so'; do file -b \"\$f\" | grep -q ', stripped' || { echo \"\$f not stripped\"; exit 1; }; done"
check "copyright file in the machine-readable format names the manual's fonts" \
  bash -c "head -1 '$root/usr/share/doc/pelmora/copyright' | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' && grep -q '^License: OFL-1.1' '$root/usr/share/doc/pelmora/copyright' && grep -q '^License: Arphic-1999' '$root/usr/share/doc/pelmora/copyright'"
check "changelog.gz names the package's version" \
  bash -c "zcat '$root/usr/share/doc/pelmora/changelog.gz' | head -1 | grep -q \"^pelmora (\$(dpkg-deb -f '$deb' Version))\""
for m in pelmora pelmora-calc; do
  check "manual page $m(1) made from --help" \
    bash -c "MANPAGER=cat man -l '$root/usr/share/man/man1/$m.1.gz' 2>/dev/null > '$work/$m.txt'; grep -q -- '--help' '$work/$m.txt' && grep -Eq '^ +$m - ' '$work/$m.txt'"
done
check "no maintainer scripts (no ldconfig for the private module)" \
  bash -c "! dpkg-deb -I '$deb' | grep -Eq '(postinst|postrm|triggers)'"
check "extended description" bash -c "test \"\$(dpkg-deb -f '$deb' Description | wc -l)\" -ge 5"
if command -v lintian >/dev/null; then
  check "lintian: no errors, no warnings" lintian --fail-on error,warning "$deb"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
