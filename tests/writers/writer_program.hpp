#pragma once

// How a writer test finds its program, or skips with the reason.

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

// A writer program's path as the build found it ("" where it found none). The
// file compiles the same either way; a test without its program is skipped
// with the reason, and "" comes back, so a writer's test starts with
//     const std::string convert = program(IMAGEMAGICK_CONVERT, "ImageMagick");
//     if (convert.empty())
//         return;
inline std::string program(const char* path, const std::string& name) {
    if (*path == '\0') {
        // GTEST_SKIP returns from the function it is in, so it sits in a lambda.
        [&name] {
            GTEST_SKIP() << name
                         << (OPTIONAL_TOOLS_SEARCHED
                                 ? " not found when the build was configured"
                                 : " not looked for: the build was configured with "
                                   "BMP2LAND_OPTIONAL_TOOLS=OFF");
        }();
    }
    return path;
}

}  // namespace testing_support
