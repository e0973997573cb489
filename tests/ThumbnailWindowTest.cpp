// The rendering handler on the main window: which views and which field it works with.
#include "app/Unit1.h"
#include "pictures/JPEGImage.h"
#include "platform/Exceptions.h"
#include "tests/WindowTestSupport.h"
#include "widgets/Application.h"

#include <gtest/gtest.h>

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
        viewSize_ = form_->Image2->size();
    }

    TJPEGImage* thumbnail_ = nullptr;
    QSize viewSize_;
};

TEST_F(Button1ClickTest, RendersTheFullSizeViewIntoTheThumbnailViewsOwnGraphic) {
    form_->Edit1->SetText("$64");
    form_->Button1Click(nullptr);

    EXPECT_EQ(form_->Image2->Picture().Graphic(), thumbnail_);
    EXPECT_EQ(form_->Image2->Picture().Width(), 100);
    EXPECT_EQ(form_->Image2->Picture().Height(), 100);
    EXPECT_TRUE(thumbnail_->Data()->Bytes().empty());
    // No change notice: the view keeps the size of the picture last loaded into it.
    EXPECT_EQ(form_->Image2->size(), viewSize_);
    EXPECT_EQ(form_->Image1->Picture().Width(), 300);
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
