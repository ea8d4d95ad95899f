# Sourced by the set-up scripts: apt_install PACKAGE... installs the ones not
# installed yet, through sudo when not root.
apt_install() {
  local missing=() p sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing ${missing[*]}" >&2
  $sudo apt-get update >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}" >&2
}
