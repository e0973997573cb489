#include "platform/Exceptions.h"
#include "platform/StrToInt.h"
#include "tests/TestKit.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct StrToIntCase {
    const char* text;
    std::optional<std::int32_t> value; // empty: the text is no integer
};

void PrintTo(const StrToIntCase& c, std::ostream* os) {
    *os << "'" << c.text << "'";
}

class StrToIntTest : public testing::TestWithParam<StrToIntCase> {};

TEST_P(StrToIntTest, ConvertsOrRefusesWithTheWholeText) {
    const StrToIntCase& c = GetParam();
    if (c.value) {
        EXPECT_EQ(StrToInt(c.text), *c.value);
        return;
    }
    testkit::ExpectThrows<EConvertError>(
        [&] { StrToInt(c.text); }, std::string("'") + c.text + "' is not a valid integer value");
}

INSTANTIATE_TEST_SUITE_P(
    WidthField, StrToIntTest,
    testing::Values(StrToIntCase{"200", 200}, StrToIntCase{"   200", 200},
                    StrToIntCase{"+200", 200}, StrToIntCase{"-200", -200}, StrToIntCase{"$C8", 200},
                    StrToIntCase{"0xc8", 200}, StrToIntCase{"0XC8", 200}, StrToIntCase{"xC8", 200},
                    StrToIntCase{"-$C8", -200}, StrToIntCase{"0", 0}, StrToIntCase{"007", 7},
                    StrToIntCase{"2147483647", 2147483647}, StrToIntCase{"-2147483648", INT32_MIN},
                    StrToIntCase{"$7FFFFFFF", INT32_MAX}, StrToIntCase{"$80000000", INT32_MIN},
                    StrToIntCase{"$FFFFFFFF", -1}, StrToIntCase{"2147483648", std::nullopt},
                    StrToIntCase{"-2147483649", std::nullopt},
                    StrToIntCase{"$100000000", std::nullopt},
                    StrToIntCase{"99999999999999999999999", std::nullopt},
                    StrToIntCase{"200 ", std::nullopt}, StrToIntCase{"200px", std::nullopt},
                    StrToIntCase{"2e2", std::nullopt}, StrToIntCase{"", std::nullopt},
                    StrToIntCase{" ", std::nullopt}, StrToIntCase{"\t200", std::nullopt},
                    StrToIntCase{"+", std::nullopt}, StrToIntCase{"$", std::nullopt},
                    StrToIntCase{"0x", std::nullopt}, StrToIntCase{"+-1", std::nullopt},
                    StrToIntCase{"$G", std::nullopt}, StrToIntCase{"abc", std::nullopt}));

struct ReportCase {
    const char* message;
    const char* shown;
};

void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << "'" << c.message << "'";
}

class ErrorReportTextTest : public testing::TestWithParam<ReportCase> {};

TEST_P(ErrorReportTextTest, AppendsAFullStopAfterCharactersSortingAfterTheDot) {
    EXPECT_EQ(ErrorReportText(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(FullStopRule, ErrorReportTextTest,
                         testing::Values(ReportCase{"'abc' is not a valid integer value",
                                                    "'abc' is not a valid integer value."},
                                         ReportCase{"JPEG error #53", "JPEG error #53."},
                                         ReportCase{"path /", "path /."}, ReportCase{"a:", "a:."},
                                         ReportCase{"操作完成", "操作完成."},
                                         ReportCase{"Unknown picture file extension (.)",
                                                    "Unknown picture file extension (.)"},
                                         ReportCase{"done.", "done."}, ReportCase{"done!", "done!"},
                                         ReportCase{"say \"x\"", "say \"x\""},
                                         ReportCase{"a,", "a,"}, ReportCase{"a-", "a-"},
                                         ReportCase{"a ", "a "}, ReportCase{"", ""}));

TEST(ExceptionMessages, CarryTheirFixedTexts) {
    EXPECT_EQ(EJPEG(42).Message(), "JPEG error #42");
    EXPECT_EQ(EJPEG(42).Code(), 42);
    EXPECT_EQ(EFOpenError("/x/a.jpg", "No such file or directory").Message(),
              "Cannot open file \"/x/a.jpg\". No such file or directory");
    EXPECT_EQ(EFCreateError("/x/a.jpg", "Permission denied").Message(),
              "Cannot create file \"/x/a.jpg\". Permission denied");
    EXPECT_EQ(EConvertError::CannotAssign("nil", "TJPEGImage").Message(),
              "Cannot assign a nil to a TJPEGImage");
    EXPECT_EQ(EInvalidGraphic::UnknownExtension("").Message(),
              "Unknown picture file extension (.)");
}

} // namespace
