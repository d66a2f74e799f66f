// SPDX-License-Identifier: MIT
#include "LibraryFile.h"

#include "LibraryVerify.h"
#include "Module1.h"
#include "RuntimeError.h"
#include "TestSupport.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qurimo;
using namespace qurimo::test;

namespace {

std::string word(unsigned value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string record(unsigned reserved, const std::string& chinese, const std::string& english) {
    return word(reserved) + word(static_cast<unsigned>(chinese.size())) + chinese +
           word(static_cast<unsigned>(english.size())) + english;
}

// Ten records with Chinese "Ck" and English "Ek" for k = 0 to 9.
std::string tenRecords() {
    std::string bytes;
    for (int k = 0; k < 10; ++k) {
        bytes += record(0, "C" + std::to_string(k), "E" + std::to_string(k));
    }
    return bytes;
}

class LibraryFileTest : public testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("vorel.dat");
    SlotTable table;
};

TEST_F(LibraryFileTest, MissingFileIsCreatedEmptyAndReadAsBlank) {
    table.at(5).English = u"stale";
    ReadLibraryFile(path, table);
    ASSERT_TRUE(exists(path));
    EXPECT_EQ(readFile(path), "");
    EXPECT_EQ(table, SlotTable{});
}

// An empty file is what the window makes of a missing library: whole and without sentences,
// to verify and to use (which checks the bytes it has read) alike.
TEST_F(LibraryFileTest, EmptyFileIsAWholeLibraryWithoutSentences) {
    writeFile(path, "");
    for (const LibraryReport& report : {verifyLibraryFile(path), verifyLibrary("")}) {
        EXPECT_TRUE(report.problems.empty()) << report.problems.front();
        EXPECT_EQ(report.records, 0);
        EXPECT_EQ(report.decoded, SlotTable{});
    }
}

// Record 3 of the file is "\x07\x00" "\x02\x00" "CC" "\x03\x00" "EEE"; the file is cut at each
// offset inside it. What was read whole stays; the cut member and all after it stay blank, also
// slots the table held before.
struct CutCase {
    const char* name;
    std::size_t keep; // bytes of record 3 left in the file
    Sentence expected;

    friend void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }
};

class CutFile : public LibraryFileTest, public testing::WithParamInterface<CutCase> {};

TEST_P(CutFile, KeepsWholeMembersOnly) {
    const std::string bytes =
        record(1, "A", "a") + record(1, "B", "b") + record(1, "C", "c") + record(7, "CC", "EEE");
    const std::string cut = bytes.substr(0, bytes.size() - 11 + GetParam().keep);
    writeFile(path, cut);
    table.at(200).English = u"stale";
    ReadLibraryFile(path, table);
    EXPECT_EQ(table.at(2), (Sentence{1, u"C", u"c"}));
    EXPECT_EQ(table.at(3), GetParam().expected);
    for (int k = 4; k < SlotTable::SlotCount; ++k) {
        ASSERT_EQ(table.at(k), Sentence{}) << k;
    }
    // verify walks the same bytes to the same table, decoded.
    const LibraryReport report = verifyLibrary(cut);
    decodeTable(table);
    EXPECT_EQ(report.decoded, table);
    EXPECT_EQ(report.records, GetParam().keep == 11 ? 4 : 3);
}

INSTANTIATE_TEST_SUITE_P(Offsets, CutFile,
                         testing::Values(CutCase{"AtRecordStart", 0, {}},
                                         CutCase{"InsideReserved", 1, {}},
                                         CutCase{"InsideChineseLength", 3, {7, u"", u""}},
                                         CutCase{"InsideChineseText", 5, {7, u"", u""}},
                                         CutCase{"InsideEnglishLength", 7, {7, u"CC", u""}},
                                         CutCase{"InsideEnglishText", 10, {7, u"CC", u""}},
                                         CutCase{"Whole", 11, {7, u"CC", u"EEE"}}),
                         RowName);

TEST_F(LibraryFileTest, WritingOverLongerFileKeepsTailAndReadsBack) {
    const std::string old(5000, 'x');
    writeFile(path, old);
    table.at(0) = Sentence{0, EncodeText(u"你好"), EncodeText(u"hello")};
    WriteLibraryFile(path, table);
    const std::string bytes = readFile(path);
    const std::string written = serializeLibrary(table);
    ASSERT_EQ(bytes.size(), old.size());
    EXPECT_EQ(bytes.substr(0, written.size()), written);
    EXPECT_EQ(bytes.substr(written.size()), old.substr(written.size()));

    SlotTable back;
    ReadLibraryFile(path, back);
    EXPECT_EQ(back, table);
}

TEST_F(LibraryFileTest, ReadThenWriteReproducesFileByteForByte) {
    std::string bytes;
    for (int k = 0; k < SlotTable::SlotCount; ++k) {
        // Non-zero Reserved values, GBK text and encoded control bytes, all kept as they are.
        bytes += record(static_cast<unsigned>(k * 37 + 0xFF00) & 0xFFFF, "\xB0\x8D\xA3\x98",
                        std::string("\x0c\x0dMNO", 5) + std::to_string(k));
    }
    writeFile(path, bytes);
    ReadLibraryFile(path, table);
    EXPECT_EQ(table.at(1).Reserved, static_cast<std::int16_t>(0xFF25));
    const std::string copy = dir.file("copy.dat");
    WriteLibraryFile(copy, table);
    EXPECT_EQ(readFile(copy), bytes);
}

