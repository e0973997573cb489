#include "app/Unit1.h"
#include "tests/WindowTestSupport.h"
#include "widgets/Application.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The main window over a desktop folder of the test's own that holds the folder "photos".
class ListingTest : public window_test::WindowTest {
protected:
    void PrepareDesktop() override {
        photos_ = desktop_ + "/photos";
        fs::create_directories(photos_ + "/e.jpg");
        for (const char* name : {"a.jpg", "B.JPG", "d.png", ".h.jpg", "r.jpg"})
            std::ofstream(photos_ + "/" + name).flush(); // empty: not a picture
        chmod((photos_ + "/r.jpg").c_str(), 0444);
    }
    void SetUp() override {
        WindowTest::SetUp();
        std::function<void()> preview = form_->RzListBox1->OnClick;
        form_->RzListBox1->OnClick = [this, preview] {
            ++listClicks_;
            preview();
        };
        memoBefore_ = form_->Memo1->Text();
        statusBefore_ = form_->StatusBar1->Text();
    }
    // The listing never runs the preview, which would change these or show boxes.
    void ExpectNoPreview() const {
        EXPECT_EQ(listClicks_, 0);
        EXPECT_TRUE(boxes_.empty());
        EXPECT_EQ(form_->Memo1->Text(), memoBefore_);
        EXPECT_EQ(form_->StatusBar1->Text(), statusBefore_);
    }

    int listClicks_ = 0;
    std::string photos_, memoBefore_, statusBefore_;
};

TEST_F(ListingTest, AClickOnAFolderListsItsJpegFilesAndSelectsTheFirstQuietly) {
    TShellTreeView* tree = form_->ShellTreeView1;
    QTreeWidgetItem* photosNode = tree->topLevelItem(0)->child(2); // after home and 计算机
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualItemRect(photosNode).center());

    const std::string at = photos_ + "/";
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{at + ".h.jpg", at + "a.jpg", at + "B.JPG", at + "r.jpg"}));
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(form_->RzListBox1->ItemIndex(), 0);
    ExpectNoPreview();

    // The user's own click on an entry is reported, and runs the preview.
    TRzListBox* list = form_->RzListBox1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    EXPECT_EQ(listClicks_, 1);
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
}

TEST_F(ListingTest, ListingAgainDropsTheUsersSelection) {
    form_->ShellTreeView1->SelectPath(photos_);
    form_->ShellTreeView1Click(nullptr);
    form_->RzListBox1->SetSelected(0, false);
    form_->RzListBox1->SetSelected(2, true);
    form_->RzListBox1->SetSelected(3, true);
    form_->ShellTreeView1Click(nullptr);
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    ExpectNoPreview();
}

TEST_F(ListingTest, AFolderThatIsGoneOrHoldsNoJpegLeavesTheListEmpty) {
    form_->ShellTreeView1->SelectPath(photos_);
    form_->ShellTreeView1Click(nullptr);
    fs::remove_all(photos_);
    form_->ShellTreeView1Click(nullptr);
    EXPECT_EQ(form_->RzListBox1->Count(), 0);

    form_->ShellTreeView1->SelectPath(home_); // no .jpg in the home folder itself
    form_->ShellTreeView1Click(nullptr);
    EXPECT_EQ(form_->RzListBox1->Count(), 0);
    EXPECT_TRUE(SelectedRows().empty());
    ExpectNoPreview();
}

TEST_F(ListingTest, TheComputerNodeListsTheRootWithTwoSeparators) {
    const testkit::RootFile file;
    if (!file.Made())
        GTEST_SKIP() << file.Reason();
    ASSERT_TRUE(form_->ShellTreeView1->SelectPath("/"));
    form_->ShellTreeView1Click(nullptr);
    const std::vector<std::string> entries = Entries();
    EXPECT_NE(std::find(entries.begin(), entries.end(), "//" + file.Name()), entries.end())
        << "//" + file.Name() << " is not listed";
    for (const std::string& entry : entries)
        EXPECT_EQ(entry.substr(0, 3).find_first_not_of('/'), 2u) << entry;
    ExpectNoPreview();
}

} // namespace
