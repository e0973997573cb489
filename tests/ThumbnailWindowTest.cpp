// The rendering handler on the main window: which views and which field it works with.
#include "app/Unit1.h"
#include "pictures/Bitmap.h"
#include "pictures/JPEGImage.h"
#include "platform/Exceptions.h"
#include "tests/WindowTestSupport.h"
#include "widgets/Application.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The window as it starts: both views hold the 300 x 300 placeholder, the field reads 200.
class Button1ClickTest : public window_test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(boxes_.empty());
        ASSERT_EQ(form_->Image1->Picture().Width(), 300);
        thumbnail_ = dynamic_cast<TJPEGImage*>(form_->Image2->Picture().Graphic());
        ASSERT_NE(thumbnail_, nullptr);
    }

    TJPEGImage* thumbnail_ = nullptr;
};

TEST_F(Button1ClickTest, RendersTheFullSizeViewIntoTheThumbnailViewsOwnGraphic) {
    form_->Edit1->SetText("$64");
    form_->Button1Click(nullptr);

    EXPECT_EQ(form_->Image2->Picture().Graphic(), thumbnail_);
    EXPECT_EQ(form_->Image2->Picture().Width(), 100);
    EXPECT_EQ(form_->Image2->Picture().Height(), 100);
    EXPECT_TRUE(thumbnail_->Data()->Bytes().empty());
    EXPECT_EQ(form_->Image1->Picture().Width(), 300);
}

TEST_F(Button1ClickTest, TheViewTakesEachThumbnailsSizeAndShowsItFromItsLeftEdge) {
    auto source = std::make_unique<TBitmap>();
    source->SetSize(2560, 1920);
    form_->Image1->Picture().SetGraphic(std::move(source));
    TScrollBox& box = *form_->ScrollBox2;

    form_->Edit1->SetText("2560");
    form_->Button1Click(nullptr);
    EXPECT_EQ(form_->Image2->geometry(), QRect(0, -2, 2560, 1920));
    box.HorzScrollBar().SetPosition(1000);
    ASSERT_EQ(box.HorzScrollBar().Position(), 1000);

    form_->Edit1->SetText("400");
    form_->Button1Click(nullptr);
    EXPECT_EQ(form_->Image2->geometry(), QRect(0, -2, 400, 300));
    EXPECT_TRUE(box.HorzScrollBar().IsVisible());
    EXPECT_EQ(box.HorzScrollBar().Position(), 0);

    form_->Edit1->SetText("200");
    form_->Button1Click(nullptr);
    EXPECT_EQ(form_->Image2->geometry(), QRect(0, -2, 200, 150));
    EXPECT_FALSE(box.HorzScrollBar().IsVisible());
    EXPECT_FALSE(box.VertScrollBar().IsVisible());
}

TEST_F(Button1ClickTest, AFieldThatIsNoIntegerFailsAndKeepsTheThumbnail) {
    const auto data = thumbnail_->Data();
    form_->Edit1->SetText("200px");
    testkit::ExpectThrows<EConvertError>([&] { form_->Button1Click(nullptr); },
                                         "'200px' is not a valid integer value");
    EXPECT_EQ(thumbnail_->Data(), data);
    EXPECT_EQ(form_->Image2->Picture().Width(), 300);
}

} // namespace
