# Installs the Debian packages Quillon needs to build, test and run, when any is missing.
# Sourced by run.sh and test.sh; quick when everything is already there.
quillon_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev   # Qt 6 widgets, printing and Qt Test
  libx11-dev                                  # the lock keys of the status bar, read through XKB
  xvfb xauth xdotool                          # the end-to-end run of quillon on a virtual display
  fonts-liberation                            # metric-compatible "Arial" for drawing and printing
  libgtest-dev libgmock-dev libbenchmark-dev  # GoogleTest and Google Benchmark
  biosig-tools                                # an independent SCP-ECG reader the tests compare with
  poppler-utils                               # pdftotext: the tests read the text of rendered pages
  desktop-file-utils shared-mime-info man-db  # checks of the installed desktop entry, MIME type, man pages
  libbiosig-dev                               # its library, the peer of the decoding benchmark
  qt6-svg-dev                                 # SVG pages
  qt6-translations-l10n                       # Qt's own buttons and dialogs in Italian
  libdcmtk-dev libedf-dev                     # the DICOM and EDF+ writers of convert
  dcmtk dicom3tools                           # dcmdump and dciodvfy: the tests check DICOM outputs
)

quillon_install_deps() {
  local missing=()
  local package
  for package in "${quillon_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
      echo "error: these packages are missing and installing them needs root: ${missing[*]}" >&2
      return 1
    fi
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}
