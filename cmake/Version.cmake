# The program's version has one home, kProgramVersion in the core: the form shows it, every saved
# file carries it, and the package is named after it.
file(STRINGS "${PROJECT_SOURCE_DIR}/src/core/QuestionnaireRules.h" qs_juv_version_line
     REGEX "kProgramVersion\\[\\] = \"[^\"]+\"")
string(REGEX REPLACE ".*= \"([^\"]+)\".*" "\\1" QS_JUV_VERSION "${qs_juv_version_line}")
# A Debian upstream version starts with a digit and holds letters, digits and ".+~" only; "4e"
# already is one, so anything else is a change to think about, not to mangle silently.
if(NOT QS_JUV_VERSION MATCHES "^[0-9][A-Za-z0-9.+~]*$")
    message(FATAL_ERROR "kProgramVersion \"${QS_JUV_VERSION}\" is no Debian upstream version")
endif()
set(QS_JUV_DEBIAN_VERSION "${QS_JUV_VERSION}-1")
