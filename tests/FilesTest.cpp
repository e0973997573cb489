#include "files/FillFileList.h"
#include "platform/FileSystem.h"
#include "platform/UserFolders.h"
#include "tests/TestKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

using testkit::TemporaryFolder;

using Entries = std::vector<std::string>;

TEST(FillFileList, ListsTheMatchingFilesInSearchOrderAndDropsFolders) {
    const TemporaryFolder folder;
    folder.MakeFile("a.jpg");
    folder.MakeFile("B.JPG");
    folder.MakeFile("d.png");
    folder.MakeFile(".h.jpg");
    folder.MakeFile("r.jpg", 0444);
    folder.MakeFile("\xC5\xC4.jpg"); // GBK bytes, not valid UTF-8
    folder.MakeFile("jpg");
    folder.MakeFolder("e.jpg");
    ASSERT_EQ(symlink((folder.Path() + "/e.jpg").c_str(), (folder.Path() + "/l.jpg").c_str()), 0);

    Entries list{"old entry"};
    FillFileList(list, folder.Path() + "/*.jpg");

    const std::string at = folder.Path() + "/";
    EXPECT_EQ(list, (Entries{at + ".h.jpg", at + "a.jpg", at + "B.JPG", at + "r.jpg",
                             at + "\xC5\xC4.jpg"}));
}

TEST(FillFileList, SplitsAfterTheLastSeparatorWhateverBytesTheFolderNameHolds) {
    const TemporaryFolder folder;
    const std::string gbkFolder = "\xC5\xC4\xB5\xC4"; // two GBK characters
    folder.MakeFolder(gbkFolder);
    folder.MakeFile(gbkFolder + "/x.jpg");

    Entries list;
    FillFileList(list, folder.Path() + "/" + gbkFolder + "/*.jpg");
    EXPECT_EQ(list, Entries{folder.Path() + "/" + gbkFolder + "/x.jpg"});
}

struct NoFolderCase {
    const char* name;
    const char* mask; // one starting with "/" follows the path of a folder holding a.jpg
};

class NoFolderTest : public testing::TestWithParam<NoFolderCase> {};

TEST_P(NoFolderTest, EmptiesTheListWhenTheFolderPartIsNoDirectory) {
    const TemporaryFolder folder;
    folder.MakeFile("a.jpg");
    const std::string mask =
        GetParam().mask[0] == '/' ? folder.Path() + GetParam().mask : std::string(GetParam().mask);
    Entries list{"old entry"};
    FillFileList(list, mask);
    EXPECT_TRUE(list.empty()) << mask;
}

INSTANTIATE_TEST_SUITE_P(Masks, NoFolderTest,
                         testing::Values(NoFolderCase{"MissingFolder", "/missing/*.jpg"},
                                         NoFolderCase{"AFile", "/a.jpg/*.jpg"},
                                         NoFolderCase{"NoFolderPart", "*.jpg"}),
                         testkit::RowName());

struct SubfolderCase {
    const char* name;
    std::function<void(const TemporaryFolder&)> make; // fills the folder looked at
    bool has;
};

class HasVisibleSubfolderTest : public testing::TestWithParam<SubfolderCase> {};

TEST_P(HasVisibleSubfolderTest, AnswersFromTheFirstVisibleSubfolderFound) {
    const TemporaryFolder folder;
    GetParam().make(folder);
    EXPECT_EQ(HasVisibleSubfolder(folder.Path()), GetParam().has);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, HasVisibleSubfolderTest,
    testing::Values(SubfolderCase{"Empty", [](const TemporaryFolder&) {}, false},
                    SubfolderCase{"FilesOnly",
                                  [](const TemporaryFolder& f) {
                                      f.MakeFile("a.jpg");
                                      f.MakeFile("b");
                                  },
                                  false},
                    SubfolderCase{"HiddenFolderOnly",
                                  [](const TemporaryFolder& f) { f.MakeFolder(".git"); }, false},
                    SubfolderCase{"AFolderAmongFiles",
                                  [](const TemporaryFolder& f) {
                                      f.MakeFile("a.jpg");
                                      f.MakeFolder("\xC5\xC4");
                                  },
                                  true},
                    SubfolderCase{"ALinkToAFolder",
                                  [](const TemporaryFolder& f) {
                                      fs::create_directory_symlink("/", f.File("root"));
                                  },
                                  true},
                    SubfolderCase{"ALinkToAFile",
                                  [](const TemporaryFolder& f) {
                                      fs::create_symlink(f.MakeFile("a.jpg"), f.File("link"));
                                  },
                                  false},
                    SubfolderCase{"Missing", [](const TemporaryFolder& f) { fs::remove(f.Path()); },
                                  false}),
    [](const testing::TestParamInfo<SubfolderCase>& info) { return info.param.name; });

