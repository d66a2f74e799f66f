// SPDX-License-Identifier: MIT
// qurimo-lib use: the per-user library that the window reads, set from a library file that
// verify finds whole, or removed again.
#include "LibraryFile.h"
#include "Module1.h"
#include "TestSupport.h"
#include "ToolRun.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <sys/stat.h>

using namespace qurimo;
using namespace qurimo::test;

namespace {

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::string libraryOf(const std::u16string& english, const std::u16string& chinese) {
    SlotTable table;
    table.at(0) = Sentence{0, EncodeText(chinese), EncodeText(english)};
    return serializeLibrary(table);
}

int modeOf(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

class UseTest : public testing::Test {
protected:
    TempDir dir;
    // Never the home of whoever runs the tests.
    ScopedVariable home{"HOME", dir.file("home")};
    ScopedVariable dataHome{"XDG_DATA_HOME", dir.file("data")};
    const std::filesystem::path perUser = dir.path() / "data" / "qurimo" / "vorel.dat";
    const std::string whole = libraryOf(u"Mine.", u"我的。");

    void SetUp() override { writeFile(dir.file("whole.dat"), whole); }
};

struct RefusedCase {
    const char* name;
    const char* input;                // in the temporary folder
    std::vector<std::string> reasons; // parts of the report
    mode_t folderMode = 0700;         // of the per-user library's folder
    bool othersFolder = false;        // that folder belongs to nobody (needs root)

    friend void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }
};

class UseRefused : public UseTest, public testing::WithParamInterface<RefusedCase> {};

// Anything but a whole library leaves the per-user library byte for byte as it was, and
// nothing beside it.
TEST_P(UseRefused, LeavesThePerUserLibraryAlone) {
    std::filesystem::create_directories(perUser.parent_path());
    const std::string old = libraryOf(u"Old.", u"旧的。") + "tail";
    writeFile(perUser.string(), old);
    std::mt19937 random(14);
    std::string noise(3000, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random());
    }
    writeFile(dir.file("random.dat"), noise);
    writeFile(dir.file("cut.dat"), whole.substr(0, whole.size() / 2));
    writeFile(dir.file("范句.txt"), "See you later.\n回头见。\n");
    writeFile(dir.file("slipped.txt"), "See you.\n再见。\nThanks.\nSorry.\n对不起。\nOK.\n");
    writeFile(dir.file("anki.txt"), "#separator:tab\n#html:false\nThis is mine.\t這是我的。\n");
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0666), 0);
    if (GetParam().othersFolder &&
        (::geteuid() != 0 || ::chown(perUser.parent_path().c_str(), 65534, 65534) != 0)) {
        GTEST_SKIP() << "giving a folder to another user needs root";
    }
    ASSERT_EQ(::chmod(perUser.parent_path().c_str(), GetParam().folderMode), 0);

    const ToolRun result = runTool({"use", dir.file(GetParam().input)});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    for (const std::string& reason : GetParam().reasons) {
        EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
    }
    EXPECT_EQ(readFile(perUser.string()), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(perUser.parent_path()), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, UseRefused,
    testing::Values(
        RefusedCase{"RandomBytes", "random.dat", {"random.dat 不是完好的库文件：第 "}},
        // what it is, and the commands that make it the user's library
        RefusedCase{"AuthoringFile",
                    "范句.txt",
                    {"范句.txt 不是完好的库文件：第 0 号槽的记录（从偏移 0 开始）被"
                     "文件尾截断：中文文本在偏移 4 处需要 ",
                     "/范句.txt /", "/范句.dat && qurimo-lib use /"}},
        // compile then names what is wrong with it
        RefusedCase{"SlippedAuthoringFile",
                    "slipped.txt",
                    {"编写文件，要先编译成库文件：qurimo-lib compile /"}},
        RefusedCase{"TraditionalAnkiExport",
                    "anki.txt",
                    {"它是制表符分隔的句对文件，要先编译成库文件：qurimo-lib compile "
                     "--tsv --simplified "}},
        RefusedCase{"CutLibrary", "cut.dat", {"被文件尾截断"}},
        RefusedCase{"Missing", "none.dat", {"文件未找到"}},
        // one row of FileKinds (tests/authoring): use reads without waiting too
        RefusedCase{"Pipe", "pipe", {"是一个管道"}},
        RefusedCase{"FolderOthersMayWrite",
                    "whole.dat",
                    {"其他用户也可以写入（权限 0777），他们可以换掉"},
                    0777},
        RefusedCase{
            "FolderOfAnotherUser", "whole.dat", {"属于另一个用户（用户号 65534）"}, 0700, true}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

// The copy is exact: an older, longer per-user library keeps nothing of its own, also when
// the library copied is empty, which the window reads as a library without sentences.
TEST_F(UseTest, CopiesByteForByte) {
    std::filesystem::create_directories(perUser.parent_path());
    writeFile(dir.file("empty.dat"), "");
    for (const std::string source : {"whole.dat", "empty.dat"}) {
        writeFile(perUser.string(), libraryOf(u"A much longer old sentence.", u"旧的。") + "tail");
        const ToolRun result = runTool({"use", dir.file(source)});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, perUser.string() + "\n");
        EXPECT_EQ(readFile(perUser.string()), readFile(dir.file(source)));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(perUser.parent_path()), {}), 1);
    }
}

