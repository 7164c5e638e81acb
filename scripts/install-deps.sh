#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the benchmarks and the demo need.
# Safe to run again; needs root (or sudo) on Debian 12.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev                       # libFuzzer and the fuzz targets
  libpugixml-dev libzip-dev zlib1g-dev zip unzip # the .docx package
  libsqlite3-dev sqlite3                          # embedded database
  unixodbc unixodbc-dev odbcinst                  # ODBC driver manager
  libsqliteodbc odbc-postgresql                   # ODBC drivers used by the tests
  postgresql                                      # the tests start a private server
  libicu-dev libfmt-dev libcli11-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libreoffice-writer-nogui fonts-noto-cjk         # headless rendering to PDF, Japanese glyphs
  poppler-utils                                   # pdftotext for the rendering tests
  qpdf                                            # joins the PDF chunks of a parallel rendering
  qt6-base-dev                                    # the desktop host (Qt 6 Widgets, Test)
  xvfb xauth imagemagick xdotool                  # screenshots of the desktop host
  cups-daemon cups-client                         # the print tests start a private print server
  dpkg-dev desktop-file-utils strace man-db       # the package: dependencies, desktop entry, install check
  time                                            # peak memory in the benchmarks
  python3                                         # the help manual check, the peer benchmark's verifier
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}" >&2
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
