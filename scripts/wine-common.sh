# Shared by the scripts that run Windows programs under Wine; source it, then call
# use_wine_prefix NAME before starting Wine.

# A prefix of its own under build/, 32-bit, quiet, without the Mono and Gecko offers.
# Wine maps file names to the file system through the Unix locale: without a UTF-8 one
# (a fresh Debian has no LANG) names with Japanese characters cannot be created, so
# Wine always gets C.UTF-8, whatever the caller's locale.
use_wine_prefix() {
    export LC_ALL=C.UTF-8
    export WINEPREFIX="$PWD/build/$1"
    export WINEARCH=win32
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
}

# Japanese faces for the dialog font and for the system face that message boxes, window
# captions and the help viewer use; without the second they show empty boxes.
use_japanese_faces() {
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Tahoma /d IPAPGothic /f >/dev/null
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Wine's 32-bit half comes from the i386 architecture, which apt must know first;
# install-deps.sh then updates the package lists because wine32:i386 is missing.
install_wine_packages() {
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    scripts/install-deps.sh g++-mingw-w64-i686 mingw-w64-tools wine wine32:i386 wine64 "$@"
}
