#include "platform/UserFolders.h"
#include "tests/TestKit.h"
#include "widgets/Controls.h"
#include "widgets/FolderDialog.h"
#include "widgets/RzListBox.h"
#include "widgets/ShellTreeView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

QPoint CentreOf(const QAbstractItemView& view, const QModelIndex& index) {
    return view.visualRect(index).center();
}

class RzListBoxTest : public testing::Test {
protected:
    void SetUp() override {
        list_.resize(300, 300);
        list_.ReplaceAll({"/p/a.jpg", "/p/b.jpg", "/p/\xC5\xC4.jpg", "/p/d.jpg", "/p/e.jpg"});
        list_.OnClick = [this] { ++clicks_; };
        list_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list_));
    }
    void Click(int row, Qt::KeyboardModifiers modifiers = {},
               Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(list_.viewport(), button, modifiers,
                          CentreOf(list_, list_.model()->index(row, 0)));
    }
    std::vector<int> SelectedRows() const { return testkit::SelectedRows(list_); }

    TRzListBox list_;
    int clicks_ = 0;
};

TEST_F(RzListBoxTest, KeepsEachEntrysBytesAndFocusesTheFirstWithoutSelecting) {
    ASSERT_EQ(list_.Count(), 5);
    EXPECT_EQ(list_.Item(2), "/p/\xC5\xC4.jpg");
    EXPECT_EQ(list_.Item(5), "");
    EXPECT_EQ(list_.ItemIndex(), 0);
    EXPECT_TRUE(SelectedRows().empty());
    EXPECT_EQ(list_.visualRect(list_.model()->index(1, 0)).top(), 13);
}

TEST_F(RzListBoxTest, ProgramChangesRaiseNoClick) {
    list_.SetSelected(0, true);
    list_.SetSelected(3, true);
    list_.SetItemIndex(4);
    EXPECT_EQ(list_.ItemIndex(), 4);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{0, 3}));
    list_.SetSelected(1, true);
    list_.DeleteSelected();
    EXPECT_EQ(list_.Count(), 2);
    EXPECT_EQ(list_.Item(0), "/p/\xC5\xC4.jpg");
    EXPECT_EQ(list_.Item(1), "/p/e.jpg");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    list_.ReplaceAll({"/q/x.jpg"});
    list_.Clear();
    EXPECT_EQ(list_.ItemIndex(), -1);
    EXPECT_EQ(clicks_, 0);
}

TEST_F(RzListBoxTest, MouseSelectsExtendedAndReportsEveryLeftClickOnAnEntry) {
    Click(1);
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
    Click(3, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list_.ItemIndex(), 3);
    Click(2, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 3}));
    EXPECT_EQ(list_.ItemIndex(), 2); // focused, not selected
    EXPECT_EQ(clicks_, 3);
    Click(3);
    EXPECT_EQ(SelectedRows(), std::vector<int>{3});
    EXPECT_EQ(clicks_, 4);
}

// The platform sends press, release, double click, release; the double click stands for the
// second press.
TEST_F(RzListBoxTest, SecondPressOfADoubleClickIsAClick) {
    const auto doubleClick = [this](QPoint at, Qt::KeyboardModifiers modifiers = {},
                                    Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(list_.viewport(), button, modifiers, at);
        QTest::mouseDClick(list_.viewport(), button, modifiers, at);
        QTest::mouseRelease(list_.viewport(), button, modifiers, at);
    };
    const auto centre = [this](int row) { return CentreOf(list_, list_.model()->index(row, 0)); };
    Click(0);
    doubleClick(centre(2), Qt::ControlModifier); // toggled on, then off again
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(list_.ItemIndex(), 2);
    EXPECT_EQ(clicks_, 3);
    Click(1);
    doubleClick(centre(3), Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(clicks_, 6);
    doubleClick(centre(2));
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});
    EXPECT_EQ(clicks_, 8);
    doubleClick(centre(4), {}, Qt::RightButton);
    doubleClick(QPoint(10, 290));
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});
    EXPECT_EQ(clicks_, 8);
}

