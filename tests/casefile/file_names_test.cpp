#include "casefile/file_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using quorix::BuildDataFileName;
using quorix::IsAbsolutePath;

TEST(FileNames, BuildDataFileName) {
    struct Row {
        const char* name;
        std::string directory;
        std::string pattern;
        int32_t number;
        std::string path;
    };
    const Row rows[] = {
        {"four stars, 7", "d/", "geo.****", 7, "d/geo.0007"},
        {"four stars, 12", "d/", "geo.****", 12, "d/geo.0012"},
        {"number longer than the run", "d/", "geo**", 123, "d/geo123"},
        {"only the first run", "", "t*_*.dat", 3, "t3_*.dat"},
        {"negative number", "d/", "g***", -5, "d/g-005"},
        {"lowest int32", "", "g*", INT32_MIN, "g-2147483648"},
        {"run in a directory name", "c/", "data/********/U", 20, "c/data/00000020/U"},
        {"no star ignores the number", "d/", "geo", 99, "d/geo"},
        {"300 stars", "", std::string(300, '*'), 1, std::string(299, '0') + "1"},
        {"slash path", "d/", "/abs/geo*", 1, "/abs/geo1"},
        {"drive path", "d/", "C:\\geo", 1, "C:\\geo"},
        {"network path", "d/", "\\\\server\\geo", 1, "\\\\server\\geo"},
        {"two-character drive is relative", "d/", "C:", 1, "d/C:"},
        {"colon in a plain name", "d/", "p:total.**", 4, "d/p:total.04"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const quorix::HostString path = BuildDataFileName(row.directory, row.pattern, row.number);
        EXPECT_EQ(path.view(), row.path);
    }
}

TEST(FileNames, IsAbsolutePath) {
    EXPECT_TRUE(IsAbsolutePath("/"));
    EXPECT_TRUE(IsAbsolutePath("c:/x"));
    EXPECT_FALSE(IsAbsolutePath("c:x"));
    EXPECT_TRUE(IsAbsolutePath("\\\\a"));
    EXPECT_FALSE(IsAbsolutePath("\\\\"));
    EXPECT_FALSE(IsAbsolutePath("1:x"));
    EXPECT_FALSE(IsAbsolutePath("geo"));
    EXPECT_FALSE(IsAbsolutePath(""));
}

}  // namespace
