#include "app/Unit1.h"
#include "pictures/JPEGImage.h"
#include "platform/Exceptions.h"
#include "resources/Resources.h"
#include "tests/WindowTestSupport.h"
#include "widgets/Application.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using WithApplication = window_test::ApplicationTest;
using window_test::WindowTest;

std::unique_ptr<TBitmap> Bitmap(int width, int height) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(width, height);
    return bitmap;
}

// ---- The window -------------------------------------------------------------------------------

TEST_F(WindowTest, StartsWithTheLayoutTheCaptionAndThePlaceholder) {
    EXPECT_EQ(form_->size(), QSize(951, 616));
    EXPECT_TRUE(form_->windowTitle().startsWith(QString::fromUtf8("VelluminV.2版")));
    EXPECT_EQ(form_->Panel2->geometry(), QRect(331, 0, 620, 616));
    EXPECT_EQ(form_->StatusBar1->geometry(), QRect(1, 596, 618, 19));
    EXPECT_EQ(form_->ScrollBox2->viewport()->size(), QSize(303, 191));
    EXPECT_EQ(form_->Edit1->Text(), "200");
    EXPECT_EQ(form_->StatusBar1->Text(), "");
    EXPECT_FALSE(form_->Memo1->isVisibleTo(form_.get()));
    EXPECT_FALSE(form_->Button1->isVisibleTo(form_.get()));
    EXPECT_FALSE(form_->Label2->isVisibleTo(form_.get()));
    for (TImage* view : {form_->Image1, form_->Image2}) {
        EXPECT_NE(dynamic_cast<TJPEGImage*>(view->Picture().Graphic()), nullptr);
        EXPECT_EQ(view->size(), QSize(300, 300));
    }
    EXPECT_EQ(form_->Image2->y(), -2);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(WindowTest, GroupBoxShowsThePanelsWhiteWithItsCaptionOnTheFrameLine) {
    const QImage box = form_->GroupBox1->grab().toImage();
    const QRgb white = form_->RzPanel3->Color().rgb();
    EXPECT_EQ(white, qRgb(255, 255, 255));
    EXPECT_EQ(box.pixel(6, box.height() - 10), white) << "inside the frame, below the controls";
    // The frame's top line, found right of the caption, runs through the caption's text.
    int line = 0;
    while (line < box.height() && box.pixel(box.width() - 5, line) == white)
        ++line;
    const int captionRight =
        8 + QFontMetrics(form_->GroupBox1->font()).horizontalAdvance(form_->GroupBox1->title());
    auto inkBetween = [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y) {
            for (int x = 8; x < captionRight; ++x) {
                if (qGray(box.pixel(x, y)) < 128)
                    return true;
            }
        }
        return false;
    };
    EXPECT_GT(line, 0);
    EXPECT_LT(line, 12);
    EXPECT_TRUE(inkBetween(0, line));
    EXPECT_TRUE(inkBetween(line + 1, line + 8));
}

TEST_F(WindowTest, ControlsFollowTheirAnchorsWhenTheWindowGrows) {
    form_->resize(1100, 700); // 149 wider, 84 taller
    QCoreApplication::processEvents();
    EXPECT_EQ(form_->Panel1->geometry(), QRect(0, 0, 175, 700));
    EXPECT_EQ(form_->ShellTreeView1->geometry(), QRect(6, 31, 160, 660));
    EXPECT_EQ(form_->RzListBox1->geometry(), QRect(5, 30, 138, 663));
    EXPECT_EQ(form_->Splitter2->geometry(), QRect(328, 0, 3, 700));
    EXPECT_EQ(form_->Panel2->geometry(), QRect(331, 0, 769, 700));
    EXPECT_EQ(form_->StatusBar1->geometry(), QRect(1, 680, 767, 19));
    EXPECT_EQ(form_->RzPanel2->geometry(), QRect(8, 8, 753, 453));
    EXPECT_EQ(form_->RzPanel3->geometry(), QRect(8, 468, 753, 209));
    EXPECT_EQ(form_->GroupBox1->geometry(), QRect(469, 9, 278, 179));
    EXPECT_EQ(form_->ScrollBox2->geometry(), QRect(8, 8, 305, 193));
    EXPECT_EQ(form_->RzButton2->geometry(), QRect(93, 45, 148, 57));
}

