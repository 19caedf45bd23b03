#!/bin/sh
# Installs what the builds and tests need on a fresh Debian/Ubuntu machine.
# Runs as root (or through sudo); does nothing when everything is present.
set -e

need=""
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

PKGS="cmake make g++ clang python3 googletest libbenchmark-dev \
 g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 \
 wine wine32:i386 fonts-wine xvfb xauth fonts-ipafont-gothic fonts-ipafont-mincho locales"

for p in $PKGS; do
    have_pkg "$p" || need="$need $p"
done

# The Japanese locale makes Wine use code page 932.
locale_ok=1
locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' || locale_ok=0

# Oniguruma's source for our BREGEXP.DLL, from Debian's source package
# (tools/onig-source.sh; nothing to do once it is unpacked under build/).
onig_source() { sh "$(dirname "$0")/onig-source.sh"; }

if [ -z "$need" ] && [ $locale_ok = 1 ]; then
    onig_source
    exit 0
fi

SUDO=""
[ "$(id -u)" = 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

if [ -n "$need" ]; then
    echo "bootstrap: installing$need"
    case " $(dpkg --print-foreign-architectures | tr '\n' ' ') " in
        *" i386 "*) ;;
        *) $SUDO dpkg --add-architecture i386 ;;
    esac
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends $need
fi

if [ $locale_ok = 0 ]; then
    if [ -f /etc/locale.gen ]; then
        $SUDO sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
        $SUDO locale-gen
    else
        $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
    fi
fi

onig_source
