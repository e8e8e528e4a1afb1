#!/usr/bin/env bash
# Checks the Debian package as it would be installed: its files and their
# modes, its control fields, its desktop entries and icons, and the program
# it carries, started through its bin/ link on an Xvfb of its own.
#
#   check_package.sh DEB SCREENSHOT ICON_SIZES MOUSE SOURCE_DIR
#
# DEB is the package; SCREENSHOT the e2e_screenshot tool; ICON_SIZES the
# bitmap icon sizes the build rendered ("48;128", or empty); MOUSE the built
# program and SOURCE_DIR the packaging sources, both only to tell whether the
# package is older than what it is built from.
#
# Prints PASS or FAIL per check; exits 0 when all pass, 1 otherwise, and 77
# when a tool is missing or the package is missing or out of date (build it
# with: cmake --build build --target package).
set -u

deb=${1:?usage: check_package.sh DEB SCREENSHOT ICON_SIZES MOUSE SOURCE_DIR}
screenshot=${2:?}
icon_sizes=${3//;/ }
mouse=${4:?}
source_dir=${5:?}

for tool in dpkg-deb Xvfb xdotool xwininfo desktop-file-validate file cmp; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done
if [ ! -f "$deb" ]; then
  echo "SKIP: no package at $deb; build it with: cmake --build build --target package"
  exit 77
fi
for input in "$mouse" "$source_dir"/{CMakeLists.txt,setting.ini,mouse.svg,*.desktop}; do
  if [ "$input" -nt "$deb" ]; then
    echo "SKIP: $deb is older than $input; rebuild it with: cmake --build build --target package"
    exit 77
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/mouse-package-XXXXXX")
pids=()
failures=0

cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  if [ "$failures" -eq 0 ]; then
    rm -rf "$work"
  else
    echo "files kept in $work"
  fi
}
trap cleanup EXIT

pass() { echo "PASS: $1"; }
fail() {
  echo "FAIL: $1${2:+ ($2)}"
  failures=$((failures + 1))
}

# wait_until SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

# --- What the package holds: every entry that is not a directory, with its
# mode and owner, and the link's target.
expected=$(
  echo "-rwxr-xr-x root/root ./usr/lib/mouse/mouse"
  echo "-rw-r--r-- root/root ./usr/lib/mouse/setting.ini"
  echo "lrwxrwxrwx root/root ./usr/bin/mouse -> ../lib/mouse/mouse"
  echo "-rw-r--r-- root/root ./usr/share/applications/mouse.desktop"
  echo "-rw-r--r-- root/root ./usr/share/mouse/autostart/mouse.desktop"
  echo "-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/mouse.svg"
  for size in $icon_sizes; do
    echo "-rw-r--r-- root/root ./usr/share/icons/hicolor/${size}x${size}/apps/mouse.png"
  done
)
listing=$(dpkg-deb -c "$deb")
entries=$(awk '$1 !~ /^d/ {print $1, $2, $6, $7, $8}' <<<"$listing" | sed 's/ *$//')
if [ "$(sort <<<"$entries")" = "$(sort <<<"$expected")" ]; then
  pass "the package holds the program, its link, its settings, desktop entries and icons"
else
  fail "the package holds the program, its link, its settings, desktop entries and icons" \
    "$(diff <(sort <<<"$expected") <(sort <<<"$entries") | grep '^[<>]' | tr '\n' ';')"
fi
odd_dirs=$(awk '$1 ~ /^d/ && ($1 != "drwxr-xr-x" || $2 != "root/root") {print $1, $2, $6}' \
  <<<"$listing")
if [ -z "$odd_dirs" ]; then
  pass "its directories are drwxr-xr-x root/root"
else
  fail "its directories are drwxr-xr-x root/root" "$(tr '\n' ';' <<<"$odd_dirs")"
fi

# --- Its control fields.
depends=$(dpkg-deb -f "$deb" Depends)
missing_libs=()
for lib in libx11 libcairo libpango; do
  grep -Eq "(^|, )$lib[-0-9.]*( |,|$)" <<<"$depends" || missing_libs+=("$lib")
