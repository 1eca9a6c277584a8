// A failed load says where the fault is: the file and, for text files, the
// line, for binary files the byte where reading stopped. Messages with a fixed
// text keep it; the place follows them as a message of its own.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "case_fixture.h"
#include "zelhost_runner.h"

namespace {

using quorix::test::TempDir;
using casetest::CopySample;
using e2e::Sample;
using ::testing::Contains;
using ::testing::HasSubstr;

// Line number (from 1) of the line holding byte `at`.
std::string LineOf(const std::string& bytes, size_t at) {
    return "line " + std::to_string(1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

std::string ByteAt(size_t at) { return "byte " + std::to_string(at); }

// The offset of `what`, which the damage needs.
size_t Find(const std::string& bytes, const std::string& what) {
    const size_t at = bytes.find(what);
    if (at == std::string::npos) ADD_FAILURE() << "no \"" << what << "\" to damage";
    return at == std::string::npos ? 0 : at;
}

void Put(std::string& bytes, size_t at, const std::string& with) {
    if (at + with.size() <= bytes.size()) bytes.replace(at, with.size(), with);
}

// A damage changes the bytes of one file and returns the place the error must name.
using Damage = std::function<std::string(std::string& bytes)>;

struct Row {
    const char* name;
    const char* sample;  // case file under samples/
    const char* file;    // the file damaged
    Damage damage;
    // The message the place follows (its start).
    std::string fixed;
    std::vector<std::string> options;
};

const std::string GoldRead = "Error when reading file ";
const std::string Ensight6Variable = "Error reading the variable file {file}: ";
const std::string Ensight6Geometry = "Error reading the geometry file {file}: ";

// A count word made huge: the reader stops right after it.
Damage HugeCountAfter(const std::string& record, int64_t recordBytes, const std::string& huge) {
    return [=](std::string& bytes) {
        const size_t count = Find(bytes, record) + recordBytes;
        Put(bytes, count, huge);
        return ByteAt(count + 4);
    };
}

// The text line holding `what` replaced by `with`, of the same length.
Damage TextLine(const std::string& what, const std::string& with) {
    return [=](std::string& bytes) {
        const size_t at = Find(bytes, what);
        Put(bytes, at, with);
        return LineOf(bytes, at);
    };
}

const std::string HugeLe("\xff\xff\xff\x7f", 4);
const std::string HugeBe("\x7f\xff\xff\xff", 4);

std::vector<Row> Rows() {
    return {
        {"Gold ASCII geometry", "gold/cube/ascii/cube.case", "cube.geo", TextLine("         1\n         1         2", "        -1\n         1         2"),
         GoldRead, {}},
        {"Gold C binary geometry, little-endian", "gold/cube/le/cube.case", "cube.geo",
         HugeCountAfter("hexa8", 80, HugeLe), GoldRead, {}},
        {"Gold C binary geometry, big-endian", "gold/cube/be/cube.case", "cube.geo",
         HugeCountAfter("hexa8", 80, HugeBe), GoldRead, {}},
        // A record length that is no whole number of words: the place is the record's start.
        {"Gold Fortran geometry", "gold/cube/fortran_le/cube.case", "cube.geo",
         [](std::string& bytes) {
             const size_t record = Find(bytes, "coordinates") - 4;
             Put(bytes, record, std::string("\x51\x00\x00\x00", 4));
             return ByteAt(record);
         },
         GoldRead, {}},
        {"Gold measured particles", "gold/measured/ascii/measured.case", "particles.0001",
         TextLine("   70003 1.00000e+00", "   70003 garbage0000"), GoldRead + "{file}\nCould not load the ",
         {"--load-all"}},
        {"Case file", "gold/cube/ascii/cube.case", "cube.case", TextLine("model:", "modle:"),
         "Invalid Geometry section in case file.", {}},
        // The scan only counts the lines of values; the forced load finds the bad one.
        {"Deferred load of Gold ASCII values", "gold/cube/ascii/cube.case", "cube.temperature",
         TextLine("-3.00000e+00\n", "garbage00000\n"), GoldRead + "{file}\nCould not load the ", {"--load-all"}},
        {"EnSight 6 ASCII variable", "ensight6/steady_var3/ascii/steady_var3.case", "steady_var3.pressure0",
         TextLine(" 2.50000e+00 1.75000e+00 1.00000e+00 3.25000e+00",
                  " 2.50000e+00 1.75000e+00 1.00000e+00 garbage00000"),
         Ensight6Variable, {}},
        {"Deferred load of EnSight 6 ASCII coordinates", "ensight6/steady_var3/ascii/steady_var3.case",
         "steady_var3.geo", TextLine("-1.00000e+00 1.00000e+00 0.00000e+00", "-1.00000e+00 garbage0000 0.00000e+00"),
         GoldRead + "{file}\nCould not load the ", {"--load-all"}},
        {"EnSight 6 ASCII geometry", "ensight6/steady_var3/ascii/steady_var3.case", "steady_var3.geo",
         TextLine("      12\n", "99999999\n"), Ensight6Geometry, {}},
        // Lines count from the file's start, not from the step the scan began at.
        {"EnSight 6 ASCII geometry, second step of a file set", "ensight6/fileset/ascii/fileset.case", "fileset.geo",
         [](std::string& bytes) {
             const size_t at = bytes.find("coordinates\n", bytes.find("BEGIN TIME STEP", 1)) + 12;
             Put(bytes, at, "99999999");
             return LineOf(bytes, at);
         },
         Ensight6Geometry, {}},
        {"EnSight 6 ASCII description of 80 characters", "ensight6/steady_var3/ascii/steady_var3.case",
         "steady_var3.geo",
         [](std::string& bytes) {
             const size_t at = Find(bytes, "written by");
             bytes.replace(at, bytes.find('\n', at) - at, std::string(80, 'd'));
             return LineOf(bytes, at);
         },
         GoldRead + "{file}\nInvalid character string for Geometry Description.", {}},
        {"EnSight 6 C binary geometry", "ensight6/steady_var3/le/steady_var3.case", "steady_var3.geo",
         HugeCountAfter("coordinates", 80, HugeLe), Ensight6Geometry, {}},
    };
}

std::string Listed(const std::vector<std::string>& errors) {
    std::string text;
    for (const std::string& error : errors) text += "  [" + error + "]\n";
    return text;
}

void ExpectPlaceNamed(const Row& row) {
    TempDir dir;
    std::string place;
    const std::string casePath = CopySample(dir, Sample(row.sample), [&](const std::string& name, std::string bytes) {
        if (name == row.file) place = row.damage(bytes);
        return bytes;
    });
    ASSERT_FALSE(place.empty());
    std::vector<std::string> options{"--batch"};
    options.insert(options.end(), row.options.begin(), row.options.end());
    const e2e::RunResult run = e2e::LoadCase(casePath, options);
    ASSERT_TRUE(run.report.has_value()) << run.Describe();
    EXPECT_EQ(run.status, 1) << run.Describe();
    const std::vector<std::string> errors = e2e::Texts(*run.report, "error");
    const std::string path = dir.Prefix() + row.file;
    const std::string detail = "File " + path + ", " + place;
    const auto at = std::find_if(errors.begin(), errors.end(), [&](const std::string& error) {
        return error == detail || error.rfind(detail + ": ", 0) == 0;
    });
    ASSERT_NE(at, errors.end()) << "no \"" << detail << "\"\n" << Listed(errors);
    ASSERT_NE(at, errors.begin()) << Listed(errors);
    const std::string fixed = casetest::ReplaceAll(row.fixed, "{file}", path);
    EXPECT_EQ((at - 1)->rfind(fixed, 0), 0u) << "the place does not follow \"" << fixed << "\"\n" << Listed(errors);
}

TEST(ErrorPlaces, EveryReaderNamesFileAndPlace) {
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.name);
        ExpectPlaceNamed(row);
    }
}

// A master file's complaint points at the line that made it.
// A variable whose scan fails is left out of a load that goes on; the list of
// variables not loaded says where its file went wrong.
TEST(ErrorPlaces, VariableLeftOutNamesItsPlace) {
    for (const char* sample : {"gold/cube/ascii/cube.case", "gold/cube/le/cube.case"}) {
        SCOPED_TRACE(sample);
        const bool ascii = std::string(sample).find("ascii") != std::string::npos;
        TempDir dir;
        std::string place;
        const std::string casePath = CopySample(dir, Sample(sample), [&](const std::string& name, std::string bytes) {
            if (name == "cube.temperature") {
                place = ascii ? TextLine("coordinates", "coordinatez")(bytes)
                              : [&] {
                                    const size_t at = Find(bytes, "coordinates");
                                    Put(bytes, at, "coordinatez");
                                    return ByteAt(at + 80);
                                }();
            }
            return bytes;
        });
        const e2e::RunResult run = e2e::LoadCase(casePath, {"--batch"});
        ASSERT_TRUE(run.report.has_value()) << run.Describe();
        const std::vector<std::string> errors = e2e::Texts(*run.report);  // the list is a message box, not an error
        const std::string named = "(File " + dir.Prefix() + "cube.temperature, " + place + ")";
        EXPECT_THAT(errors, Contains(HasSubstr(named)));
    }
}

TEST(ErrorPlaces, ServerOfServersFileNamesTheLine) {
    TempDir dir;
    const std::string piece = CopySample(dir, Sample("gold/cube/ascii/cube.case"));
    const std::string master = "FORMAT\ntype: master_server gold\n\nSERVERS\nnumber of servers: 3\n"
                               "casefile: " + piece + "\ncasefile: " + piece + "\n";
    const std::string path = dir.Write("all.sos", master);
    const e2e::RunResult run = e2e::LoadCase(path, {"--batch"});
    ASSERT_TRUE(run.report.has_value()) << run.Describe();
    const std::vector<std::string> errors = e2e::Texts(*run.report, "error");
    const auto at = std::find(errors.begin(), errors.end(), "File " + path + ", " + LineOf(master, Find(master, "number")));
    ASSERT_NE(at, errors.end()) << Listed(errors);
    ASSERT_NE(at, errors.begin());
    EXPECT_NE((at - 1)->find("gives 3 servers but lists 2 case files."), std::string::npos) << *(at - 1);
}

}  // namespace
