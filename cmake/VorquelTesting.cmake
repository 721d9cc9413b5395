# vq_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>] [ENV <VAR=value...>])
# Builds one GoogleTest executable and registers each of its tests with CTest. Every test runs
# with TZ=Europe/Berlin unless ENV says otherwise, so local-time results are the same everywhere.
#
# vq_test_path(<NAME> <path>): a file or folder tests reach with vq::test::TestPath("NAME"). Paths
# go to vq-test-paths.txt in the build folder, never into a compile definition: an absolute path
# compiled in would make every checkout in another folder miss the compiler cache.
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

add_library(vq_test_paths STATIC ${PROJECT_SOURCE_DIR}/tests/support/TestPaths.cpp)
target_include_directories(vq_test_paths PUBLIC ${PROJECT_SOURCE_DIR})

function(vq_test_path name path)
    set_property(GLOBAL APPEND PROPERTY VQ_TEST_PATHS "${name}=${path}")
endfunction()

vq_test_path(VQ_TEST_DATA_DIR ${PROJECT_SOURCE_DIR}/tests/data)
vq_test_path(VQ_CAPTURES_DIR ${VQ_CAPTURES_DIR})
vq_test_path(VQ_TEST_OUTPUT_DIR ${PROJECT_BINARY_DIR}/test-output)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/test-output)

# Called once at the end of the top CMakeLists, when every folder has added its paths.
function(vq_test_write_paths)
    get_property(paths GLOBAL PROPERTY VQ_TEST_PATHS)
    list(JOIN paths "\n" lines)
    file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/vq-test-paths.txt CONTENT "${lines}\n")
endfunction()

# The ThreadSanitizer stage runs only the tests labelled `threads`; this target builds just those.
add_custom_target(threads_tests)

function(vq_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} vq_test_paths GTest::gtest GTest::gmock GTest::gtest_main)
    # Test discovery flattens a list-valued ENVIRONMENT property, so the variables reach each test
    # process through env(1) as its launcher instead.
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "env;TZ=Europe/Berlin;${T_ENV}")
    set(labels ${T_LABELS})
    if(NOT labels)
        set(labels unit)
    endif()
    # Test discovery flattens a list-valued property too: a second label would become a property
    # name and the first alone would stay, so a test meant for the thread stage would never reach it.
    list(LENGTH labels label_count)
    if(label_count GREATER 1)
        message(FATAL_ERROR "vq_test(${name}): one label only, not '${labels}'")
    endif()
    if("threads" IN_LIST labels)
        add_dependencies(threads_tests ${name})
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES LABELS "${labels}")
endfunction()
