#!/bin/sh
# Fetches Oniguruma's source for our BREGEXP.DLL from Debian's source package
# and unpacks it into build/onig/. Uses an apt configuration of its own under
# build/apt-src (its own source list, lists and cache), so the machine's apt
# setup stays as it is. Does nothing when the source is already unpacked.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)

ONIG_DEB_VERSION=6.9.8-1
ONIG_ORIG=libonig_6.9.8.orig.tar.gz
ONIG_ORIG_SHA256=26372720bab6733c869a9eb69377f73971138dc5e3eff4a81f5ba8aea5435fb2
ONIG_DIR=oniguruma-6.9.8

dest=$here/build/onig
[ -f "$dest/$ONIG_DIR/src/oniguruma.h" ] && exit 0

apt_dir=$here/build/apt-src
mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/download"
cat > "$apt_dir/sources/debian-src.sources" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC

set -- -o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources" \
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" \
    -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= -o Debug::NoLocking=1

if [ ! -f "$apt_dir/download/$ONIG_ORIG" ]; then
    echo "onig-source: fetching libonig $ONIG_DEB_VERSION (Debian source package)"
    apt-get "$@" -q update >/dev/null
    (cd "$apt_dir/download" && apt-get "$@" -q source --download-only "libonig=$ONIG_DEB_VERSION" >/dev/null 2>&1)
fi

echo "$ONIG_ORIG_SHA256  $apt_dir/download/$ONIG_ORIG" | sha256sum -c --quiet - || {
    echo "onig-source: $ONIG_ORIG does not have the expected SHA-256; removed" >&2
    rm -f "$apt_dir/download/$ONIG_ORIG"
    exit 1
}

rm -rf "$dest.tmp"
mkdir -p "$dest.tmp"
tar xzf "$apt_dir/download/$ONIG_ORIG" -C "$dest.tmp"
mkdir -p "$dest"
rm -rf "$dest/$ONIG_DIR"
mv "$dest.tmp/$ONIG_DIR" "$dest/$ONIG_DIR"
rm -rf "$dest.tmp"
echo "onig-source: $dest/$ONIG_DIR"
