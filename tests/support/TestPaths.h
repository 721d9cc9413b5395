#pragma once

#include <string>

namespace vq::test {

// A file or folder of the build that tests need (VQ_TEST_DATA_DIR, VQ_CAPTURES_DIR,
// VQ_TEST_OUTPUT_DIR and those a test's CMakeLists adds with vq_test_path). The build writes them
// to vq-test-paths.txt at the top of its folder instead of compiling them in, so checkouts in
// different folders compile to the same objects and share the compiler cache. A name the file
// lacks stops the test program with a message.
const std::string& TestPath(const std::string& name);

} // namespace vq::test
