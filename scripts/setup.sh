#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.txt (or in the list
# files named as arguments) that are missing, and the front end's npm packages
# as web/package-lock.json pins them.
# Safe to repeat: when everything is installed it changes nothing.
#
#   scripts/setup.sh [LIST-FILE...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

install_missing() {
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

lists=("$@")
[ ${#lists[@]} -gt 0 ] || lists=("$here/packages.txt")

missing=()
while read -r package; do
  package=${package%%#*}
  package=$(echo "$package" | tr -d '[:space:]')
  [ -z "$package" ] && continue
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done < <(cat "${lists[@]}")

# npm comes with some builds of nodejs and separately with Debian's.
if ! command -v npm >/dev/null 2>&1; then
  missing+=(npm)
fi

if [ ${#missing[@]} -ne 0 ]; then
  install_missing
fi

# The front end's packages, exactly as the lock file pins them.
web="$here/../web"
if [ ! -d "$web/node_modules" ] || [ "$web/package-lock.json" -nt "$web/node_modules/.package-lock.json" ]; then
  echo "Installing the front end's packages (npm ci)"
  (cd "$web" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi

