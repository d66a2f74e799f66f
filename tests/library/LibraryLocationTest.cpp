// SPDX-License-Identifier: MIT
#include "LibraryLocation.h"

#include "RuntimeError.h"
#include "TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace qurimo;
using namespace qurimo::test;

namespace {

// Which library the window reads, with HOME in the temporary folder and the program in its
// folder "program"; a per-user library is read only from a folder nobody else may write.
struct LocationCase {
    const char* name;
    const char* dataHome;  // XDG_DATA_HOME: a folder under the temporary one, or as it stands
    const char* perUserIn; // the folder holding qurimo/vorel.dat; "": none
    const char* argument;  // the file named on the command line; "": none
    const char* expected;  // under the temporary folder
    LibrarySource source;
    mode_t folderMode = 0700; // of the per-user library's folder
    const char* refusal = ""; // a part of requireOwnFolder's error; "": none
};

class LibraryLocationTest : public testing::TestWithParam<LocationCase> {
protected:
    TempDir dir;
    SavedEnvironment environment{"HOME", "XDG_DATA_HOME"};
};

TEST_P(LibraryLocationTest, ChoosesAndChecksTheLibrary) {
    const LocationCase& row = GetParam();
    const std::filesystem::path root = dir.path();
    ::setenv("HOME", (root / "home").c_str(), 1);
    const std::string dataHome = row.dataHome;
    ::setenv("XDG_DATA_HOME", dataHome == "data" ? (root / "data").c_str() : row.dataHome, 1);
    if (*row.perUserIn != '\0') {
        const std::filesystem::path folder = root / row.perUserIn / "qurimo";
        std::filesystem::create_directories(folder);
        writeFile((folder / "vorel.dat").string(), "");
        ::chmod(folder.c_str(), row.folderMode);
    }
    const std::optional<std::string> argument =
        *row.argument == '\0' ? std::nullopt : std::optional(dir.file(row.argument));
    const LibraryLocation location = locateLibrary(argument, dir.file("program"));
    EXPECT_EQ(location.path, dir.file(row.expected));
    EXPECT_EQ(location.source, row.source);
    std::string refusal;
    try {
        if (location.source == LibrarySource::PerUser) {
            requireOwnFolder(location.path.substr(0, location.path.rfind('/')));
        }
    } catch (const RuntimeError& error) {
        refusal = error.what();
    }
    EXPECT_EQ(refusal.empty(), *row.refusal == '\0') << refusal;
    EXPECT_NE(refusal.find(row.refusal), std::string::npos) << refusal;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LibraryLocationTest,
    testing::Values(
        LocationCase{"BesideTheProgram", "data", "", "", "program/vorel.dat",
                     LibrarySource::BesideProgram},
        LocationCase{"PerUserInXdgDataHome", "data", "data", "", "data/qurimo/vorel.dat",
                     LibrarySource::PerUser},
        LocationCase{"PerUserInLocalShareWhenXdgDataHomeIsEmpty", "", "home/.local/share", "",
                     "home/.local/share/qurimo/vorel.dat", LibrarySource::PerUser},
        LocationCase{"LocalShareWhenXdgDataHomeIsRelative", "relative/data", "home/.local/share",
                     "", "home/.local/share/qurimo/vorel.dat", LibrarySource::PerUser},
        LocationCase{"LocalSharePassedOverWhenXdgDataHomeIsSet", "data", "home/.local/share", "",
                     "program/vorel.dat", LibrarySource::BesideProgram},
        LocationCase{"NamedOnTheCommandLineOverThePerUserOne", "data", "data", "named.dat",
                     "named.dat", LibrarySource::Argument},
        // Another user could put another library there.
        LocationCase{"PerUserInAFolderOthersMayWrite", "data", "data", "", "data/qurimo/vorel.dat",
                     LibrarySource::PerUser, 0777, "其他用户也可以写入（权限 0777）"},
        LocationCase{"PerUserInAFolderItsGroupMayWrite", "data", "data", "",
                     "data/qurimo/vorel.dat", LibrarySource::PerUser, 0770,
                     "其他用户也可以写入（权限 0770）"}),
    RowName);

} // namespace
