#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
set -euo pipefail
PKGS=(build-essential cmake pkg-config qt6-base-dev qt6-svg-dev libgl1-mesa-dev libcurl4-openssl-dev
      libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth fonts-dejavu-core
      # chattr: the tests close a folder to root's new files by making it immutable.
      e2fsprogs
      # "Liberation Sans": the family the windows ask for, as wide as the designed fonts.
      fonts-liberation2
      # Qt's own texts (file dialog, message box buttons) in French and Spanish.
      qt6-translations-l10n)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
