# Compile settings shared by every target of the project.
add_library(qs_juv_common INTERFACE)
target_compile_options(qs_juv_common INTERFACE -Wall -Wextra -Wpedantic)
if(QS_JUV_WERROR)
    target_compile_options(qs_juv_common INTERFACE -Werror)
endif()
target_compile_definitions(qs_juv_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
)
if(QS_JUV_SANITIZE)
    target_compile_options(qs_juv_common INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
    target_link_options(qs_juv_common INTERFACE -fsanitize=address,undefined)
endif()
