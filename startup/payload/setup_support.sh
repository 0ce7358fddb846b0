#!/bin/sh
# Support files for Pelorin: the run-time libraries and a font with Arabic letters.
# Run as root on Debian, it installs whatever is missing with apt-get; otherwise it says what
# is missing and how to add it. Once everything is in place it records Install=1 in the
# settings of the user who started Pelorin, so that the next start opens the ledger.
set -u

PACKAGES="libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6printsupport6 libqt6svg6 qt6-qpa-plugins libsqlcipher1 libcairo2 libpango-1.0-0 libpangocairo-1.0-0 libqpdf29"
FONT_PACKAGE="fonts-noto-ui-core"

say() {
    printf 'Pelorin: %s\n' "$1" >&2
    # Started without a terminal: show the message on the desktop when a dialog tool exists.
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        if command -v zenity >/dev/null 2>&1; then
            zenity --warning --title="Pelorin" --text="$1" >/dev/null 2>&1
        elif command -v kdialog >/dev/null 2>&1; then
            kdialog --title "Pelorin" --sorry "$1" >/dev/null 2>&1
        elif command -v xmessage >/dev/null 2>&1; then
            xmessage -center "Pelorin: $1" >/dev/null 2>&1
        fi
    fi
}

package_missing() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed" && return 1
    return 0
}

arabic_font_present() {
    command -v fc-list >/dev/null 2>&1 || return 1
    [ -n "$(fc-list :lang=ar family 2>/dev/null)" ]
}

missing=""
if command -v dpkg-query >/dev/null 2>&1; then
    for p in $PACKAGES; do
        if package_missing "$p"; then missing="$missing $p"; fi
    done
fi
if ! arabic_font_present; then missing="$missing $FONT_PACKAGE"; fi
missing="${missing# }"

if [ -n "$missing" ]; then
    if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
        export DEBIAN_FRONTEND=noninteractive
        # shellcheck disable=SC2086 # the list is meant to split into package names
        if ! apt-get install -y --no-install-recommends $missing >&2; then
            apt-get update >&2
            if ! apt-get install -y --no-install-recommends $missing >&2; then
                say "These packages could not be installed: $missing"
                exit 1
            fi
        fi
    else
        say "These packages are missing: $missing. Install them as administrator (sudo apt-get install $missing) and start Pelorin again."
        exit 1
    fi
fi

# The settings belong to the user who started Pelorin, also when this runs as root.
owner_uid="${PKEXEC_UID:-${SUDO_UID:-$(id -u)}}"
if [ -n "${XDG_CONFIG_HOME:-}" ]; then
    config_home="$XDG_CONFIG_HOME"
else
    home=$(getent passwd "$owner_uid" 2>/dev/null | cut -d: -f6)
    config_home="${home:-$HOME}/.config"
fi
folder="$config_home/Pelorin"
ini="$folder/Pelorin.ini"
new_folder=0
[ -d "$folder" ] || new_folder=1
mkdir -p "$folder" || { say "Could not create $folder"; exit 1; }

tmp="$ini.setup.$$"
# Sets Install=1 in section [Setting] and keeps every other line as it was.
if ! awk '
    BEGIN { in_setting = 0; done = 0; blanks = "" }
    # Blank lines at the end of the section stay after the new key.
    in_setting && /^[ \t\r]*$/ { blanks = blanks $0 "\n"; next }
    /^[ \t]*\[.*\][ \t\r]*$/ {
        if (in_setting && !done) { print "Install=1"; done = 1 }
        printf "%s", blanks; blanks = ""
        in_setting = ($0 ~ /^[ \t]*\[Setting\][ \t\r]*$/)
        print
        next
    }
    in_setting && /^[ \t]*Install[ \t]*=/ {
        printf "%s", blanks; blanks = ""
        if (!done) { print "Install=1"; done = 1 }
        next
    }
    { printf "%s", blanks; blanks = ""; print }
    END {
        if (!done) {
            if (!in_setting) print "[Setting]"
            print "Install=1"
        }
        printf "%s", blanks
    }
' "$([ -f "$ini" ] && echo "$ini" || echo /dev/null)" >"$tmp" || ! mv -f "$tmp" "$ini"; then
    rm -f "$tmp"
    say "Could not write $ini"
    exit 1
fi

if [ "$(id -u)" = 0 ] && [ "$owner_uid" != 0 ]; then
    owner_gid=$(getent passwd "$owner_uid" 2>/dev/null | cut -d: -f4)
    chown "$owner_uid${owner_gid:+:$owner_gid}" "$ini"
    if [ "$new_folder" = 1 ]; then chown "$owner_uid${owner_gid:+:$owner_gid}" "$folder"; fi
fi
exit 0
