// The case record as `zelhost case --json` prints it: one row per case file,
// with side files and the values expected at dotted paths of the record.
// "{dir}" in an expected value is the case's directory.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "case_fixture.h"

namespace {

using quorix::test::TempDir;

struct RecordRow {
    const char* name;
    std::string caseText;
    std::vector<std::pair<std::string, std::string>> expected;  // path, compact JSON
    std::vector<std::pair<std::string, std::string>> sideFiles = {};
};

const std::string Gold = "FORMAT\ntype: ensight gold\n";

// 0.25 to 59.25, `separator` between them.
std::string SixtyValues(const std::string& separator) {
    std::string values = "0.25";
    for (int i = 1; i < 60; ++i) values += separator + std::to_string(i) + ".25";
    return values;
}

const std::vector<RecordRow>& Rows() {
    static const std::vector<RecordRow> rows = {
        {"format keywords in any case",
         "format\nTYPE: EnSight GOLD\n",
         {{"format", "\"gold\""}, {"variables", "null"}, {"model", "null"}}},
        {"no FORMAT section reads as EnSight 6",
         "GEOMETRY\nmodel: geo\n",
         {{"format", "\"ensight6\""}, {"model.paths", "[\"{dir}geo\"]"}}},
        {"model and measured with sets and flags",
         Gold +
             "GEOMETRY\nmodel: 2 3 geo change_coords_only\nmeasured: 1 parts.**** CHANGE_COORDS_ONLY extra\n"
             "match: m.match\nboundary: b.bnd\nTIME\ntime set: 1\nnumber of steps: 1\ntime values: 0\n"
             "time set: 2\nnumber of steps: 1\ntime values: 0\nFILE\nfile set: 3\nnumber of steps: 1\n",
         {{"geometry.modelTimeSet", "2"},
          {"geometry.modelFileSet", "3"},
          {"geometry.modelFileName", "\"geo\""},
          {"geometry.modelChangeCoordsOnly", "true"},
          {"geometry.measuredTimeSet", "1"},
          {"geometry.measuredFileSet", "0"},
          {"geometry.measuredFileName", "\"parts.****\""},
          {"geometry.measuredChangeCoordsOnly", "true"},
          {"geometry.matchFileName", "\"m.match\""},
          {"geometry.boundaryFileName", "\"b.bnd\""},
          {"geometry.caseDirectory", "\"{dir}\""},
          {"geometry.encoding", "3"},
          {"geometry.modelChangeCoordsStep", "0"},
          {"geometry.passedOver", "[]"}}},
        {"the connectivity step after change_coords_only",
         Gold + "GEOMETRY\nmodel: \"run 1/geo file.geo\" change_coords_only 2\nmeasured: parts change_coords_only 5\n",
         {{"geometry.modelFileName", "\"run 1/geo file.geo\""}, {"geometry.modelChangeCoordsStep", "2"}}},
        {"a negative connectivity step is the first",
         Gold + "GEOMETRY\nmodel: geo change_coords_only -1\n",
         {{"geometry.modelChangeCoordsOnly", "true"}, {"geometry.modelChangeCoordsStep", "0"}}},
        {"a word after change_coords_only is no step",
         Gold + "GEOMETRY\nmodel: geo change_coords_only x2\n",
         {{"geometry.modelChangeCoordsStep", "0"}}},
        {"sections and lines of today's format are passed over, each named once",
         "# made by a solver\r\n" + Gold +
             "GEOMETRY\nmodel: geo\nMATERIAL\nmaterial set number: 1 mat\nmaterial id count: 2\n"
             "material id numbers: 1 2\nmaterial id names: steel copper\nmaterial id per element: m.id\n"
             "material mixed ids: m.mid\nmaterial mixed values: m.mval\nTIME\ntime set: 1\nnumber of steps: 2\n"
             "maximum time steps: 10\ntime values: 0\n1\nmaximum time steps: 12\n"
             "BLOCK_CONTINUATION\nnumber of sets: 2\nfilename padding: 3\nScripts\nmetadata: file.xml\nVARIABLE\nconstant per part: 1 Density 1.5 2\n",
         {{"geometry.passedOver", "[\"MATERIAL section\",\"\\\"maximum time steps\\\" in the TIME section\","
                                  "\"BLOCK_CONTINUATION section\",\"SCRIPTS section\"]"},
          {"timeSets.0.timeValues", "[0,1]"},
          {"variables.constantsPerPart", "[\"TS:\",\"1\",\"Density\",\"VAL:\",\"1.5\",\"VAL:\",\"2\"]"}}},
        {"a trailing remark skips the whole line",
         Gold + "GEOMETRY\nmodel: geo # the mesh\n# model: other\n\n   \t\n",
         {{"geometry.modelFileName", "\"\""}}},
        {"variable entries in order with their fields",
         Gold +
             "GEOMETRY\nmodel: geo\nVARIABLE\nscalar per node: 1 Pressure p.****\nscalar per node: 10 p.res\n"
             "Scalar Per Node: T t.res more\nvector per measured node: 2 4 v v.*\n"
             "complex scalar per element: 1 cp cp_r.** cp_i.** 2.5\ncomplex vector per node: cv\n",
         {{"variables.scalarPerNode.0", "{\"timeSet\":1,\"fileSet\":0,\"description\":\"Pressure\",\"fileName\":\"p.****\","
                                        "\"steps\":[{\"path\":\"{dir}p.0000\",\"exists\":false,\"offset\":null}]}"},
          {"variables.scalarPerNode.1.timeSet", "10"},
          {"variables.scalarPerNode.1.description", "\"p.res\""},
          {"variables.scalarPerNode.1.fileName", "null"},
          {"variables.scalarPerNode.2.description", "\"T\""},
          {"variables.scalarPerNode.2.fileName", "\"t.res\""},
          {"variables.vectorPerMeasuredNode.0.timeSet", "2"},
          {"variables.vectorPerMeasuredNode.0.fileSet", "4"},
          {"variables.complexScalarPerElement.0",
           "{\"timeSet\":1,\"fileSet\":0,\"description\":\"cp\",\"realFileName\":\"cp_r.**\",\"imagFileName\":"
           "\"cp_i.**\",\"frequency\":\"2.5\",\"steps\":[{\"path\":\"{dir}cp_r.00\",\"exists\":false,\"offset\":null}]}"},
          {"variables.complexVectorPerNode.0.realFileName", "null"},
          {"variables.vectorPerNode", "[]"}}},
        {"constants stream",
         Gold +
             "GEOMETRY\nmodel: geo\nVARIABLE\nconstant per case: 2 Mach 0.85\nconstant per case: Reynolds 1.5e6 1e x2\n"
             "constant per case:\nconstant per case file: 3 Density dens.txt\n",
         {{"variables.constants", "[\"TS:\",\"2\",\"Mach\",\"VAL:\",\"0.85\",\"Reynolds\",\"VAL:\",\"1.5e6\",\"1e\",\"x2\"]"},
          {"variables.constantFileTimeSet", "3"},
          {"variables.constantFileDescription", "\"Density\""},
          {"variables.constantFileName", "\"dens.txt\""}}},
        {"a second VARIABLE section replaces the first",
         Gold + "GEOMETRY\nmodel: geo\nVARIABLE\nscalar per node: a a.res\nVARIABLE\nscalar per node: b b.res\n",
         {{"variables.scalarPerNode.0.description", "\"b\""}, {"variables.scalarPerNode.1", "<missing variables.scalarPerNode.1>"}}},
        {"time values over several lines",
         Gold + "TIME\ntime set: 1 My Run\nnumber of steps: 5\ntime values:\n 0.0 0.5  \n\n# comment\n1.0\n1.5 2.0 2.5 3.0\n4.0\n",
         {{"timeSets.0.number", "1"},
          {"timeSets.0.description", "\"MyRun\""},
          {"timeSets.0.timeValues", "[0,0.5,1,1.5,2]"},
          {"timeSets.0.timeValuesRead", "5"}}},
        {"a second time values line continues the list",
         Gold + "TIME\ntime set: 1\nnumber of steps: 3\ntime values: 0\ntime values: 1 2\n",
         {{"timeSets.0.timeValues", "[0,1,2]"}}},
        {"a 300-character time values line is one line",
         Gold + "TIME\ntime set: 1\nnumber of steps: 60\ntime values: " + SixtyValues(" ") + "\n",
         {{"timeSets.0.timeValues", "[" + SixtyValues(",") + "]"}}},
        {"a file name longer than 199 characters",
         Gold + "GEOMETRY\nmodel: " + std::string(250, 'g') + "\n",
         {{"geometry.modelFileName", "\"" + std::string(250, 'g') + "\""}}},
        {"time values file with blank and comment lines",
         Gold + "GEOMETRY\nmodel: geo\nTIME\ntime set: 1\nnumber of steps: 4\ntime values file: data/times.txt\n",
         {{"timeSets.0.timeValuesFile", "\"data/times.txt\""}, {"timeSets.0.timeValues", "[0.1,0.2,0.3,0.4]"}},
         {{"data/times.txt", "# times\n\n0.1 0.2\n   \n0.3 # remark 9\n0.3\n0.4\n"}}},
        {"quoted side file names with blanks",
         Gold + "GEOMETRY\nmodel: 1 geo*\nTIME\ntime set: 1\nnumber of steps: 2\ntime values file: \"run 1/t s.txt\"\n"
                "filename numbers file: \"run 1/n s.txt\"\n",
         {{"timeSets.0.timeValues", "[0.5,1.5]"}, {"model.paths", "[\"{dir}geo3\",\"{dir}geo4\"]"}},
         {{"run 1/t s.txt", "0.5 1.5\n"}, {"run 1/n s.txt", "3 4\n"}}},
        {"an 82-character line in a time values file is accepted",
         Gold + "GEOMETRY\nmodel: geo\nTIME\ntime set: 1\nnumber of steps: 2\ntime values file: t.txt\n",
         {{"timeSets.0.timeValues", "[1,2]"}},
         {{"t.txt", "1 " + std::string(78, ' ') + "2\n"}}},
        {"inline time values continue in the side file",
         Gold + "GEOMETRY\nmodel: geo\nTIME\ntime set: 1\nnumber of steps: 3\ntime values: 5\ntime values file: t.txt\n",
         {{"timeSets.0.timeValues", "[5,6,7]"}},
         {{"t.txt", "6 7\n"}}},
        {"filename numbers file",
         Gold + "GEOMETRY\nmodel: 1 geo.***\nTIME\ntime set: 1\nnumber of steps: 3\ntime values: 0 1 2\nfilename numbers file: n.txt\n",
         {{"timeSets.0.filenameNumbers", "[10,20,30]"}, {"model.paths", "[\"{dir}geo.010\",\"{dir}geo.020\",\"{dir}geo.030\"]"}},
         {{"n.txt", "10\n20 30\n"}}},
        {"extra inline values are ignored",
         Gold + "TIME\ntime set: 1\nnumber of steps: 2\ntime values: 0 1 2\n3\n",
         {{"timeSets.0.timeValues", "[0,1]"}}},
        {"file number from filename numbers",
         Gold + "GEOMETRY\nmodel: 1 geo.****\nTIME\ntime set: 1\nnumber of steps: 3\ntime values: 0 1 2\nfilename numbers:\n7 12\n -5\n",
         {{"model.paths", "[\"{dir}geo.0007\",\"{dir}geo.0012\",\"{dir}geo.-0005\"]"}}},
        {"file number from start and increment",
         Gold + "GEOMETRY\nmodel: 1 geo**\nTIME\ntime set: 1\nnumber of steps: 3\ntime values: 0 1 2\n"
                "filename start number: 3\nfilename increment: 60\n",
         {{"model.paths", "[\"{dir}geo03\",\"{dir}geo63\",\"{dir}geo123\"]"}}},
        {"start number 0 is a start number",
         Gold + "GEOMETRY\nmodel: 1 1 t*_*.dat\nTIME\ntime set: 1\nnumber of steps: 3\ntime values: 0 1 2\n"
                "filename start number: 00000\nfilename increment: 00001\n"
                "FILE\nfile set: 1\nfilename index: 9\nnumber of steps: 1\n",
         {{"timeSets.0.filenameStartNumberGiven", "true"},
          {"model.paths", "[\"{dir}t0_*.dat\",\"{dir}t1_*.dat\",\"{dir}t2_*.dat\"]"}}},
        {"start number without increment counts by one",
         Gold + "GEOMETRY\nmodel: 1 g*\nTIME\ntime set: 1\nnumber of steps: 2\ntime values: 0 1\nfilename start number: 4\n",
         {{"model.paths", "[\"{dir}g4\",\"{dir}g5\"]"}}},
        {"file set index without a start number",
         Gold + "GEOMETRY\nmodel: 1 1 g*\nTIME\ntime set: 1\nnumber of steps: 2\ntime values: 0 1\n"
                "FILE\nfile set: 1\nfilename index: 9\nnumber of steps: 2\nother: ignored\nMATERIAL\nmaterial id: 1\n",
         {{"model.paths", "[\"{dir}g9\",\"{dir}g9\"]"}, {"fileSets", "[{\"number\":1,\"filenameIndex\":9,\"numberOfSteps\":2}]"}}},
        {"file number 0 without a rule",
         Gold + "GEOMETRY\nmodel: 1 g***\nmeasured: m**\nTIME\ntime set: 1\nnumber of steps: 2\ntime values: 0 1\n",
         {{"model.paths", "[\"{dir}g000\",\"{dir}g000\"]"},
          {"measured.paths", "[\"{dir}m00\",\"{dir}m00\"]"},
          {"messages.0.text", "\"File {dir}test.case, line 5: \\\"measured: m**\\\" names a series of files but no "
                              "time set; time set 1 applies.\""}}},
        {"a series without a time set takes set 1, also when it comes second and TIME first",
         Gold + "TIME\ntime set: 2\nnumber of steps: 1\ntime values: 0\ntime set: 1\nnumber of steps: 2\n"
                "time values: 0 1\nfilename start number: 4\nGEOMETRY\nmodel: g* change_coords_only\nVARIABLE\n"
                "complex scalar per node: c c_r c_i* 1.5\nscalar per node: 2 s s*\n",
         {{"geometry.modelTimeSet", "1"},
          {"model.paths", "[\"{dir}g4\",\"{dir}g5\"]"},
          {"variables.complexScalarPerNode.0.timeSet", "1"},
          {"variables.scalarPerNode.0.timeSet", "2"}}},
        {"else the only time set, whatever its number; a name without a star stays steady",
         Gold + "GEOMETRY\nmodel: g\nmodel: g*\nmeasured: m\nVARIABLE\nscalar per element: e e.res\n"
                "vector per node: v v*\nTIME\ntime set: 7\nnumber of steps: 2\ntime values: 0 1\nfilename start number: 3\n",
         {{"geometry.modelTimeSet", "7"},
          {"model.paths", "[\"{dir}g3\",\"{dir}g4\"]"},
          {"geometry.measuredTimeSet", "0"},
          {"variables.scalarPerElement.0.timeSet", "0"},
          {"variables.vectorPerNode.0.timeSet", "7"},
          {"messages.1.text", "\"File {dir}test.case, line 9: \\\"vector per node: v v*\\\" names a series of files but "
                              "no time set; time set 7 applies.\""},
          {"messages.2", "<missing messages.2>"}}},
        {"blanks and tabs around keywords and values, in every section",
         " FORMAT  \n type  :  ensight   gold \t\r\nGEOMETRY\t\n\tmodel :  1  geo*   \nTIME            \n"
         " time set:     1\n number of steps:   2   \n filename start number:\t3 \ntime values:\n 0.10000E+01   \n"
         "  2.5\t\r\nFILE  \n  file set : 1\n  filename index: 9  \n number of steps: 1\n",
         {{"format", "\"gold\""},
          {"model.paths", "[\"{dir}geo3\",\"{dir}geo4\"]"},
          {"timeSets.0.timeValues", "[1,2.5]"},
          {"fileSets.0.filenameIndex", "9"}}},
        {"sets are found by their number",
         Gold + "GEOMETRY\nmodel: 1 a*\nmeasured: 2 b*\nVARIABLE\nscalar per node: 5 s s*\n"
                "TIME\ntime set: 2\nnumber of steps: 1\ntime values: 0\nfilename start number: 2\n"
                "time set: 1\nnumber of steps: 1\ntime values: 0\nfilename start number: 1\n"
                "time set: 5\nnumber of steps: 1\ntime values: 0\nfilename start number: 5\n"
                "time set: 8\nnumber of steps: 1\ntime values: 0\nfilename start number: 8\n",
         {{"model.paths", "[\"{dir}a1\"]"},
          {"measured.paths", "[\"{dir}b2\"]"},
          {"variables.scalarPerNode.0.paths", "[\"{dir}s5\"]"}}},
        {"a set number beyond the numbers counts by position",
         Gold + "GEOMETRY\nmodel: 2 a*\nTIME\ntime set: 5\nnumber of steps: 1\ntime values: 0\nfilename start number: 5\n"
                "time set: 7\nnumber of steps: 1\ntime values: 0\nfilename start number: 7\n",
         {{"model.paths", "[\"{dir}a7\"]"}}},
        {"a reference without a TIME section stays",
         Gold + "GEOMETRY\nmodel: 3 geo*\n",
         {{"geometry.modelTimeSet", "3"}, {"model.paths", "[\"{dir}geo0\"]"}}},
        {"absolute names keep no directory",
         Gold + "GEOMETRY\nmodel: /abs/geo\nmeasured: C:\\m.geo\nmatch: C:\nVARIABLE\nscalar per node: s \\\\server\\s\n"
                "scalar per node: t C:\n",
         {{"model.paths", "[\"/abs/geo\"]"},
          {"measured.paths", "[\"C:\\\\m.geo\"]"},
          {"variables.scalarPerNode.0.paths", "[\"\\\\\\\\server\\\\s\"]"},
          {"variables.scalarPerNode.1.paths", "[\"{dir}C:\"]"}}},
        {"a run of 300 stars",
         Gold + "GEOMETRY\nmodel: 1 g" + std::string(300, '*') + "\nTIME\ntime set: 1\nnumber of steps: 1\ntime values: 0\n",
         {{"model.paths", "[\"{dir}g" + std::string(300, '0') + "\"]"}}},
        {"CR LF line ends",
         "FORMAT\r\ntype: ensight gold\r\nGEOMETRY\r\nmodel: 1 geo*\r\nTIME\r\ntime set: 1\r\nnumber of steps: 2\r\n"
         "time values: 0\r\n 1\r\nfilename start number: 0\r\n",
         {{"format", "\"gold\""}, {"timeSets.0.timeValues", "[0,1]"}, {"model.paths", "[\"{dir}geo0\",\"{dir}geo1\"]"}}},
        {"the steps of a file set begin at their markers",
         Gold + "GEOMETRY\nmodel: 1 1 geo\nTIME\ntime set: 1\nnumber of steps: 2\ntime values: 0 1\n"
                "FILE\nfile set: 1\nnumber of steps: 2\n",
         {{"model.steps", "[{\"path\":\"{dir}geo\",\"exists\":true,\"offset\":0},"
                          "{\"path\":\"{dir}geo\",\"exists\":true,\"offset\":39}]"}},
         {{"geo", "BEGIN TIME STEP\nstep one\nEND TIME STEP\nBEGIN TIME STEP\nstep two\nEND TIME STEP\n"}}},
        {"last line without a line end",
         Gold + "GEOMETRY\nmodel: geo",
         {{"geometry.modelFileName", "\"geo\""}}},
    };
    return rows;
}

TEST(CaseRecord, FieldsAsParsed) {
    for (const RecordRow& row : Rows()) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const std::string casePath = dir.Write("test.case", row.caseText);
        for (const auto& [name, content] : row.sideFiles) dir.Write(name, content);
        const e2e::RunResult run = casetest::ReadCase(casePath);
        ASSERT_TRUE(run.report.has_value()) << run.Describe();
        const e2e::Json& report = *run.report;
        EXPECT_TRUE(report["parsed"].boolean) << run.Describe();
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(casetest::Pick(report, "leaks"), "{}");
        for (const auto& [path, value] : row.expected) {
            EXPECT_EQ(casetest::Pick(report, path), casetest::ReplaceAll(value, "{dir}", dir.Prefix())) << path;
        }
    }
}

TEST(CaseRecord, MissingCaseFile) {
    const e2e::RunResult run = casetest::ReadCase("/nonexistent/dir/x.case");
    ASSERT_TRUE(run.report.has_value()) << run.Describe();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(casetest::Pick(*run.report, "messages"),
              "[{\"kind\":\"error\",\"text\":\"Could not open the file /nonexistent/dir/x.case.  Check file path and "
              "permissions.\",\"dialog\":true}]");
}

TEST(CaseRecord, OverlongLineNamesTheFile) {
    TempDir dir;
    const std::string casePath = dir.Write("long.case", Gold + "GEOMETRY\nmodel: " + std::string(17 << 20, 'g') + "\n");
    const e2e::RunResult run = casetest::ReadCase(casePath);
    ASSERT_TRUE(run.report.has_value()) << run.Describe();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(casetest::Pick(*run.report, "messages.0.text"),
              "\"A line of the file " + casePath + " is longer than 16 MiB. Aborting read.\"");
}

}  // namespace
