# Install rules and the Debian package. Everything is installed relative to the prefix,
# and the program finds its templates as ../share/mnemora/db from bin/, so any prefix works.
include(GNUInstallDirs)

set(MNEMORA_APP_ID io.github.mnemora.Mnemora)
set(MNEMORA_LINUX_RES ${PROJECT_SOURCE_DIR}/res/linux)
set(MNEMORA_DB_TEMPLATES "${PROJECT_BINARY_DIR}/db" CACHE PATH "Built word lists installed as templates")

install(TARGETS mnemora RUNTIME DESTINATION bin)
install(FILES ${MNEMORA_LINUX_RES}/${MNEMORA_APP_ID}.desktop DESTINATION share/applications)
configure_file(${MNEMORA_LINUX_RES}/${MNEMORA_APP_ID}.metainfo.xml
               ${PROJECT_BINARY_DIR}/${MNEMORA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${MNEMORA_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${MNEMORA_LINUX_RES}/${MNEMORA_APP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)

find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
    set(icon_pngs)
    foreach(size 16 32 48 64 128 256)
        set(png ${PROJECT_BINARY_DIR}/icons/${size}/${MNEMORA_APP_ID}.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}
            COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${MNEMORA_LINUX_RES}/${MNEMORA_APP_ID}.svg
            DEPENDS ${MNEMORA_LINUX_RES}/${MNEMORA_APP_ID}.svg VERBATIM)
        list(APPEND icon_pngs ${png})
        install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(mnemora_icons ALL DEPENDS ${icon_pngs})
else()
    message(WARNING "rsvg-convert not found: only the scalable icon is installed")
endif()

# The lists are read-only templates; each user gets a copy on first start.
install(DIRECTORY ${MNEMORA_DB_TEMPLATES}/ DESTINATION share/mnemora/db
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
        OPTIONAL FILES_MATCHING PATTERN "*.dat" PATTERN "CREDITS.txt")

install(FILES ${MNEMORA_LINUX_RES}/copyright DESTINATION share/doc/mnemora)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/mnemora.1.gz
    COMMAND gzip -9nc ${MNEMORA_LINUX_RES}/mnemora.1 > ${PROJECT_BINARY_DIR}/mnemora.1.gz
    DEPENDS ${MNEMORA_LINUX_RES}/mnemora.1)
add_custom_target(mnemora_manpage ALL DEPENDS ${PROJECT_BINARY_DIR}/mnemora.1.gz)
install(FILES ${PROJECT_BINARY_DIR}/mnemora.1.gz DESTINATION share/man/man1)
configure_file(${MNEMORA_LINUX_RES}/changelog ${PROJECT_BINARY_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
    COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/changelog
    DEPENDS ${PROJECT_BINARY_DIR}/changelog VERBATIM)
add_custom_target(mnemora_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION share/doc/mnemora)

# The package: shlibdeps finds the libraries of the program and of any optional module
# another part installs (lib/mnemora/modules); the file list is whatever the install rules put.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mnemora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Mnemora developers <mnemora@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop vocabulary trainer for Chinese-speaking learners of English")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A borderless float window on the desktop shows one English word, then its
pronunciation and Chinese meaning, then two example sentences with their
translations. A spaced-repetition scheme walks one of twelve word lists and
keeps each user's progress in their home folder.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own buttons and dialogs in Chinese; without it they stay English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/mnemora/mnemora")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR})
include(CPack)
