# vq_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>] [ENV <VAR=value...>])
# Builds one GoogleTest executable and registers each of its tests with CTest. Every test runs
# with TZ=Europe/Berlin unless ENV says otherwise, so local-time results are the same everywhere.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

# The shared captures sit beside the main checkout and two levels above a worktree under wt/.
foreach(candidate ${PROJECT_SOURCE_DIR}/../shared/captures ${PROJECT_SOURCE_DIR}/../../shared/captures)
    if(NOT VQ_CAPTURES_DIR AND IS_DIRECTORY ${candidate})
        get_filename_component(VQ_CAPTURES_DIR ${candidate} ABSOLUTE)
    endif()
endforeach()
if(NOT VQ_CAPTURES_DIR)
    set(VQ_CAPTURES_DIR ${PROJECT_SOURCE_DIR}/../shared/captures)
endif()

# The ThreadSanitizer stage runs only the tests labelled `threads`; this target builds just those.
add_custom_target(threads_tests)

function(vq_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE VQ_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
                                               VQ_CAPTURES_DIR="${VQ_CAPTURES_DIR}")
    # Test discovery flattens a list-valued ENVIRONMENT property, so the variables reach each test
    # process through env(1) as its launcher instead.
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "env;TZ=Europe/Berlin;${T_ENV}")
    set(labels ${T_LABELS})
    if(NOT labels)
        set(labels unit)
    endif()
    if("threads" IN_LIST labels)
        add_dependencies(threads_tests ${name})
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES LABELS "${labels}")
endfunction()
