# shellcheck shell=bash
# Sourced by the scripts that run Windows programs under Wine (tests, screenshot, start-up
# measurement). Not run on its own.

# make_wine_prefix desktop|windows: makes the Wine prefix $WINEPREFIX once and reuses it; a
# prefix left half made is made again.
#   desktop: every window is drawn into one virtual desktop. Without a window manager Wine
#            otherwise waits about 2 s whenever a window hides, and a late focus change can
#            take the foreground away from the program.
#   windows: every top-level window is an X window of its own, as the start-up watcher needs.
# Either way windows are unmanaged, Mono and Gecko are not offered for download, and Wine's
# own "MS Sans Serif" (fonts-wine), the face the window is laid out for, is installed as a
# Windows font, which Wine does not do by itself.
#
# Wine's menu builder is switched off, in the prefix and for every Wine program these scripts
# start: it would otherwise copy every shortcut an installer makes, and the prefix's own, into
# the user's ~/.local/share as .desktop files and icons. Nothing a test runs is to be written
# outside its own folders.
export WINEDLLOVERRIDES="winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

make_wine_prefix() {
    local mode="$1"
    local ready="$WINEPREFIX/korvane-prefix-ready-2"
    [ -f "$ready" ] && return 0
    echo "wine: making the Wine prefix $WINEPREFIX ($mode)"
    rm -rf "$WINEPREFIX"
    WINEDLLOVERRIDES="mscoree,mshtml=;$WINEDLLOVERRIDES" wineboot -i </dev/null >/dev/null 2>&1
    # For programs started without this environment, ctest's among them.
    wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /t REG_SZ /d '' \
        /f >/dev/null
    if [ "$mode" = desktop ]; then
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 \
            /f >/dev/null
    fi
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
    local fonts=/usr/share/wine/fonts
    if [ -f "$fonts/sserife.fon" ]; then
        cp "$fonts/sserife.fon" "$fonts/ms_sans_serif.ttf" "$WINEPREFIX/drive_c/windows/Fonts/"
    else
        echo "wine: $fonts/sserife.fon missing (fonts-wine); a substitute font is used" >&2
    fi
    wineserver -w
    touch "$ready"
}