TEST_F(WindowTest, FocusRestsOnThePanelAndTabCyclesThroughFiveControls) {
    QApplication::setActiveWindow(form_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    EXPECT_EQ(QApplication::focusWidget(), form_->Panel1);
    const std::vector<QWidget*> cycle = {form_->ShellTreeView1, form_->Edit1,
                                         form_->RzButton2,      form_->RzButton3,
                                         form_->RzListBox1,     form_->ShellTreeView1};
    for (QWidget* expected : cycle) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->metaObject()->className();
    }
}

TEST_F(WindowTest, RightClickInTheFileListOpensTheMenuWithBothItems) {
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10),
                            form_->RzListBox1->viewport()->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(form_->RzListBox1->viewport(), &click);
    EXPECT_TRUE(form_->PopupMenu1->isVisible());
    ASSERT_EQ(form_->PopupMenu1->actions().size(), 2);
    EXPECT_EQ(form_->N1->text(), QString::fromUtf8("删除文件"));
    EXPECT_EQ(form_->N2->text(), QString::fromUtf8("选择生成缩略图"));
    EXPECT_TRUE(form_->N1->isEnabled() && form_->N2->isEnabled());
    form_->PopupMenu1->close();
}

struct SplitterCase {
    int wantedWidth; // the width the drag asks for
    int width;       // the width the panel gets
};

class SplitterTest : public WindowTest, public testing::WithParamInterface<SplitterCase> {};

TEST_P(SplitterTest, SetsThePanelWidthOnReleaseWithinItsBounds) {
    TSplitter* splitter = form_->Splitter1;
    const QPoint down(2, 100);
    const QPoint up = down + QPoint(GetParam().wantedWidth - 175, 0);
    QTest::mousePress(splitter, Qt::LeftButton, {}, down);
    QMouseEvent move(QEvent::MouseMove, up, splitter->mapToGlobal(up), Qt::NoButton, Qt::LeftButton,
                     {});
    QApplication::sendEvent(splitter, &move);
    EXPECT_EQ(form_->Panel1->width(), 175) << "resized before the release";
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, up);
    EXPECT_EQ(form_->Panel1->width(), GetParam().width);
    EXPECT_EQ(splitter->x(), GetParam().width);
    EXPECT_EQ(form_->RzPanel1->x(), GetParam().width + 4);
    EXPECT_EQ(form_->ShellTreeView1->width(), std::max(GetParam().width - 15, 0));
}

// The widest leaves 30 to Panel2: 951 - 30 - (4 + 149 + 3).
INSTANTIATE_TEST_SUITE_P(AutoSnap, SplitterTest,
                         testing::Values(SplitterCase{30, 0}, SplitterCase{31, 31},
                                         SplitterCase{-50, 0}, SplitterCase{400, 400},
                                         SplitterCase{765, 765}, SplitterCase{900, 765}),
                         [](const testing::TestParamInfo<SplitterCase>& info) {
                             const int wanted = info.param.wantedWidth;
                             return (wanted < 0 ? "Minus" : "To") +
                                    std::to_string(std::abs(wanted));
                         });

TEST_F(WindowTest, FullSizeViewScrollsOverThePictureAndClampsItsPosition) {
    form_->Image1->Picture().SetGraphic(Bitmap(1600, 1200));
    EXPECT_EQ(form_->Image1->size(), QSize(1600, 1200));
    TScrollBox& box = *form_->ScrollBox1;
    EXPECT_TRUE(box.HorzScrollBar().IsVisible());
    EXPECT_TRUE(box.VertScrollBar().IsVisible());
    EXPECT_EQ(box.VertScrollBar().Range(), 1200);
    EXPECT_EQ(box.VertScrollBar().Increment(), 8);
    const int largest = 1200 - box.viewport()->height();
    EXPECT_EQ(box.VertScrollBar().LargestPosition(), largest);
    box.VertScrollBar().SetPosition(100000);
    EXPECT_EQ(box.VertScrollBar().Position(), largest);
    EXPECT_EQ(form_->Image1->y(), -largest);
    box.VertScrollBar().SetPosition(-5);
    EXPECT_EQ(box.VertScrollBar().Position(), 0);

    box.VertScrollBar().SetPosition(500);
    form_->Image1->Picture().SetGraphic(Bitmap(200, 150));
    EXPECT_EQ(form_->Image1->geometry(), QRect(0, 0, 200, 150));
    EXPECT_FALSE(box.HorzScrollBar().IsVisible());
    EXPECT_FALSE(box.VertScrollBar().IsVisible());
    EXPECT_EQ(box.VertScrollBar().Position(), 0);
}

