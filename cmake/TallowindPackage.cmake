# The Debian package: `cpack -G DEB` in a configured and built release folder
# packs what `cmake --install` installs. The shared libraries the two programs
# link (Qt, FFmpeg, the C++ runtime) become dependencies through dpkg-shlibdeps
# (package dpkg-dev); what they load or need without linking is named here.
set(CPACK_PACKAGE_NAME "tallowind")
set(CPACK_PACKAGE_VENDOR "Tallowind")
set(CPACK_PACKAGE_CONTACT "Tallowind developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "NUMBERS 3 / NUMBERS 4 draw history, prediction and mark-sheet printing")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Keeps the draw history of the Japanese digit lotteries NUMBERS 3 and NUMBERS 4, "
    "runs a deterministic analysis that proposes numbers and back-tests it, prints "
    "bets onto the mark sheet and writes HTML back-test reports. Includes the "
    "headless tallowind-cli and a sample history.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows need Qt's platform plugins (loaded, not linked) and a Japanese font;
# Qt's Japanese catalogue only changes the wording of Qt's own buttons and dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipaexfont-gothic | fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
