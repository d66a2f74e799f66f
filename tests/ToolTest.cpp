// SPDX-License-Identifier: MIT
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace qurimo::test;

namespace {

const std::string Tool = QURIMO_LIB_PATH;

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;

    friend void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }
};

class ToolUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(ToolUsage, ExitCode) {
    std::vector<std::string> argv{Tool};
    argv.insert(argv.end(), GetParam().args.begin(), GetParam().args.end());
    const ProcessResult result = runProgram(argv);
    EXPECT_EQ(result.exitCode, GetParam().exitCode) << result.err;
    if (GetParam().exitCode == 2) {
        EXPECT_NE(result.err.find("用法"), std::string::npos) << result.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Arguments, ToolUsage,
                         testing::Values(UsageCase{"Help", {"--help"}, 0},
                                         UsageCase{"NoArguments", {}, 2},
                                         UsageCase{"UnknownCommand", {"build", "a", "b"}, 2},
                                         UsageCase{"UnknownOption", {"dump", "--latin1", "a"}, 2},
                                         UsageCase{"CompileOneFile", {"compile", "a"}, 2},
                                         UsageCase{"DumpTwoFiles", {"dump", "a", "b"}, 2}),
                         [](const testing::TestParamInfo<UsageCase>& info) {
                             return std::string(info.param.name);
                         });

class ToolTest : public testing::Test {
protected:
    TempDir dir;
};

TEST_F(ToolTest, ErrorsExitOneInChineseAndWriteNothing) {
    const std::string output = dir.file("out.dat");
    ProcessResult missing = runProgram({Tool, "compile", dir.file("none.txt"), output});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("文件未找到"), std::string::npos) << missing.err;

    writeFile(dir.file("odd.txt"), "one\r\ntwo\r\nthree\r\n");
    ProcessResult odd = runProgram({Tool, "compile", dir.file("odd.txt"), output});
    EXPECT_EQ(odd.exitCode, 1);
    EXPECT_NE(odd.err.find("输入超出文件尾"), std::string::npos) << odd.err;
    EXPECT_NE(odd.err.find("行: 3"), std::string::npos) << odd.err;
    EXPECT_FALSE(exists(output));

    ProcessResult dumpMissing = runProgram({Tool, "dump", dir.file("none.dat")});
    EXPECT_EQ(dumpMissing.exitCode, 1);
    EXPECT_FALSE(exists(dir.file("none.dat")));
}

// Dumping a library and compiling the dump again gives the same bytes, in both encodings.
TEST_F(ToolTest, DumpThenCompileIsByteExact) {
    const std::string authoring = "Please keep me informed.\r\n请随时告知我。\r\n"
                                  "  Take care!  \r\n保重！\r\n";
    writeFile(dir.file("in.txt"), "\xEF\xBB\xBF" + authoring);
    ASSERT_EQ(runProgram({Tool, "compile", dir.file("in.txt"), dir.file("a.dat")}).exitCode, 0);
    const std::string library = readFile(dir.file("a.dat"));

    for (const bool utf8 : {false, true}) {
        std::vector<std::string> dump{Tool, "dump", dir.file("a.dat")};
        std::vector<std::string> compile{Tool, "compile", dir.file("dump.txt"), dir.file("b.dat")};
        if (utf8) {
            dump.insert(dump.begin() + 2, "--utf8");
            compile.insert(compile.begin() + 2, "--utf8");
        }
        const ProcessResult dumped = runProgram(dump);
        ASSERT_EQ(dumped.exitCode, 0) << dumped.err;
        if (utf8) {
            std::string lf = authoring;
            for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) {
                lf.erase(at, 1);
            }
            EXPECT_EQ(dumped.out, lf);
        } else {
            EXPECT_NE(dumped.out.find("\xC7\xEB\xCB\xE6"), std::string::npos); // 请随 in GBK
        }
        writeFile(dir.file("dump.txt"), dumped.out);
        std::filesystem::remove(dir.file("b.dat"));
        ASSERT_EQ(runProgram(compile).exitCode, 0);
        EXPECT_EQ(readFile(dir.file("b.dat")), library) << (utf8 ? "UTF-8" : "code page 936");
    }
}

} // namespace