TEST_F(WindowTest, WheelOverTheFullSizeViewReachesItsHandlerOnly) {
    form_->Image1->Picture().SetGraphic(Bitmap(1600, 1200));
    std::vector<int> deltas;
    form_->ScrollBox1->OnMouseWheel = [&](Qt::KeyboardModifiers, int delta, QPoint, bool& handled) {
        deltas.push_back(delta);
        handled = true;
    };
    // A wheel event over the picture goes on to the viewport, as the picture ignores it.
    for (QWidget* target : {form_->ScrollBox1->viewport(),
                            static_cast<QWidget*>(form_->ScrollBox1->verticalScrollBar())}) {
        QWheelEvent wheel(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), {}, {0, -240},
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }
    EXPECT_EQ(deltas, (std::vector<int>{-240, -240}));
    EXPECT_EQ(form_->ScrollBox1->VertScrollBar().Position(), 0) << "the box scrolled itself";
}

struct ThumbnailCase {
    int width;
    int height;
    bool horizontalBar;
};

class ThumbnailViewTest : public WindowTest, public testing::WithParamInterface<ThumbnailCase> {};

TEST_P(ThumbnailViewTest, NeverShowsAVerticalBar) {
    const ThumbnailCase& c = GetParam();
    form_->Image2->Picture().SetGraphic(Bitmap(c.width, c.height));
    EXPECT_EQ(form_->Image2->geometry(), QRect(0, -2, c.width, c.height));
    EXPECT_FALSE(form_->ScrollBox2->VertScrollBar().IsVisible());
    EXPECT_EQ(form_->ScrollBox2->VertScrollBar().Range(), 0);
    EXPECT_EQ(form_->ScrollBox2->HorzScrollBar().IsVisible(), c.horizontalBar);
}

INSTANTIATE_TEST_SUITE_P(
    Thumbnails, ThumbnailViewTest,
    testing::Values(ThumbnailCase{200, 150, false}, ThumbnailCase{200, 267, false},
                    ThumbnailCase{303, 2000, false}, ThumbnailCase{400, 300, true}),
    [](const testing::TestParamInfo<ThumbnailCase>& info) {
        return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
    });

// ---- The guard and the error report -----------------------------------------------------------

struct GuardCase {
    const char* name;
    std::function<void()> fail;
    const char* report; // null: nothing shown
};

class GuardTest : public WithApplication, public testing::WithParamInterface<GuardCase> {};

TEST_P(GuardTest, ReportsWhatLeavesAHandler) {
    QWidget grabbing;
    grabbing.show();
    grabbing.grabMouse();
    ASSERT_EQ(QWidget::mouseGrabber(), &grabbing);
    bool after = false;
    Application->Guard([&] {
        GetParam().fail();
        after = true;
    });
    EXPECT_FALSE(after);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    if (!GetParam().report) {
        EXPECT_TRUE(boxes_.empty());
        return;
    }
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_TRUE(boxes_[0].error);
    EXPECT_EQ(boxes_[0].caption, "Corvantis");
    EXPECT_EQ(boxes_[0].text, GetParam().report);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, GuardTest,
    testing::Values(GuardCase{"ConvertError", [] { throw EConvertError::InvalidInteger("abc"); },
                              "'abc' is not a valid integer value."},
                    GuardCase{"ChineseEnd", [] { throw Exception("没有文件"); }, "没有文件."},
                    GuardCase{"ParenthesisEnd", [] { throw EInvalidGraphic::UnknownExtension(""); },
                              "Unknown picture file extension (.)"},
                    GuardCase{"Empty", [] { throw Exception(""); }, ""},
                    GuardCase{"Abort", [] { throw EAbort(); }, nullptr},
                    GuardCase{"OutOfMemory", [] { throw std::bad_alloc(); }, "Out of memory."},
                    GuardCase{"StandardException", [] { throw std::runtime_error("disk on fire"); },
                              "disk on fire."},
                    GuardCase{"Anything", [] { throw 42; }, "Unknown exception."}),
    testkit::RowName());

TEST_F(WithApplication, InformationBoxCarriesTheTitleAndTheTextAsGiven) {
    Application->ShowMessage("操作完成!");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_FALSE(boxes_[0].error);
    EXPECT_EQ(boxes_[0].caption, "Corvantis");
    EXPECT_EQ(boxes_[0].text, "操作完成!");
}

// ---- Controls on their own ----------------------------------------------------------------------

