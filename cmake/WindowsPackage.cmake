# The Windows installer (CPack's NSIS generator). scripts/windows/package.sh first lays out the
# installed tree in MNEMORA_WIN_STAGE (bin/ with the program, its DLLs, plugins and modules;
# share/mnemora/db/ with the list templates), then runs cpack here. Without db/ beside the
# program it runs installed: each user's settings and lists live in their profile, so an
# upgrade or an uninstall never touches them.
set(MNEMORA_WIN_STAGE "${PROJECT_BINARY_DIR}/stage/installed" CACHE PATH "Installed tree the installer packs")

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Mnemora)
set(CPACK_PACKAGE_VENDOR Mnemora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Mnemora-${PROJECT_VERSION}-win64-setup)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Mnemora)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop vocabulary trainer for Chinese-speaking learners of English")
set(CPACK_INSTALL_CMAKE_PROJECTS "")
set(CPACK_INSTALLED_DIRECTORIES "${MNEMORA_WIN_STAGE};.")
set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/res/windows/mnemora.ico")
set(CPACK_NSIS_URL_INFO_ABOUT "https://github.com/mnemora/mnemora")
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# The project's own script template (a 64-bit, per-user installer), found before CPack's.
set(CPACK_MODULE_PATH "${PROJECT_SOURCE_DIR}/cmake/windows")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
include(CPack)