TEST_F(RzListBoxTest, RightClicksAndEmptySpaceLeaveTheSelection) {
    Click(1);
    Click(2, Qt::ShiftModifier);
    clicks_ = 0;
    QSignalSpy menuRequests(&list_, &QWidget::customContextMenuRequested);
    Click(4, {}, Qt::RightButton);
    const QPoint onEntry = CentreOf(list_, list_.model()->index(4, 0));
    QContextMenuEvent menu(QContextMenuEvent::Mouse, onEntry,
                           list_.viewport()->mapToGlobal(onEntry));
    QApplication::sendEvent(list_.viewport(), &menu);
    QTest::mouseClick(list_.viewport(), Qt::LeftButton, {}, QPoint(10, 290));
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2}));
    EXPECT_EQ(menuRequests.count(), 1);
    EXPECT_EQ(clicks_, 0);
}

TEST_F(RzListBoxTest, LongEntriesShowNoHorizontalScrollBar) {
    list_.ReplaceAll({"/p/" + std::string(200, 'x') + ".jpg"});
    QApplication::processEvents();
    EXPECT_FALSE(list_.horizontalScrollBar()->isVisible());
}

TEST_F(RzListBoxTest, TheHintOfALongEntryLiesOverItAndPassesClicksOn) {
    list_.ReplaceAll({"/p/a.jpg", "/p/" + std::string(100, 'x') + ".jpg"});
    QApplication::processEvents();
    auto restOn = [&](int row) {
        const QPoint at = list_.visualRect(list_.model()->index(row, 0)).center();
        QHelpEvent rest(QEvent::ToolTip, at, list_.viewport()->mapToGlobal(at));
        QApplication::sendEvent(list_.viewport(), &rest);
    };
    auto shownHint = []() -> QWidget* {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->windowType() == Qt::ToolTip && window->isVisible())
                return window;
        }
        return nullptr;
    };
    restOn(0);
    EXPECT_EQ(shownHint(), nullptr) << "an entry that fits needs no hint";

    restOn(1);
    QWidget* hint = shownHint();
    ASSERT_NE(hint, nullptr);
    const QRect entry = list_.visualRect(list_.model()->index(1, 0));
    EXPECT_EQ(hint->geometry().topLeft(), list_.viewport()->mapToGlobal(entry.topLeft()));
    EXPECT_EQ(hint->height(), entry.height());
    EXPECT_GT(hint->width(), list_.viewport()->width());

    const int clicksBefore = clicks_;
    QTest::mouseClick(hint, Qt::LeftButton, {}, QPoint(5, entry.height() / 2));
    EXPECT_EQ(list_.SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(clicks_, clicksBefore + 1);
    EXPECT_EQ(shownHint(), nullptr);

    restOn(1);
    ASSERT_NE(shownHint(), nullptr);
    const QPoint away = list_.visualRect(list_.model()->index(0, 0)).center();
    QMouseEvent move(QEvent::MouseMove, away, list_.viewport()->mapToGlobal(away), Qt::NoButton,
                     Qt::NoButton, {});
    QApplication::sendEvent(list_.viewport(), &move);
    EXPECT_EQ(shownHint(), nullptr) << "the pointer left the entry";
}

TEST_F(RzListBoxTest, NavigationKeysReportChangesButTypeToFindDoesNot) {
    Click(0);
    clicks_ = 0;
    QTest::keyClick(&list_, Qt::Key_Up); // already at the top: nothing changes
    EXPECT_EQ(clicks_, 0);
    QTest::keyClick(&list_, Qt::Key_Down);
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
    QTest::keyClick(&list_, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2, 3, 4}));
    QTest::keyClick(&list_, Qt::Key_Home);
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(clicks_, 3);
    QTest::keyClicks(&list_, "/p/d");
    EXPECT_EQ(list_.ItemIndex(), 3);
    EXPECT_EQ(clicks_, 3);
}

// The tree over a home folder of the test's own, with a desktop folder holding a few subfolders.
class ShellTreeViewTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name :
             {"Desktop/b", "Desktop/A/inner", "Desktop/.hidden", "Desktop/\xC5\xC4"})
            fs::create_directories(home_ + "/" + name);
        std::ofstream(desktop_ + "/file.txt") << "x";
        tree_.emplace();
        tree_->resize(300, 400);
        tree_->OnClick = [this] { clickedPaths_.push_back(tree_->Path()); };
        tree_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&*tree_));
    }
    void TearDown() override { tree_.reset(); }
    QTreeWidgetItem* Top() const { return tree_->topLevelItem(0); }
    QRect RectOf(QTreeWidgetItem* node) const { return tree_->visualItemRect(node); }
    void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(tree_->viewport(), button, {}, at);
    }

    testkit::TemporaryHome homeFolder_;
    const std::string home_ = homeFolder_.Path();
    const std::string desktop_ = homeFolder_.MakeFolder("Desktop");
    std::optional<TShellTreeView> tree_;
    std::vector<std::string> clickedPaths_;
};

