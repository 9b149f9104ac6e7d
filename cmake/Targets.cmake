# Flags for our own targets: warnings are errors here, not in generated or
# third-party code.
function(vt_configure_target target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    target_compile_definitions(${target} PRIVATE
        QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
        QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endfunction()

if(VT_SANITIZE)
    add_compile_options(-fsanitize=${VT_SANITIZE} -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=${VT_SANITIZE})
    if(VT_SANITIZE MATCHES "undefined")
        add_compile_options(-fno-sanitize-recover=undefined)
    endif()
endif()

# One static library per folder, from its explicit source list, with the
# source root as include path.
function(vt_add_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_LIBS})
    vt_configure_target(${target})
endfunction()
