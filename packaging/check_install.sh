#!/usr/bin/env bash
# Checks what `cmake --install` lays out: the program and its setting.ini
# together in lib/mouse/, bin/mouse a relative link to the program (under a
# prefix and under DESTDIR alike), and a reinstall keeping a setting.ini that
# was edited.
#
#   check_install.sh BUILD_DIR SETTING_INI
#
# SETTING_INI is the example the install should put in place; $CMAKE, when
# set, the cmake to install with. Prints PASS or FAIL per check; exits 0 when
# all pass, 1 otherwise.
set -u

build=${1:?usage: check_install.sh BUILD_DIR SETTING_INI}
example=${2:?usage: check_install.sh BUILD_DIR SETTING_INI}
cmake=${CMAKE:-cmake}

work=$(mktemp -d "${TMPDIR:-/tmp}/mouse-install-XXXXXX")
failures=0
trap '[ "$failures" -eq 0 ] && rm -rf "$work" || echo "files kept in $work"' EXIT

pass() { echo "PASS: $1"; }
fail() {
  echo "FAIL: $1${2:+ ($2)}"
  failures=$((failures + 1))
}

# check_layout ROOT WHAT: the installed tree under ROOT (prefix included).
check_layout() {
  local root=$1 what=$2
  if [ -x "$root/lib/mouse/mouse" ] && [ ! -L "$root/lib/mouse/mouse" ]; then
    pass "$what: the program is lib/mouse/mouse"
  else
    fail "$what: the program is lib/mouse/mouse"
  fi
  if cmp -s "$example" "$root/lib/mouse/setting.ini"; then
    pass "$what: the example setting.ini is beside it"
  else
    fail "$what: the example setting.ini is beside it"
  fi
  local target
  target=$(readlink "$root/bin/mouse")
  if [ "$target" = ../lib/mouse/mouse ] &&
    [ "$(readlink -f "$root/bin/mouse")" = "$(readlink -f "$root/lib/mouse/mouse")" ]; then
    pass "$what: bin/mouse -> ../lib/mouse/mouse"
  else
    fail "$what: bin/mouse -> ../lib/mouse/mouse" "bin/mouse -> ${target:-(not a link)}"
  fi
  local in_bin
  in_bin=$(ls -A "$root/bin" 2>/dev/null | tr '\n' ' ')
  if [ "$in_bin" = "mouse " ]; then
    pass "$what: bin/ holds nothing but the link"
  else
    fail "$what: bin/ holds nothing but the link" "bin/: $in_bin"
  fi
}

prefix="$work/prefix"
if ! out=$("$cmake" --install "$build" --prefix "$prefix" 2>&1); then
  fail "cmake --install --prefix" "$out"
  exit 1
fi
check_layout "$prefix" "--prefix"

# A carer's edit survives a reinstall.
printf '[MouseSetting]\nDelay=9\n' >"$prefix/lib/mouse/setting.ini"
if ! out=$("$cmake" --install "$build" --prefix "$prefix" 2>&1); then
  fail "cmake --install again" "$out"
  exit 1
fi
if [ "$(cat "$prefix/lib/mouse/setting.ini")" = "$(printf '[MouseSetting]\nDelay=9')" ]; then
  pass "a reinstall keeps an edited setting.ini"
else
  fail "a reinstall keeps an edited setting.ini" "$(tr '\n' ' ' <"$prefix/lib/mouse/setting.ini")"
fi
if [ "$(readlink "$prefix/bin/mouse")" = ../lib/mouse/mouse ]; then
  pass "a reinstall keeps the link"
else
  fail "a reinstall keeps the link"
fi

# As a package build installs: into DESTDIR, under /usr.
if ! out=$(DESTDIR="$work/dest" "$cmake" --install "$build" --prefix /usr 2>&1); then
  fail "DESTDIR=... cmake --install --prefix /usr" "$out"
  exit 1
fi
check_layout "$work/dest/usr" "DESTDIR"

if [ "$failures" -eq 0 ]; then
  echo "install: all checks passed"
  exit 0
fi
echo "install: $failures check(s) failed"
exit 1
