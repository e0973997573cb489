#include "tests/TestKit.h"
#include "thumbnail/ThumbnailFileName.h"

#include <gtest/gtest.h>

namespace {

struct NamingCase {
    const char* name;
    std::string source;
    std::string thumbnail;
};

class ThumbnailFileNameTest : public testing::TestWithParam<NamingCase> {};

TEST_P(ThumbnailFileNameTest, PutsTheSuffixBeforeTheExtension) {
    EXPECT_EQ(ThumbnailFileName(GetParam().source), GetParam().thumbnail);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ThumbnailFileNameTest,
    testing::Values(NamingCase{"Plain", "/photos/trip.jpg", "trip缩图.jpg"},
                    NamingCase{"UpperCaseExtension", "/photos/IMG_01.JPG", "IMG_01缩图.JPG"},
                    NamingCase{"TwoDots", "/photos/a.b.jpg", "a.b缩图.jpg"},
                    NamingCase{"AThumbnail", "/photos/trip缩图.jpg", "trip缩图缩图.jpg"},
                    NamingCase{"OnlyAnExtension", "/photos/.jpg", "缩图.jpg"},
                    NamingCase{"NoExtension", "/photos/readme", "readme缩图"},
                    NamingCase{"DotInTheFolder", "/photo.set/readme", "readme缩图"},
                    NamingCase{"Root", "//x.jpg", "x缩图.jpg"},
                    NamingCase{"NoFolder", "trip.jpg", "trip缩图.jpg"},
                    NamingCase{"Empty", "", "缩图"}, NamingCase{"AFolder", "/photos/", "缩图"},
                    // GBK bytes of 淺 (0x9C 0x5C) and of a name that is not UTF-8 stay whole.
                    NamingCase{"GbkTrailByteIsBackslash", "/photos/\x9C\x5C.jpg",
                               "\x9C\x5C缩图.jpg"},
                    NamingCase{"NotUtf8", "/\xC5\xC4/\xC5\xC4.jpg", "\xC5\xC4缩图.jpg"}),
    testkit::RowName());

TEST(ThumbnailDestination, JoinsFolderAndNameWithOneSlash) {
    EXPECT_EQ(ThumbnailDestination("/photos", "trip缩图.jpg"), "/photos/trip缩图.jpg");
    EXPECT_EQ(ThumbnailDestination("/", "trip缩图.jpg"), "//trip缩图.jpg");
    EXPECT_EQ(ThumbnailDestination("", "trip缩图.jpg"), "/trip缩图.jpg");
}

} // namespace
