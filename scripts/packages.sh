# Sourced by scripts/test and scripts/run: installs the Debian packages the project needs when some are
# missing (apt-get update once, then one install), with sudo when not root.
kavor_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev qt6-translations-l10n
  libgtest-dev
  fonts-dejavu-core
  avrdude
  xvfb xauth
)

kavor_install_packages() {
  local missing=()
  local p
  for p in "${kavor_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