TEST_F(LibraryFileTest, TooLongTextIsOverflowAndFileUntouched) {
    writeFile(path, "old");
    table.at(3).English = std::u16string(0x10000, u'a');
    EXPECT_EQ(errorNumberOf([&] { WriteLibraryFile(path, table); }), 6);
    EXPECT_EQ(readFile(path), "old");
    table.at(3).English.pop_back(); // exactly 65,535 bytes still fits, read back as unsigned
    WriteLibraryFile(path, table);
    SlotTable back;
    ReadLibraryFile(path, back);
    EXPECT_EQ(back.at(3).English.size(), 0xFFFFu);
}

// Errors name what is wrong; a read-only library is still read, and one that cannot be made
// is an access error, as the user without root's powers sees it.
TEST_F(LibraryFileTest, FileErrors) {
    EXPECT_EQ(errorNumberOf([&] { ReadLibraryFile(dir.file("no/such/vorel.dat"), table); }), 76);
    EXPECT_EQ(errorNumberOf([&] { WriteLibraryFile(dir.file("no/such/out.dat"), table); }), 76);
    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_EQ(errorNumberOf([&] { ReadLibraryFile(dir.file("folder"), table); }), 75);
    EXPECT_EQ(errorNumberOf([&] { WriteLibraryFile(dir.file("folder"), table); }), 75);
    writeFile(path, tenRecords());
    ::chmod(path.c_str(), 0444);
    ::chmod(dir.file("folder").c_str(), 0555);
    const int result = runUnprivileged([&] {
        SlotTable mine;
        ReadLibraryFile(path, mine);
        const int error = errorNumberOf([&] { ReadLibraryFile(dir.file("folder/new.dat"), mine); });
        return mine.at(9).English == u"E9" ? error : -1;
    });
    EXPECT_EQ(result, 75);
    EXPECT_FALSE(exists(dir.file("folder/new.dat")));
}

} // namespace

namespace {

// 255 bytes, the most a name may have: 83 Chinese characters and "ab.dat".
const std::string LongestName = [] {
    std::string name;
    for (int k = 0; k < 83; ++k) {
        name += "句";
    }
    return name + "ab.dat";
}();

// An output path that is a link: the link stays, and the file it leads to is what is written,
// made if missing; a new file gets 0666 less the umask, an old one keeps its permissions. A
// link into /proc to a deleted file is refused; a name as long as the file system allows is
// written.
struct LinkCase {
    const char* name;
    const char* link;   // what out.dat points to; empty: no link
    std::string target; // the file that must hold the library afterwards; empty: none
    int error;
    const char* detail;
    std::string output = "out.dat";

    friend void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.name; }
};

class OutputLinks : public testing::TestWithParam<LinkCase> {
protected:
    TempDir dir;
};

TEST_P(OutputLinks, AreFollowed) {
    const LinkCase& row = GetParam();
    const std::string out = dir.file(row.output);
    std::filesystem::create_directory(dir.file("sub"));
    writeFile(dir.file("sub/old.dat"), std::string(10, 'x'));
    ::chmod(dir.file("sub/old.dat").c_str(), 0640);
    std::string link = row.link;
    const int deleted = ::open(dir.file("del.dat").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ::unlink(dir.file("del.dat").c_str());
    if (link == "(deleted)") {
        link = "/proc/self/fd/" + std::to_string(deleted);
    }
    if (!link.empty()) {
        std::filesystem::create_symlink(link, out);
    }
    SlotTable table;
    table.at(0).English = u"MNO";
    std::string detail;
    const int number = errorNumberOf([&] {
        try {
            WriteLibraryFile(out, table);
        } catch (const RuntimeError& error) {
            detail = error.detail();
            throw;
        }
    });
    EXPECT_EQ(number, row.error) << detail;
    EXPECT_NE(detail.find(row.detail), std::string::npos) << detail;
    ::close(deleted);
    if (!link.empty()) {
        EXPECT_EQ(std::filesystem::read_symlink(out), link) << "the link itself stays";
    }
    if (!row.target.empty()) {
        const std::string target = dir.file(row.target);
        EXPECT_EQ(readFile(target), serializeLibrary(table));
        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat info {};
        ::stat(target.c_str(), &info);
        EXPECT_EQ(info.st_mode & 0777, row.target == "sub/old.dat" ? 0640u : 0666u & ~mask);
    }
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        entries += name.starts_with(".") || name.starts_with("del.dat") ? 100 : 1;
    }
    EXPECT_LT(entries, 100u) << "a temporary file stayed";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OutputLinks,
    testing::Values(LinkCase{"NoLink", "", "out.dat", 0, ""},
                    LinkCase{"LinkToFile", "sub/old.dat", "sub/old.dat", 0, ""},
                    LinkCase{"DanglingLinkGetsItsTarget", "sub/new.dat", "sub/new.dat", 0, ""},
                    LinkCase{"DanglingLinkIntoMissingFolder", "none/new.dat", "", 76,
                             "链接指向的文件夹不存在"},
                    LinkCase{"LinkToItself", "out.dat", "", 75, "符号链接太多"},
                    LinkCase{"LinkToDeletedFile", "(deleted)", "", 75, "已被删除"},
                    LinkCase{"LongestName", "", LongestName, 0, "", LongestName}),
    RowName);

} // namespace
