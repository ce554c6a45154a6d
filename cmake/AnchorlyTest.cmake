# anchorly_add_test(<name> SOURCES <files...> LIBRARIES <targets...>)
#
# Builds one test suite and registers it with CTest, pinned to the offscreen
# platform, a fixed language and a temporary home of its own so that no test
# reads or writes the user's settings or files.
function(anchorly_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBRARIES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set(home "${CMAKE_CURRENT_BINARY_DIR}/${name}.home")
    file(MAKE_DIRECTORY "${home}" "${home}/runtime")
    # The runtime folder must be private, or the toolkit refuses it.
    file(CHMOD "${home}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;HOME=${home};XDG_CONFIG_HOME=${home}/.config;XDG_RUNTIME_DIR=${home}/runtime;QT_LOGGING_RULES=qt.qpa.*=false")
endfunction()
