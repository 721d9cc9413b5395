# vq_fuzz(<name> SOURCES <files...> LIBS <targets...> CORPUS <folder> [DEFINES <definitions...>])
# A libFuzzer target: a source that defines LLVMFuzzerTestOneInput. In the fuzz build (clang,
# VQ_FUZZ=ON) it links with libFuzzer and joins the `fuzz_targets` target that ./fuzz builds and runs.
# In every other build it links with a small driver that replays the seed corpus, registered as a test,
# so the ordinary and sanitizer stages check that every seed still runs clean.
option(VQ_FUZZ "Build the libFuzzer targets with clang" OFF)

if(VQ_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
    add_custom_target(fuzz_targets)
endif()

function(vq_fuzz name)
    cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS;DEFINES" ${ARGN})
    add_executable(${name} ${F_SOURCES})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_compile_definitions(${name} PRIVATE ${F_DEFINES})
    if(VQ_FUZZ)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        add_dependencies(fuzz_targets ${name})
        set_property(GLOBAL APPEND PROPERTY VQ_FUZZ_TARGETS "${name}|$<TARGET_FILE:${name}>|${F_CORPUS}")
    else()
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/FuzzReplayMain.cpp)
        add_test(NAME ${name}_replay COMMAND ${name} ${F_CORPUS})
        set_tests_properties(${name}_replay PROPERTIES LABELS fuzz ENVIRONMENT TZ=Europe/Berlin)
    endif()
endfunction()

# Writes out/<flavour>/fuzz_targets.txt: one "name|binary|corpus" line per target, for ./fuzz.
function(vq_fuzz_write_list)
    if(VQ_FUZZ)
        get_property(targets GLOBAL PROPERTY VQ_FUZZ_TARGETS)
        list(JOIN targets "\n" lines)
        file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/fuzz_targets.txt CONTENT "${lines}\n")
    endif()
endfunction()