TEST(FillFileList, AFolderWithoutMatchesGivesAnEmptyList) {
    const TemporaryFolder folder;
    folder.MakeFile("a.png");
    Entries list{"old entry"};
    FillFileList(list, folder.Path() + "/*.jpg");
    EXPECT_TRUE(list.empty());
}

struct RootCase {
    const char* name;
    const char* mask;
    const char* prefix; // of every entry
};

class RootListingTest : public testing::TestWithParam<RootCase> {};

// The root's folder part keeps both separators: the tree gives "/" and the listing appends "/".
TEST_P(RootListingTest, EntriesStartWithTheFolderPartAsGiven) {
    const RootCase& c = GetParam();
    const testkit::RootFile file;
    if (!file.Made())
        GTEST_SKIP() << file.Reason();
    Entries list;
    FillFileList(list, c.mask);
    const std::string prefix = c.prefix;
    EXPECT_NE(std::find(list.begin(), list.end(), prefix + file.Name()), list.end())
        << prefix + file.Name() << " is not listed";
    for (const std::string& entry : list) {
        EXPECT_EQ(entry.substr(0, prefix.size()), prefix) << entry;
        EXPECT_NE(entry[prefix.size()], '/') << entry;
        EXPECT_FALSE(fs::is_directory(entry)) << entry;
    }
}

INSTANTIATE_TEST_SUITE_P(Masks, RootListingTest,
                         testing::Values(RootCase{"TwoSeparators", "//*", "//"},
                                         RootCase{"OneSeparator", "/*", "/"}),
                         testkit::RowName());

// Runs each case with HOME pointing at a folder of its own.
class DesktopFolderTest : public testing::Test {
protected:
    void WriteUserDirs(const std::string& content) const {
        fs::create_directories(home_.Path() + "/.config");
        std::ofstream(home_.Path() + "/.config/user-dirs.dirs") << content;
    }
    const std::string& Home() const { return home_.Path(); }
    const TemporaryFolder& HomeFolderOnDisk() const { return home_; }

private:
    testkit::TemporaryHome home_;
};

TEST_F(DesktopFolderTest, TakesTheConfiguredDesktopWithHomeExpanded) {
    HomeFolderOnDisk().MakeFolder("桌面");
    HomeFolderOnDisk().MakeFolder("Desktop");
    WriteUserDirs("# written by xdg-user-dirs-update\n"
                  "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                  "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                  "  XDG_DESKTOP_DIR=\"$HOME/桌面/\"\n");
    EXPECT_EQ(DesktopFolder(), Home() + "/桌面");
    EXPECT_EQ(HomeFolder(), Home());
}

TEST_F(DesktopFolderTest, TakesAnAbsoluteConfiguredDesktopWithEscapes) {
    HomeFolderOnDisk().MakeFolder("my \"desk\"");
    WriteUserDirs("XDG_DESKTOP_DIR=\"" + Home() + "/my \\\"desk\\\"\"\n");
    EXPECT_EQ(DesktopFolder(), Home() + "/my \"desk\"");
}

TEST_F(DesktopFolderTest, FallsBackToDesktopThenHome) {
    WriteUserDirs("XDG_DESKTOP_DIR=\"$HOME/gone\"\nXDG_MUSIC_DIR=\"$HOME/Music\"\n");
    EXPECT_EQ(DesktopFolder(), Home());
    HomeFolderOnDisk().MakeFolder("Desktop");
    EXPECT_EQ(DesktopFolder(), Home() + "/Desktop");
    WriteUserDirs("XDG_DESKTOP_DIR=relative/desk\n");
    EXPECT_EQ(DesktopFolder(), Home() + "/Desktop");
}

TEST_F(DesktopFolderTest, AConfiguredHomeMeansTheHomeFolder) {
    HomeFolderOnDisk().MakeFolder("Desktop");
    WriteUserDirs("XDG_DESKTOP_DIR=\"$HOME/\"\n");
    EXPECT_EQ(DesktopFolder(), Home());
}

} // namespace
