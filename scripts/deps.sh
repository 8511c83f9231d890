#!/usr/bin/env bash
# The one list of Debian packages that building, running and testing Varnel needs.
# Idempotent: installs only what is missing (as root, after one `apt-get update`),
# otherwise prints the command to run. Also makes the locales the tests switch to.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config
  # libraries
  qt6-base-dev qt6-qpa-plugins libicu-dev nettle-dev zlib1g-dev libpcre2-dev
  libfreetype-dev libglib2.0-dev shared-mime-info libx11-dev libxext-dev
  libopencc-dev libopencc-data libcurl4-openssl-dev
  # Qt's own dialog texts in the user's language
  qt6-translations-l10n
  # sounds of previewed rows (Qt Multimedia and a GStreamer decoder set)
  qt6-multimedia-dev gstreamer1.0-plugins-good
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # exiftool reads shortcut files to cross-check ours
  libimage-exiftool-perl
  # test helpers: iconv (libc-bin), the locale tools, digest tools to cross-check,
  # xdg-user-dir to read the user folder file as the desktop does; gio and
  # update-desktop-database to see which application a desktop opens a type with
  libc-bin locales coreutils rhash attr xdg-user-dirs libglib2.0-bin desktop-file-utils
  # a font and fontconfig's fc-scan to cross-check font face names
  fonts-dejavu-core fontconfig
  # an X server for the main window's screenshot, and a font with Chinese characters
  xvfb xauth fonts-wqy-zenhei
  # Debian's rename(1), the peer of the rename benchmark
  rename
  # the curl tool, the peer of the download benchmark
  curl
  # ICU's uconv, the peer of the pinyin benchmark
  icu-devtools
  # the include order check
  python3
  # independent tag readers and writers to cross-check the MP3 tags
  python3-mutagen id3v2
  # pdfinfo, pdftotext and pdftoppm read back the printed list report
  poppler-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
  else
    echo "Missing packages: ${missing[*]}" >&2
    echo "Run: sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
fi

# A comma-decimal locale: the tests check that numbers never go through the C locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [ "$(id -u)" -eq 0 ]; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "note: could not make de_DE.UTF-8" >&2
  else
    echo "note: de_DE.UTF-8 is missing; run: sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8" >&2
  fi
fi
