# qs_juv_gzip(SOURCE DESTINATION TARGET): builds SOURCE.gz (gzip -9n: no name or time inside, so
# builds are reproducible) and installs it to DESTINATION under SOURCE's name.
function(qs_juv_gzip source destination target)
    get_filename_component(name "${source}" NAME)
    string(MD5 key "${destination}/${name}")
    set(output "${PROJECT_BINARY_DIR}/gz/${key}/${name}.gz")
    add_custom_command(OUTPUT "${output}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${PROJECT_BINARY_DIR}/gz/${key}"
        COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" "${source}" "${output}"
        DEPENDS "${source}" VERBATIM)
    add_custom_target(${target} ALL DEPENDS "${output}")
    install(FILES "${output}" DESTINATION "${destination}")
endfunction()
