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

# One static library per subsystem folder: its .cpp and .h files (less
# EXCLUDE), with the source root as include path.
function(vt_add_library target)
    cmake_parse_arguments(ARG "" "" "LIBS;EXCLUDE" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    foreach(excluded IN LISTS ARG_EXCLUDE)
        list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
    endforeach()
    add_library(${target} STATIC ${sources})
    # With Ninja, AUTOMOC does not rerun when a re-glob adds a header to an
    # existing build; dropping its stamp when the list changes makes it.
    set(source_list ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.txt)
    if(EXISTS ${source_list})
        file(READ ${source_list} previous_sources)
        if(NOT previous_sources STREQUAL "${sources}")
            file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
        endif()
    endif()
    file(WRITE ${source_list} "${sources}")
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_LIBS})
    vt_configure_target(${target})
endfunction()