done
if [ -n "$depends" ] && [ ${#missing_libs[@]} -eq 0 ]; then
  pass "Depends names libx11, libcairo and libpango: $depends"
else
  fail "Depends names libx11, libcairo and libpango" "Depends: ${depends:-(none)}"
fi
section=$(dpkg-deb -f "$deb" Section)
maintainer=$(dpkg-deb -f "$deb" Maintainer)
if [ "$section" = x11 ] && [ -n "$maintainer" ] && [ -n "$(dpkg-deb -f "$deb" Description)" ]; then
  pass "Section x11, a maintainer and a description"
else
  fail "Section x11, a maintainer and a description" "Section: $section; Maintainer: $maintainer"
fi
mkdir -p "$work/control"
dpkg-deb -e "$deb" "$work/control"
if [ "$(cat "$work/control/conffiles" 2>/dev/null)" = /usr/lib/mouse/setting.ini ]; then
  pass "setting.ini is a conffile, so an edited delay survives an upgrade"
else
  fail "setting.ini is a conffile, so an edited delay survives an upgrade" \
    "conffiles: $(cat "$work/control/conffiles" 2>/dev/null | tr '\n' ' ')"
fi

# --- Its files, unpacked as they would be installed.
root="$work/root"
dpkg-deb -x "$deb" "$root"
for entry in usr/share/applications/mouse.desktop usr/share/mouse/autostart/mouse.desktop; do
  if out=$(desktop-file-validate "$root/$entry" 2>&1) && [ -z "$out" ]; then
    pass "/$entry passes desktop-file-validate"
  else
    fail "/$entry passes desktop-file-validate" "$(tr '\n' ';' <<<"$out")"
  fi
done
for size in $icon_sizes; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/mouse.png"
  if file "$png" | grep -q "PNG image data, $size x $size,"; then
    pass "the ${size}x${size} icon is a $size x $size PNG"
  else
    fail "the ${size}x${size} icon is a $size x $size PNG" "$(file "$png")"
  fi
done
settings="$root/usr/lib/mouse/setting.ini"
if grep -qsx '\[MouseSetting\]' "$settings" && grep -qsx 'Delay=5' "$settings"; then
  pass "the example setting.ini sets Delay=5 in [MouseSetting]"
else
  fail "the example setting.ini sets Delay=5 in [MouseSetting]"
fi

# --- The program it carries, on a desktop of its own.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" \
  2>"$work/xvfb.log" &
pids+=($!)
if ! wait_until 20 test -s "$work/display"; then
  fail "Xvfb starts" "see $work/xvfb.log"
  exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"
# Keep the pointer off the panel, so that nothing is chosen while it runs.
xdotool mousemove 1279 1023

# The status line under the panel's buttons, in panel pixels: it shows the
# delay read at start-up ("5 sec"). (The rest of the panel does not hold
# still: its title fades in and out all the time.)
readonly STATUS_X=24 STATUS_Y=160 STATUS_W=121 STATUS_H=25

# run_panel NAME: starts the unpacked program through /usr/bin/mouse, from a
# working directory without settings, waits for its panel, keeps a steady
# picture of its status line in $work/NAME.png, then ends it with SIGTERM.
# Fails the run when any of that goes wrong.
run_panel() {
  local name=$1 pid window rc
  (cd "$work" && exec "$root/usr/bin/mouse" 2>"$work/$name.stderr") &
  pid=$!
  pids+=("$pid")
  window=$(timeout 10 xdotool search --sync --onlyvisible --pid "$pid" --name '^Mouse$' \
    2>/dev/null | head -n1)
  if [ -z "$window" ]; then
    fail "$name: the panel appears" "$(head -n5 "$work/$name.stderr")"
    return 1
  fi
  local exe
  exe=$(readlink -f "/proc/$pid/exe")
  if [ "$exe" != "$(readlink -f "$root/usr/lib/mouse/mouse")" ]; then
    fail "$name: /usr/bin/mouse runs /usr/lib/mouse/mouse" "runs $exe"
  fi
  local x y
  read -r x y < <(xwininfo -id "$window" |
    awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}')
  # The first paint lands soon after the window shows: wait until two
  # pictures of the status line taken a moment apart agree.
  local shot="$work/$name.png" again="$work/$name.again.png" steady=""
  sleep 0.1
  "$screenshot" "$shot" $((x + STATUS_X)) $((y + STATUS_Y)) "$STATUS_W" "$STATUS_H"
  for _ in $(seq 50); do
    sleep 0.1
    "$screenshot" "$again" $((x + STATUS_X)) $((y + STATUS_Y)) "$STATUS_W" "$STATUS_H"
    if cmp -s "$shot" "$again"; then
      steady=1
      break
    fi
    mv "$again" "$shot"
  done
  [ -n "$steady" ] || fail "$name: the panel's status line settles"
  kill -TERM "$pid"
  if wait_until 5 eval "! kill -0 $pid 2>/dev/null"; then
    wait "$pid"
    rc=$?
  else
    rc=timeout
  fi
  if [ "$rc" = 0 ]; then
    pass "$name: the panel appears, and SIGTERM ends it with code 0"
  else
    fail "$name: SIGTERM ends the program with code 0" "exit code $rc"
    return 1
  fi
  if [ -s "$work/$name.stderr" ]; then
    fail "$name: the program writes nothing on stderr" "$(head -n5 "$work/$name.stderr")"
  fi
}

# The status line shows the delay that was read, so its picture tells whether
# setting.ini was found beside the real executable.
if run_panel shipped; then
  # The carer's edit: the example with its comments and Delay=7.
  [ -f "$settings" ] && sed -i 's/^Delay=5$/Delay=7/' "$settings"
  run_panel edited
  rm -f "$settings"
  run_panel without
  if [ -f "$work/edited.png" ] && [ -f "$work/without.png" ]; then
    if cmp -s "$work/shipped.png" "$work/without.png"; then
      pass "with the example setting.ini and without one the status line is the same (5 s)"
    else
      fail "with the example setting.ini and without one the status line is the same (5 s)" \
        "compare $work/shipped.png and $work/without.png"
    fi
    if ! cmp -s "$work/shipped.png" "$work/edited.png"; then
      pass "started through /usr/bin/mouse, it reads Delay=7 from /usr/lib/mouse/setting.ini"
    else
      fail "started through /usr/bin/mouse, it reads Delay=7 from /usr/lib/mouse/setting.ini" \
        "its status line looks as with 5 s; see $work/edited.png"
    fi
  fi
fi

if [ "$failures" -eq 0 ]; then
  echo "package: all checks passed"
  exit 0
fi
echo "package: $failures check(s) failed"
exit 1
