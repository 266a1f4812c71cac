# One interface target that every project target links: language level,
# warnings and the Qt defines that keep wire bytes and text apart.
add_library(velkor_options INTERFACE)
target_compile_features(velkor_options INTERFACE cxx_std_20)
target_compile_options(velkor_options INTERFACE -Wall -Wextra -Werror)
target_compile_definitions(velkor_options INTERFACE
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_CAST_TO_ASCII
    QT_RESTRICTED_CAST_FROM_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_USE_QSTRINGBUILDER)

if(ENABLE_SANITIZERS)
    target_compile_options(velkor_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(velkor_options INTERFACE -fsanitize=address,undefined)
endif()

# Adds a Qt Test executable and registers it with CTest.
# Every test gets its own settings folder, so suites never touch the
# user's store and can run in parallel.
function(velkor_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE velkor_options velkor_testsupport Qt6::Test ${ARG_LIBRARIES})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VELKOR_DIRECTORY_URL=http://127.0.0.1:9"
        TIMEOUT 300)
endfunction()