TEST_F(ShellTreeViewTest, StartsWithTheDesktopExpandedAndSelected) {
    ASSERT_EQ(tree_->topLevelItemCount(), 1);
    EXPECT_EQ(Top()->text(0), QString::fromUtf8("桌面"));
    EXPECT_TRUE(Top()->isExpanded());
    EXPECT_EQ(tree_->Path(), desktop_);
    QStringList labels;
    for (int i = 0; i < Top()->childCount(); ++i)
        labels << Top()->child(i)->text(0);
    EXPECT_EQ(labels,
              (QStringList{QFile::decodeName(QByteArray::fromStdString(LoginName())),
                           QString::fromUtf8("计算机"), "A", "b", QFile::decodeName("\xC5\xC4")}));
    EXPECT_TRUE(tree_->SelectPath(home_));
    EXPECT_EQ(tree_->Path(), home_);
    EXPECT_TRUE(tree_->SelectPath("/"));
    EXPECT_EQ(tree_->Path(), "/");
    EXPECT_TRUE(tree_->SelectPath(desktop_ + "/\xC5\xC4/"));
    EXPECT_EQ(tree_->Path(), desktop_ + "/\xC5\xC4");
    EXPECT_EQ(Top()->child(4), tree_->currentItem()); // found below the desktop, not below home
}

TEST_F(ShellTreeViewTest, ReadsSubfoldersOnceOnFirstExpansion) {
    fs::create_directories(desktop_ + "/A/before");
    EXPECT_TRUE(tree_->SelectPath(desktop_ + "/A/before"));
    fs::create_directories(desktop_ + "/A/after");
    EXPECT_FALSE(tree_->SelectPath(desktop_ + "/A/after"));
    EXPECT_FALSE(tree_->SelectPath(desktop_ + "/.hidden"));
    EXPECT_EQ(tree_->Path(), desktop_ + "/A/before");
    EXPECT_TRUE(clickedPaths_.empty());
}

TEST_F(ShellTreeViewTest, CollapsingAnAncestorSelectsIt) {
    ASSERT_TRUE(tree_->SelectPath(desktop_ + "/A/inner"));
    tree_->collapseItem(Top()->child(2));
    EXPECT_EQ(tree_->Path(), desktop_ + "/A");
}

TEST_F(ShellTreeViewTest, EveryLeftClickIsReportedAfterItIsHandled) {
    QTreeWidgetItem* folderA = Top()->child(2);
    QTreeWidgetItem* folderB = Top()->child(3);
    Click(RectOf(folderB).center());
    EXPECT_EQ(clickedPaths_, std::vector<std::string>{desktop_ + "/b"});

    // The expand button of "A" lies in the indentation left of its label.
    Click(QPoint(RectOf(folderA).left() - tree_->indentation() / 2, RectOf(folderA).center().y()));
    EXPECT_TRUE(folderA->isExpanded());
    Click(QPoint(5, tree_->viewport()->height() - 5)); // empty space
    EXPECT_EQ(clickedPaths_, std::vector<std::string>(3, desktop_ + "/b"));

    Click(RectOf(folderA).center(), Qt::RightButton);
    QTest::keyClick(&*tree_, Qt::Key_Down);
    EXPECT_EQ(clickedPaths_.size(), 3u);
    EXPECT_EQ(tree_->Path(), desktop_ + "/\xC5\xC4");
}

TEST_F(ShellTreeViewTest, ShowsExpandButtonsOnlyWhereFoldersHaveSubfoldersAndLinesBetweenNodes) {
    QTreeWidgetItem* folderA = Top()->child(2);
    QTreeWidgetItem* folderB = Top()->child(3);
    for (QTreeWidgetItem* folder : {folderA, folderB})
        Click(
            QPoint(RectOf(folder).left() - tree_->indentation() / 2, RectOf(folder).center().y()));
    EXPECT_TRUE(folderA->isExpanded());
    EXPECT_FALSE(folderB->isExpanded()) << "a folder without subfolders has no expand button";

    // A dotted line runs down the column of the desktop's children, from its first child to its
    // last.
    const QImage shown = tree_->viewport()->grab().toImage();
    const QColor line = SystemColor(TSystemColor::clBtnShadow);
    const int x = tree_->indentation() / 2;
    auto lineRows = [&](int top, int bottom) {
        int rows = 0;
        for (int y = top; y <= bottom; ++y)
            rows += shown.pixelColor(x, y).rgb() == line.rgb();
        return rows;
    };
    EXPECT_GT(lineRows(RectOf(Top()->child(0)).top(), RectOf(Top()->child(4)).center().y()),
              RectOf(Top()->child(4)).bottom() / 4);
}

