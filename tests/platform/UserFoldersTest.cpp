// SPDX-License-Identifier: MIT
#include "UserFolders.h"

#include "RuntimeError.h"
#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <pwd.h>
#include <unistd.h>

using namespace qurimo;
using namespace qurimo::test;

namespace {

// user-dirs.dirs as written in HOME/.config (or XDG_CONFIG_HOME), and the download folder that
// `xdg-user-dir DOWNLOAD` gives for it, or a part of the error when it cannot be read.
// @HOME@ is $HOME, @ROOT@ the temporary folder, @ACCOUNT@ the home of the user's account.
struct DownloadCase {
    const char* name;
    std::optional<std::string> userDirs; // none: no such file; "@LOOP@": a link to itself
    const char* expected;
    const char* error = "";
    bool configHome = false; // XDG_CONFIG_HOME set to @ROOT@/config
    bool homeUnset = false;
};

class DownloadFolder : public testing::TestWithParam<DownloadCase> {
protected:
    std::string expand(std::string text) const {
        const passwd* account = ::getpwuid(::getuid());
        for (const auto& [from, to] :
             {std::pair<std::string, std::string>{"@HOME@", dir.file("home")},
              {"@ROOT@", dir.path().string()},
              {"@ACCOUNT@", account->pw_dir}}) {
            for (std::size_t at; (at = text.find(from)) != std::string::npos;) {
                text.replace(at, from.size(), to);
            }
        }
        return text;
    }
    TempDir dir;
    SavedEnvironment environment{"HOME", "XDG_CONFIG_HOME"};
};

TEST_P(DownloadFolder, IsWhatTheShellReads) {
    const DownloadCase& row = GetParam();
    row.homeUnset ? ::unsetenv("HOME") : ::setenv("HOME", dir.file("home").c_str(), 1);
    const std::filesystem::path config =
        row.configHome ? dir.path() / "config" : dir.path() / "home" / ".config";
    row.configHome ? ::setenv("XDG_CONFIG_HOME", config.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    std::filesystem::create_directories(config);
    if (row.userDirs == "@LOOP@") {
        std::filesystem::create_symlink("user-dirs.dirs", config / "user-dirs.dirs");
    } else if (row.userDirs) {
        writeFile((config / "user-dirs.dirs").string(), expand(*row.userDirs));
    }
    std::string folder;
    std::string error;
    try {
        folder = downloadFolder();
    } catch (const RuntimeError& e) {
        error = e.what();
    }
    EXPECT_EQ(folder, expand(row.expected));
    EXPECT_NE(error.find(row.error), std::string::npos) << error;
    EXPECT_TRUE(*row.error == '\0' || error.find("user-dirs.dirs") != std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DownloadFolder,
    testing::Values(
        DownloadCase{"ChineseDesktop", "XDG_DOWNLOAD_DIR=\"$HOME/下载\"\n", "@HOME@/下载"},
        DownloadCase{"EnglishDesktopAsXdgUserDirsUpdateWritesIt",
                     "# This file is written by xdg-user-dirs-update\n"
                     "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                     "XDG_MUSIC_DIR=\"$HOME/Music\"\n",
                     "@HOME@/Downloads"},
        DownloadCase{"AbsolutePath", "XDG_DOWNLOAD_DIR=\"@ROOT@/elsewhere\"\n", "@ROOT@/elsewhere"},
        DownloadCase{"TheLastEntryCounts",
                     "XDG_DOWNLOAD_DIR=\"$HOME/Old\"\nXDG_DOWNLOAD_DIR=\"$HOME/New\"\n",
                     "@HOME@/New"},
        DownloadCase{"InXdgConfigHome", "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n",
                     "@HOME@/Downloads", "", true},
        DownloadCase{"TheHomeFolderItselfTurnsItOff", "XDG_DOWNLOAD_DIR=\"$HOME/\"\n",
                     "@HOME@/下载"},
        DownloadCase{"NoDownloadEntry", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", "@HOME@/下载"},
        DownloadCase{"NoUserDirs", std::nullopt, "@HOME@/下载"},
        // Refused rather than read in part: its last entry would be cut short.
        DownloadCase{"LongerThanAnyUserDirs",
                     std::string(65530, '#') + "\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n", "",
                     "超过 64 KiB"},
        DownloadCase{"UnreadableUserDirs", "@LOOP@", "", "符号链接太多"},
        DownloadCase{"BackslashEscapesInQuotes", "XDG_DOWNLOAD_DIR=\"$HOME/a \\\"b\\\" c\\\\d\"\n",
                     "@HOME@/a \"b\" c\\d"},
        DownloadCase{"BracedHome", "XDG_DOWNLOAD_DIR=\"${HOME}/Downloads\"\n", "@HOME@/Downloads"},
        DownloadCase{"UnquotedWithComment", "XDG_DOWNLOAD_DIR=$HOME/Downloads # moved\n",
                     "@HOME@/Downloads"},
        DownloadCase{"BlanksBeforeTheName", "  XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n",
                     "@HOME@/Downloads"},
        // A command to the shell, not an assignment.
        DownloadCase{"BlankBeforeTheEqualsSign", "XDG_DOWNLOAD_DIR =\"$HOME/Downloads\"\n",
                     "@HOME@/下载"},
        DownloadCase{"RelativePath", "XDG_DOWNLOAD_DIR=\"Downloads\"\n", "@HOME@/下载"},
        DownloadCase{"HomeUnsetMeansTheAccountsHome", "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n",
                     "@ACCOUNT@/Downloads", "", true, true}),
    RowName);

} // namespace