// A JPEG whose header claims more pixels than a bitmap may hold: it loads, but cannot be drawn.
std::string UndrawableJpeg(const testkit::TemporaryFolder& folder) {
    const std::string path = folder.File("huge.jpg");
    testkit::WriteBytes(path, testkit::WithClaimedSize(
                                  testkit::Cjpeg(testkit::TestImage(8, 8, 3, 1)), 60000, 60000));
    return path;
}

TEST_F(WithApplication, PictureThatCannotBeDrawnIsReportedOnce) {
    const testkit::TemporaryFolder folder;
    TImage view(nullptr);
    view.resize(40, 40);
    view.Picture().LoadFromFile(UndrawableJpeg(folder));
    view.grab();
    EXPECT_TRUE(boxes_.empty()); // not inside the paint
    view.grab();
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_TRUE(boxes_[0].error);
    view.Picture().SetGraphic(Bitmap(4, 4));
    view.grab();
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes_.size(), 1u);
    view.Picture().LoadFromFile(UndrawableJpeg(folder)); // a new picture fails anew
    view.grab();
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes_.size(), 2u);
}

class IconTest : public testing::TestWithParam<int> {};

TEST_P(IconTest, ComesInTheSizeWithTransparency) {
    const int side = GetParam();
    const QImage image = ApplicationIcon().pixmap(side, side).toImage();
    EXPECT_EQ(image.size(), QSize(side, side));
    EXPECT_EQ(qAlpha(image.pixel(0, side - 1)), 0);
    EXPECT_EQ(qAlpha(image.pixel(side / 2, side / 2)), 255);
}

INSTANTIATE_TEST_SUITE_P(Sides, IconTest, testing::Values(16, 32),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Side" + std::to_string(info.param);
                         });

TEST(WindowControls, ImageDrawsItsBitmapUnscaledFromTheTopLeft) {
    TImage view(nullptr);
    view.resize(6, 6);
    auto bitmap = Bitmap(3, 2);
    bitmap->SetPixelFormat(TPixelFormat::pf24bit);
    bitmap->ScanLine(1)[2 * 3 + 2] = 200; // red of the last pixel of the second row
    view.Picture().SetGraphic(std::move(bitmap));
    const QImage shown = view.grab().toImage();
    EXPECT_EQ(shown.pixel(2, 1), qRgb(200, 0, 0));
    EXPECT_EQ(shown.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(WindowControls, ButtonCaptionWrapsAtSpacesAndCutsOnlyOverlongWords) {
    QFont font = WindowFont();
    const QFontMetrics metrics(font);
    const QString caption = QString::fromUtf8("批量生成缩略图 [到当前文件夹] 带后缀 缩图");
    const QStringList lines = WrapAtSpaces(caption, metrics, 140);
    EXPECT_GE(lines.size(), 2);
    EXPECT_EQ(lines.join(QLatin1Char(' ')), caption);
    for (const QString& line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), 140) << line.toStdString();

    const QStringList cut = WrapAtSpaces(QStringLiteral("aaaaaaaaaa b"), metrics,
                                         metrics.horizontalAdvance(QStringLiteral("aaaa")));
    EXPECT_EQ(cut, (QStringList{"aaaa", "aaaa", "aa b"}));
}

struct DesktopCase {
    QSize virtualDesktop;
    QPoint primaryTopLeft; // global: X11 counts from the virtual desktop's corner
    QPoint position;
};

class DesktopCenterTest : public testing::TestWithParam<DesktopCase> {};

TEST_P(DesktopCenterTest, CentresTheFrameOnTheVirtualDesktopFromThePrimaryCorner) {
    const DesktopCase& c = GetParam();
    EXPECT_EQ(DesktopCenterPosition(c.virtualDesktop, c.primaryTopLeft, QSize(959, 646)),
              c.position);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, DesktopCenterTest,
    testing::Values(
        DesktopCase{{1024, 768}, {0, 0}, {32, 61}}, DesktopCase{{800, 600}, {0, 0}, {0, 0}},
        DesktopCase{{2560, 1024}, {0, 0}, {800, 189}},
        // The second screen left of the primary: still 800, 189 from the primary's corner.
        DesktopCase{{2560, 1024}, {1280, 0}, {2080, 189}}),
    [](const testing::TestParamInfo<DesktopCase>& info) {
        const DesktopCase& c = info.param;
        return std::to_string(c.virtualDesktop.width()) + "x" +
               std::to_string(c.virtualDesktop.height()) + "PrimaryAt" +
               std::to_string(c.primaryTopLeft.x());
    });

} // namespace
