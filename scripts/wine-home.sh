# Sourced by the scripts that run Windows programs under Wine:
#
#   use_wine_home DIR      (made anew: whatever was there goes)
#
# Wine, quiet: no debug channels, no offer to download Mono or Gecko (a dialog
# that would wait for ever), and its menu builder, which adds Windows
# programs to the desktop's menus, off. C.UTF-8 gives the code pages the
# tests expect (ANSI 1252, OEM 437). Everything Wine writes stays in DIR: the
# prefix, and what it would otherwise put in the user's ~/.config,
# ~/.local/share and ~/.cache (menus, desktop entries, MIME types, icons).
use_wine_home() {
  export WINEDEBUG=-all LC_ALL=C.UTF-8 WINEDLLOVERRIDES='mscoree=;mshtml=;winemenubuilder.exe=d'
  unset WAYLAND_DISPLAY QT_QPA_PLATFORM
  wine_home=$1
  rm -rf "$wine_home"
  export WINEPREFIX=$wine_home/prefix XDG_CONFIG_HOME=$wine_home/config
  export XDG_DATA_HOME=$wine_home/data XDG_CACHE_HOME=$wine_home/cache
  mkdir -p "$WINEPREFIX" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
}

# Sets the prefix up and starts its server, kept up (-p) for what runs next.
# Wine's background programs (services, explorer) start here, writing to
# DIR/wine.log: started under CTest they would hold a test's output pipe
# open, and CTest would wait for them. Says why and fails if Wine cannot.
start_wine() {
  echo "== Wine prefix $WINEPREFIX"
  if ! timeout 600 bash -c 'wineserver -p && wineboot -i' </dev/null >"$wine_home/wine.log" 2>&1; then
    echo "Wine could not set up the prefix:" >&2
    cat "$wine_home/wine.log" >&2
    return 1
  fi
}
