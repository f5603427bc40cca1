# Sourced: wine for the Windows tests, in a prefix of the build folder's own ($1), 64-bit only,
# quiet, and without the .NET and HTML helpers, whose absence would otherwise make wine offer to
# download them.
wine_setup() {
    export WINEPREFIX=$(readlink -f "$1")/wineprefix WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    if [ ! -e "$WINEPREFIX/system.reg" ]; then
        DISPLAY= wine wineboot --init >/dev/null 2>&1
        wineserver -w
    fi
}
