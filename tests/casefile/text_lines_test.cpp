#include "casefile/text_lines.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using quorix::TextLines;
namespace fs = std::filesystem;

struct Read {
    std::vector<std::string> lines;
    TextLines::Status last;
};

Read ReadAll(const std::string& path) {
    TextLines file;
    Read read{{}, TextLines::Status::Error};
    if (!file.Open(path.c_str())) return read;
    std::string_view line;
    while ((read.last = file.Next(line)) == TextLines::Status::Line) read.lines.emplace_back(line);
    return read;
}

TEST(TextLines, WholeLines) {
    const std::string longLine = std::string(200000, 'x') + "\n";
    struct Row {
        const char* name;
        std::string content;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"empty", "", {}},
        {"line ends kept", "a\nb\r\n", {"a\n", "b\r\n"}},
        {"last line without its end", "a\nb", {"a\n", "b"}},
        {"longer than the buffer", "a\n" + longLine + "c", {"a\n", longLine, "c"}},
    };
    const fs::path path = fs::temp_directory_path() / "quorix_text_lines.txt";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::ofstream(path, std::ios::binary) << row.content;
        const Read read = ReadAll(path.string());
        EXPECT_EQ(read.last, TextLines::Status::End);
        EXPECT_EQ(read.lines, row.lines);
    }
    fs::remove(path);
}

// Only regular files open, through symlinks too: opening a FIFO would wait for a writer.
TEST(TextLines, OnlyRegularFilesOpen) {
    using quorix::OpenFailure;
    std::string folder = (fs::temp_directory_path() / "quorix_dir_XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    std::ofstream(folder + "/file") << "a\n";
    fs::create_symlink(folder + "/file", folder + "/link");
    ASSERT_EQ(mkfifo((folder + "/fifo").c_str(), 0600), 0);
    struct Row {
        const char* name;
        std::string path;
        OpenFailure failure;
    };
    const Row rows[] = {
        {"symlink to a regular file", folder + "/link", OpenFailure::None},
        {"missing", "/nonexistent/file", OpenFailure::CannotOpen},
        {"directory", folder, OpenFailure::NotRegular},
        {"FIFO", folder + "/fifo", OpenFailure::NotRegular},
        {"device", "/dev/null", OpenFailure::NotRegular},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TextLines file;
        OpenFailure failure = OpenFailure::CannotOpen;
        EXPECT_EQ(file.Open(row.path.c_str(), &failure), row.failure == OpenFailure::None);
        EXPECT_EQ(failure, row.failure);
    }
    EXPECT_FALSE(TextLines().Open(nullptr));
    fs::remove_all(folder);
}

}  // namespace
