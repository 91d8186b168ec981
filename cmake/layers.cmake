# What every target of the project is built with, tests and fuzz targets too.
add_library(vastrel_options INTERFACE)
target_compile_options(vastrel_options INTERFACE -Wall -Wextra)
# Text meets bytes only where the code says which encoding: no silent casts.
target_compile_definitions(vastrel_options INTERFACE QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING)

# A layer of the program: one static library per folder, linked only to the
# layers it may use. Each layer is also linked once on its own into a shared
# object that may leave nothing undefined, so a call into a layer it does not
# name fails the build instead of slipping in through a header.
function(vastrel_layer name)
    cmake_parse_arguments(LAYER "" "" "USES" ${ARGN})
    add_library(${name} STATIC)
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_link_libraries(${name} PUBLIC ${LAYER_USES} PRIVATE vastrel_options)
    # The sanitizers' and fuzzer's runtimes are linked into programs only, and
    # a Windows DLL has no such check to ask for.
    if(NOT WIN32 AND NOT VASTREL_SANITIZE AND NOT VASTREL_FUZZ AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        add_library(${name}_alone SHARED ${CMAKE_SOURCE_DIR}/cmake/nothing.cpp)
        target_link_libraries(${name}_alone PRIVATE
            -Wl,--whole-archive ${name} -Wl,--no-whole-archive ${LAYER_USES})
        target_link_options(${name}_alone PRIVATE -Wl,--no-undefined)
        set_target_properties(${name}_alone PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layers)
    endif()
endfunction()
