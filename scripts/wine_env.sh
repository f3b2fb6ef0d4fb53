# Sourced: a quiet Wine with a persistent server, so that each Windows process
# starts in tens of milliseconds instead of seconds.
export WINEDEBUG=-all
# Wine names Unix files in the locale's character set: without UTF-8 (a bare C locale)
# the tests' Cyrillic, Greek and CJK file names cannot be made.
case "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}" in
  *[Uu][Tt][Ff]-8* | *[Uu][Tt][Ff]8*) ;;
  *) export LC_ALL=C.UTF-8 ;;
esac
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's background services (started when a prefix is created or updated) inherit the
# output of the program that starts them and live as long as the server does. Started
# under a test runner that reads a test program's output, they would hold its pipe open
# for ever; so the prefix is made ready here, by a program whose output goes nowhere.
wine_prefix=${WINEPREFIX:-$HOME/.wine}
echo "wine: preparing Wine in $wine_prefix" >&2
if [ ! -d "$wine_prefix" ]; then
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  wineserver -w  # the set-up's own server ends, so that the persistent one can start
fi
# Keeps a server that already runs.
wineserver -p </dev/null >/dev/null 2>&1 || true
# Updates a prefix left by another Wine version, under the persistent server.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