TEST_F(ShellTreeViewTest, HighlightsTheSelectionOnlyWhileItHasTheFocus) {
    tree_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&*tree_));
    // Right of the label, inside the highlighted rectangle of the selected desktop node.
    const QPoint probe(RectOf(Top()).right() - 1, RectOf(Top()).center().y());
    const QColor base = tree_->palette().color(QPalette::Base);
    tree_->setFocus();
    ASSERT_TRUE(tree_->hasFocus());
    EXPECT_NE(tree_->viewport()->grab().toImage().pixelColor(probe), base);
    tree_->clearFocus();
    EXPECT_EQ(tree_->viewport()->grab().toImage().pixelColor(probe), base);
    EXPECT_EQ(tree_->Path(), desktop_);
}

// ---- The folder dialog ------------------------------------------------------------------------

// The dialog over a desktop whose only folder has a name that is not valid UTF-8.
class FolderDialogTest : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(odd_); }

    // Opens the dialog as the chosen-folder command does and lets `answer` act on it as the user
    // would, with keys sent to the control that holds the focus.
    std::string Choose(const std::function<void(TFolderDialog&)>& answer) {
        QTimer::singleShot(0, [&] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* dialog = dynamic_cast<TFolderDialog*>(window);
                    dialog && dialog->isVisible())
                    return answer(*dialog);
            }
            ADD_FAILURE() << "no folder dialog is shown";
        });
        return ChooseFolderModal(nullptr, "请选择相应文件夹");
    }
    static void Press(TFolderDialog& dialog, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(dialog.focusWidget(), key, modifiers);
    }

    testkit::TemporaryHome homeFolder_;
    const std::string desktop_ = homeFolder_.MakeFolder("Desktop");
    const std::string odd_ = desktop_ + "/\xC5\xC4";
};

TEST_F(FolderDialogTest, ThreeDownsFromTheDesktopChooseItsOnlyFolderByItsBytes) {
    const std::string chosen = Choose([&](TFolderDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("请选择相应文件夹"));
        for (int i = 0; i < 3; ++i)
            Press(dialog, Qt::Key_Down);
        EXPECT_EQ(dialog.PathField()->text(), QFile::decodeName(QByteArray::fromStdString(odd_)));
        Press(dialog, Qt::Key_Return);
    });
    EXPECT_EQ(chosen, odd_);
}

TEST_F(FolderDialogTest, TabReachesThePathFieldWhereAPathMayBeTyped) {
    const std::string chosen = Choose([&](TFolderDialog& dialog) {
        Press(dialog, Qt::Key_Tab);
        EXPECT_EQ(dialog.focusWidget(), dialog.PathField());
        dialog.PathField()->selectAll();
        QTest::keyClicks(dialog.PathField(), "/srv/");
        dialog.PathField()->insert(QString::fromUtf8("缩图")); // as pasted
        Press(dialog, Qt::Key_Return);
    });
    EXPECT_EQ(chosen, "/srv/缩图");
}

TEST_F(FolderDialogTest, EscCancelsAndEveryCallStartsAfreshAtTheDesktop) {
    EXPECT_EQ(Choose([&](TFolderDialog& dialog) {
                  Press(dialog, Qt::Key_Down);
                  Press(dialog, Qt::Key_Escape);
              }),
              "");
    const std::string chosen = Choose([&](TFolderDialog& dialog) {
        EXPECT_EQ(dialog.focusWidget(), dialog.Tree());
        EXPECT_TRUE(dialog.Tree()->topLevelItem(0)->isExpanded());
        EXPECT_EQ(dialog.Tree()->Path(), desktop_);
        EXPECT_EQ(dialog.PathField()->text(),
                  QFile::decodeName(QByteArray::fromStdString(desktop_)));
        Press(dialog, Qt::Key_Return);
    });
    EXPECT_EQ(chosen, desktop_);
}

} // namespace
