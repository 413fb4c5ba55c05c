#!/usr/bin/env bash
# Checks a built pelloran .deb: unpacks it into a scratch root (dpkg -x), looks for every file
# a desktop install needs, validates the desktop entry, the AppStream metainfo and the systemd
# units, has lintian find no error, and runs pelloran-cli from the scratch root.
#
#   packaging/check_package.sh PACKAGE.deb [--with-web-plugin]
set -euo pipefail

deb="$1"
want_plugin="${2:-}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "check_package: $*" >&2
    exit 1
}

dpkg-deb --field "$deb" Package Version Architecture Depends Installed-Size >"$scratch/fields"
dpkg -x "$deb" "$scratch/root"
root="$scratch/root"

files=(
    usr/bin/pelloran
    usr/bin/pelloran-cli
    usr/lib/pelloran/pelloran_charts.so
    usr/lib/pelloran/pelloran_desktop.so
    usr/lib/pelloran/pelloran_picture.so
    usr/lib/pelloran/pelloran_transport.so
    usr/share/applications/pelloran.desktop
    usr/share/metainfo/org.pelloran.Pelloran.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/pelloran.svg
    usr/lib/systemd/user/pelloran-push.service
    usr/lib/systemd/user/pelloran-push.timer
    usr/share/doc/pelloran/copyright
    usr/share/doc/pelloran/changelog.Debian.gz
)
for size in 16 22 24 32 48 64 128 256 512; do
    files+=("usr/share/icons/hicolor/${size}x${size}/apps/pelloran.png")
done
if [ "$want_plugin" = "--with-web-plugin" ]; then
    files+=(usr/lib/pelloran/pelloran_web.so)
fi
for f in "${files[@]}"; do
    [ -s "$root/$f" ] || fail "the package has no /$f"
done
for size in 16 48 256; do
    # A PNG of the right size: the width and height stand at bytes 16..23 of the header.
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/pelloran.png"
    got="$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ' | sed 's/^ //')"
    want="0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))"
    [ "$got" = "$want" ] || fail "$png is not ${size}x${size} (header: $got)"
done

gzip -t "$root/usr/share/doc/pelloran/changelog.Debian.gz" || fail "the changelog is not gzip"
# Nothing for a maintainer script to do: the modules in /usr/lib/pelloran are opened by path, so
# no ldconfig run, and the user units are the member's to enable.
dpkg-deb --ctrl-tarfile "$deb" | tar -t >"$scratch/control-files"
if grep -Eq '(^|/)(preinst|postinst|prerm|postrm)$' "$scratch/control-files"; then
    fail "the package has maintainer scripts: $(tr '\n' ' ' <"$scratch/control-files")"
fi
# A user unit can't order itself after a system target: such a line would only mislead.
if grep -q 'network-online' "$root/usr/lib/systemd/user/pelloran-push.service"; then
    fail "the user unit names network-online.target"
fi

# Dependencies were computed from the binaries.
depends="$(sed -n 's/^Depends: //p' "$scratch/fields")"
for lib in libqt6core6 libqt6widgets6 libqt6charts6 libqt6keychain1 libcurl4 libicu libqt6sql6-sqlite; do
    [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

desktop-file-validate "$root/usr/share/applications/pelloran.desktop" ||
    fail "desktop-file-validate refused the desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.pelloran.Pelloran.metainfo.xml" ||
    fail "appstreamcli refused the metainfo"

# Debian's own checks: no error. Its warnings are known and left (no manual pages: --help and
# the README say it all; no bug closed by a first upload that never goes to Debian's archive).
lint="$(lintian --fail-on error "$deb" 2>&1)" ||
    fail "lintian found errors: $lint"

# The units: nothing systemd would ignore or refuse. It looks for /usr/bin/pelloran-cli on this
# machine, where the package is not installed, so only that complaint is allowed.
runtime="$scratch/runtime"
mkdir -m 700 "$runtime"
verify="$(XDG_RUNTIME_DIR="$runtime" systemd-analyze verify --user \
    "$root/usr/lib/systemd/user/pelloran-push.timer" \
    "$root/usr/lib/systemd/user/pelloran-push.service" 2>&1 || true)"
unexpected="$(printf '%s\n' "$verify" | grep -v '^$' |
    grep -v 'Command /usr/bin/pelloran-cli is not executable' || true)"
[ -z "$unexpected" ] || fail "systemd-analyze verify: $unexpected"

# The command line runs from the scratch root, on its own data folder.
help="$("$root/usr/bin/pelloran-cli" --help)" || fail "pelloran-cli --help failed"
[[ "$help" == *"--push-new"* ]] || fail "pelloran-cli --help does not describe --push-new"
show="$(PELLORAN_HOME="$scratch/home" PELLORAN_KEYRING=off "$root/usr/bin/pelloran-cli" remote show)" ||
    fail "pelloran-cli remote show failed"
[[ "$show" == *"Kept in:  the settings file"* ]] || fail "unexpected remote show: $show"

# The app starts from there too (no display needed to print its version).
version="$(QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" "$root/usr/bin/pelloran" --version 2>/dev/null)" ||
    fail "pelloran --version failed"
[[ "$version" == "pelloran "* ]] || fail "unexpected pelloran --version: $version"

echo "check_package: $(basename "$deb") is sound"
echo "check_package: $(stat -c %s "$deb") bytes packed, $(sed -n 's/^Installed-Size: //p' "$scratch/fields") KiB installed"
echo "check_package: Depends: $depends"
