# The Debian package: `cpack -G DEB` in a release build (tools/package.sh runs it and lintian).
# Everything it holds comes from `cmake --install`, so the package and an install by hand agree.
set(qs_juv_docdir ${CMAKE_INSTALL_DATADIR}/doc/qs-juv)

set(CPACK_PACKAGE_NAME qs-juv)
set(CPACK_PACKAGE_VERSION ${QS_JUV_VERSION})
set(CPACK_PACKAGE_CONTACT "Seed 9372daa6 maintainers <maintainers@users.noreply.c-seed-9372daa6.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "questionnaire for the verification of ZhUV-610/720 transducers")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A customer fills in the questionnaire for the metrological verification of\n\
ZhUV-610 and ZhUV-720 measuring transducers: the firm's requisites, the device\n\
model and quantity, and per channel the sensor, its characteristic, the\n\
measuring range, connection and output. The form offers only what the\n\
catalogue allows and saves a Windows-1251 file with a check code.\n\
.\n\
qs_juv_check checks received questionnaire files in bulk.")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The X11 and Wayland platforms are plug-ins no library links; Qt's own texts, the C library's
# reasons in Russian and the face the form was drawn for are welcome, not required.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libc-l10n, fonts-liberation2")
if(NOT QS_JUV_DEBIAN_VERSION STREQUAL "${QS_JUV_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")
    message(FATAL_ERROR "the Debian revision is set in two places")
endif()

# Debian's changelog and copyright, compressed as lintian expects; the date is fixed in the
# template so that two builds of one version make the same file.
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog.Debian @ONLY)
qs_juv_gzip(${PROJECT_BINARY_DIR}/packaging/changelog.Debian ${qs_juv_docdir} qs_juv_changelog)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${qs_juv_docdir})

include(CPack)
