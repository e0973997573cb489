#include "Application.h"
#include "Unit1.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Records the boxes instead of showing them; a preview of an empty .jpg file would show two.
class RecordingPresenter : public Presenter {
public:
    explicit RecordingPresenter(std::vector<std::string>& boxes) : boxes_(boxes) {}
    void ShowInformation(const std::string&, const std::string& text) override {
        boxes_.push_back(text);
    }
    void ShowError(const std::string&, const std::string& text) override { boxes_.push_back(text); }
    std::string ChooseFolder(QWidget*, const std::string&) override { return {}; }

private:
    std::vector<std::string>& boxes_;
};

// The main window over a desktop folder of the test's own that holds the folder "photos".
class ListingTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "files_window-XXXXXX").string();
        home_ = mkdtemp(pattern.data());
        photos_ = home_ + "/Desktop/photos";
        fs::create_directories(photos_ + "/e.jpg");
        for (const char* name : {"a.jpg", "B.JPG", "d.png", ".h.jpg", "r.jpg"})
            std::ofstream(photos_ + "/" + name).flush(); // empty: not a picture
        chmod((photos_ + "/r.jpg").c_str(), 0444);
        if (const char* home = std::getenv("HOME"))
            savedHome_ = home;
        setenv("HOME", home_.c_str(), 1);

        application_.SetPresenter(std::make_unique<RecordingPresenter>(boxes_));
        form_ = std::make_unique<TForm1>();
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        boxes_.clear();
        std::function<void()> preview = form_->RzListBox1->OnClick;
        form_->RzListBox1->OnClick = [this, preview] {
            ++listClicks_;
            preview();
        };
        memoBefore_ = form_->Memo1->Text();
        statusBefore_ = form_->StatusBar1->Text();
    }
    void TearDown() override {
        form_.reset();
        if (savedHome_)
            setenv("HOME", savedHome_->c_str(), 1);
        else
            unsetenv("HOME");
        fs::remove_all(home_);
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        for (int i = 0; i < form_->RzListBox1->Count(); ++i)
            entries.push_back(form_->RzListBox1->Item(i));
        return entries;
    }
    std::vector<int> SelectedRows() const {
        std::vector<int> rows;
        for (int i = 0; i < form_->RzListBox1->Count(); ++i) {
            if (form_->RzListBox1->Selected(i))
                rows.push_back(i);
        }
        return rows;
    }
    // The listing never runs the preview, which would change these or show boxes.
    void ExpectNoPreview() const {
        EXPECT_EQ(listClicks_, 0);
        EXPECT_TRUE(boxes_.empty());
        EXPECT_EQ(form_->Memo1->Text(), memoBefore_);
        EXPECT_EQ(form_->StatusBar1->Text(), statusBefore_);
    }

    TApplication application_;
    std::vector<std::string> boxes_;
    std::unique_ptr<TForm1> form_;
    int listClicks_ = 0;
    std::string home_, photos_, memoBefore_, statusBefore_;
    std::optional<std::string> savedHome_;
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
    ASSERT_TRUE(form_->ShellTreeView1->SelectPath("/"));
    form_->ShellTreeView1Click(nullptr);
    for (const std::string& entry : Entries())
        EXPECT_EQ(entry.substr(0, 3).find_first_not_of('/'), 2u) << entry;
    ExpectNoPreview();
}

} // namespace
