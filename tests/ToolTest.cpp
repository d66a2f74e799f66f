// SPDX-License-Identifier: MIT
#include "TestSupport.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

namespace {

// A pipe nothing writes to, given to either command, is refused at once (the test's time limit
// fails a hang), and so is an endless device.
TEST_F(ToolTest, PipesAndDevicesAreRefusedAtOnce) {
    const std::string pipe = dir.file("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    writeFile(dir.file("in.txt"), "a\r\nb\r\n");
    const std::string output = dir.file("out.dat");
    struct Run {
        std::vector<std::string> argv;
        const char* reason;
    };
    for (const Run& run : {Run{{Tool, "compile", pipe, output}, "是一个管道"},
                           Run{{Tool, "dump", pipe}, "是一个管道"},
                           Run{{Tool, "compile", "/dev/zero", output}, "是一个字符设备"},
                           Run{{Tool, "dump", "/dev/zero"}, "是一个字符设备"},
                           Run{{Tool, "compile", dir.file("in.txt"), pipe}, "是一个管道"}}) {
        const ProcessResult result = runProgram(run.argv);
        EXPECT_EQ(result.exitCode, 1) << run.argv[1] << " " << run.argv[2];
        EXPECT_NE(result.err.find("75"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(run.reason), std::string::npos) << result.err;
    }
    EXPECT_FALSE(exists(output));
}

// Two compiles to one output at the same moment: the output is always one library whole,
// never a mix of the two, and no temporary file stays behind. The two are of one size, so
// that a compile after the other has no longer old file whose tail it would keep.
TEST_F(ToolTest, TwoCompilesAtOnceLeaveOneWholeLibrary) {
    std::string first;
    std::string second;
    for (int k = 0; k < 301; ++k) {
        first += "First library, sentence " + std::to_string(k) + "\n一\n";
        second += "Other library, sentence " + std::to_string(k) + "\n二\n";
    }
    writeFile(dir.file("first.txt"), first);
    writeFile(dir.file("second.txt"), second);
    const std::string output = dir.file("out.dat");
    ASSERT_EQ(
        runProgram({Tool, "compile", "--utf8", dir.file("first.txt"), dir.file("a.dat")}).exitCode,
        0);
    ASSERT_EQ(
        runProgram({Tool, "compile", "--utf8", dir.file("second.txt"), dir.file("b.dat")}).exitCode,
        0);
    const std::string libraries[] = {readFile(dir.file("a.dat")), readFile(dir.file("b.dat"))};
    ASSERT_EQ(libraries[0].size(), libraries[1].size());
    ASSERT_NE(libraries[0], libraries[1]);

    int seen[2] = {0, 0};
    for (int round = 0; round < 50; ++round) {
        std::filesystem::remove(output);
        pid_t children[2];
        for (int i = 0; i < 2; ++i) {
            const std::string input = dir.file(i == 0 ? "first.txt" : "second.txt");
            children[i] = ::fork();
            if (children[i] == 0) {
                ::execl(Tool.c_str(), Tool.c_str(), "compile", "--utf8", input.c_str(),
                        output.c_str(), static_cast<char*>(nullptr));
                ::_exit(127);
            }
        }
        for (const pid_t child : children) {
            int status = 0;
            ::waitpid(child, &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
        }
        const std::string result = readFile(output);
        const bool isFirst = result == libraries[0];
        ASSERT_TRUE(isFirst || result == libraries[1]) << "a mix in round " << round;
        ++seen[isFirst ? 0 : 1];
        ASSERT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 5)
            << "a temporary file stayed in round " << round;
    }
    std::printf("first won %d times, second %d times\n", seen[0], seen[1]);
}

} // namespace
