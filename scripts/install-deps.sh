#!/usr/bin/env bash
# Installs the Debian packages Pelorin needs for one purpose, and nothing when they are present:
#
#   install-deps.sh build   building, installing and running (make run, make install)
#   install-deps.sh test    that, and what only the tests, benchmarks and screenshots use
#
# Debian 12 gets SQLCipher 4 from its backports suite, enabled from the archive address the
# machine already uses.
set -euo pipefail

purpose=${1:-build}

# Building and running. The fonts draw the windows (Arabic, and Latin letters in the program's
# look) and the language notice's picture; cairo, pango and qpdf write the report's PDF; the
# sqlcipher shell checks a ledger carried over from an earlier build folder; mdbtools' library
# (libmdb3, and its headers) reads Access files for the import's helper program.
BUILD_PACKAGES=(
  build-essential cmake pkg-config make git ccache
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
  qt6-qpa-plugins qt6-svg-dev libqt6printsupport6 libgl-dev libxkbcommon-dev libx11-dev libicu-dev
  libcairo2-dev libpango1.0-dev libqpdf-dev
  fonts-noto-ui-core fonts-liberation2
  mdbtools-dev libmdb3
)
# Tests, benchmarks and screenshots only: test frameworks, the format and shell-script checks, a
# virtual screen and its tools, two PDF readers (poppler's and MuPDF's) that read the report's
# text back, a Wayland compositor, the desktop-file and AppStream validators,
# the locales the end-to-end sessions use, python3 for test helpers, and the accessibility bus
# with its Python client, which reads the program as a screen reader does; mdbtools' own
# mdb-export reads the Access files the tests write and is the import bench's floor.
TEST_PACKAGES=(
  libgtest-dev libgmock-dev libbenchmark-dev clang-format shellcheck
  xvfb xauth xdotool x11-utils x11-xkb-utils imagemagick poppler-utils mupdf-tools
  weston qt6-wayland desktop-file-utils appstream
  locales python3
  dbus at-spi2-core python3-pyatspi
  mdbtools
)
BACKPORT_PACKAGES=(libsqlcipher-dev sqlcipher)

case "$purpose" in
  build) PACKAGES=("${BUILD_PACKAGES[@]}") ;;
  test) PACKAGES=("${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
  *) echo "install-deps: unknown purpose '$purpose' (build or test)" >&2; exit 2 ;;
esac
MIN_SQLCIPHER=4.6

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sqlcipher_ok() {
  local v
  v=$(dpkg-query -W -f='${Version}' libsqlcipher-dev 2>/dev/null) || return 1
  dpkg --compare-versions "$v" ge "$MIN_SQLCIPHER" && command -v sqlcipher >/dev/null
}

codename=""
# shellcheck source=/dev/null  # the machine's own file, not part of the tree
[ -r /etc/os-release ] && codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")

enable_backports() {
  [ "$codename" = "bookworm" ] || return 0
  if grep -rqs "bookworm-backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then return 0; fi
  # Reuse the archive address this machine already takes its Debian packages from.
  local uri
  uri=$(grep -rhs -E '^(URIs:|deb )' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null |
        grep -v -E 'security|nodesource|google' | head -n1 |
        sed -E 's/^URIs:[[:space:]]*//; s/^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?//; s/[[:space:]].*$//' || true)
  [ -n "$uri" ] || { echo "install-deps: no Debian archive address found in the apt sources" >&2; exit 1; }
  echo "install-deps: enabling bookworm-backports from $uri"
  printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' "$uri" |
    $SUDO tee /etc/apt/sources.list.d/pelorin-backports.sources >/dev/null
}

# The end-to-end tests start Arabic and English sessions; make sure both locales exist.
TEST_LOCALES=(ar_SA.UTF-8 en_US.UTF-8)
locale_ok() {
  [ "$purpose" = test ] || return 0
  local l have
  # Read whole first: grep -q leaves at its match, and the cut-off writer would fail the pipe.
  have=$(locale -a 2>/dev/null)
  for l in "${TEST_LOCALES[@]}"; do grep -qix "${l%.UTF-8}.utf8" <<<"$have" || return 1; done
}

if [ ${#missing[@]} -eq 0 ] && sqlcipher_ok && locale_ok; then
  exit 0
fi

if [ ${#missing[@]} -gt 0 ] || ! sqlcipher_ok; then
  enable_backports
  $SUDO apt-get update -qq
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if ! sqlcipher_ok; then
  echo "install-deps: installing ${BACKPORT_PACKAGES[*]} (SQLCipher >= $MIN_SQLCIPHER)"
  if [ "$codename" = "bookworm" ]; then
    $SUDO apt-get install -y -qq --no-install-recommends -t bookworm-backports "${BACKPORT_PACKAGES[@]}"
  else
    $SUDO apt-get install -y -qq --no-install-recommends "${BACKPORT_PACKAGES[@]}"
  fi
  sqlcipher_ok || { echo "install-deps: SQLCipher $MIN_SQLCIPHER or newer is not available" >&2; exit 1; }
fi
if ! locale_ok; then
  if [ -f /etc/locale.gen ]; then
    echo "install-deps: generating the ${TEST_LOCALES[*]} locales"
    for l in "${TEST_LOCALES[@]}"; do
      $SUDO sed -i "s/^# *$l/$l/" /etc/locale.gen
      grep -q "^$l" /etc/locale.gen || echo "$l UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    done
    $SUDO locale-gen >/dev/null
  fi
fi