// The folders it makes are the user's alone; one that exists keeps its mode. use alone says
// which library the window reads, and use --bundled goes back to the one beside the program.
TEST_F(UseTest, PrivateFoldersThenBackToTheBundledLibrary) {
    const std::filesystem::path deep = dir.path() / "a" / "b";
    ScopedVariable deeper("XDG_DATA_HOME", deep.string());
    const int before = modeOf(dir.path());
    ASSERT_EQ(runTool({"use", dir.file("whole.dat")}).status, 0);
    EXPECT_EQ(readFile((deep / "qurimo" / "vorel.dat").string()), whole);
    for (const auto& made : {dir.path() / "a", deep, deep / "qurimo"}) {
        EXPECT_EQ(modeOf(made), 0700) << made;
    }
    EXPECT_EQ(modeOf(dir.path()), before);

    // in this process, the folder of the test program
    const std::string bundled =
        std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/vorel.dat";
    const std::string perUserFile = (deep / "qurimo" / "vorel.dat").string();
    EXPECT_EQ(runTool({"use"}).out, perUserFile + ": 按用户设置的词库，由 qurimo-lib use 设定\n");
    const ToolRun removed = runTool({"use", "--bundled"});
    EXPECT_EQ(removed.status, 0);
    EXPECT_EQ(removed.out,
              "已删除按用户设置的词库 " + perUserFile + "，窗口改回读取 " + bundled + "\n");
    EXPECT_FALSE(exists(perUserFile));
    const ToolRun again = runTool({"use", "--bundled"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "没有按用户设置的词库 " + perUserFile + "，窗口读取 " + bundled + "\n");
    EXPECT_EQ(runTool({"use"}).out, bundled + ": 程序所在文件夹中的词库：没有按用户设置的词库\n");
}

TEST_F(UseTest, EmptyDataHomeMeansLocalShare) {
    ScopedVariable empty("XDG_DATA_HOME", "");
    const ToolRun result = runTool({"use", dir.file("whole.dat")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, dir.file("home") + "/.local/share/qurimo/vorel.dat\n");
}

// A folder the user may not write: the error names the folder, and nothing is written.
TEST_F(UseTest, FolderThatCannotBeMade) {
    std::filesystem::create_directory(dir.file("shut"));
    std::filesystem::permissions(dir.file("shut"), std::filesystem::perms(0555));
    ScopedVariable shut("XDG_DATA_HOME", dir.file("shut") + "/data");
    const int failed = runUnprivileged([&] {
        const ToolRun result = runTool({"use", dir.file("whole.dat")});
        const bool good = result.status == 1 &&
                          result.err.find(dir.file("shut") + "/data") != std::string::npos &&
                          result.err.find("没有访问权限") != std::string::npos;
        return good ? 0 : 1;
    });
    EXPECT_EQ(failed, 0);
    EXPECT_FALSE(exists(dir.file("shut") + "/data"));
}

} // namespace
