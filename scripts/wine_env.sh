# Sourced: a quiet Wine with a persistent server, so that each Windows process
# starts in tens of milliseconds instead of seconds.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
[ -d "${WINEPREFIX:-$HOME/.wine}" ] || wineboot -i >/dev/null 2>&1 || true
(wineserver -p >/dev/null 2>&1 &)
