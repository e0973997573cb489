#include "platform/Exceptions.h"
#include "platform/StrToInt.h"
#include "tests/TestKit.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct StrToIntCase {
    const char* name;
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
    testing::Values(
        StrToIntCase{"Decimal", "200", 200}, StrToIntCase{"LeadingSpaces", "   200", 200},
        StrToIntCase{"Plus", "+200", 200}, StrToIntCase{"Minus", "-200", -200},
        StrToIntCase{"Dollar", "$C8", 200}, StrToIntCase{"ZeroX", "0xc8", 200},
        StrToIntCase{"ZeroXUpper", "0XC8", 200}, StrToIntCase{"X", "xC8", 200},
        StrToIntCase{"MinusDollar", "-$C8", -200}, StrToIntCase{"Zero", "0", 0},
        StrToIntCase{"LeadingZeros", "007", 7}, StrToIntCase{"Largest", "2147483647", 2147483647},
        StrToIntCase{"Smallest", "-2147483648", INT32_MIN},
        StrToIntCase{"DollarLargest", "$7FFFFFFF", INT32_MAX},
        StrToIntCase{"DollarSmallest", "$80000000", INT32_MIN},
        StrToIntCase{"DollarAllOnes", "$FFFFFFFF", -1},
        StrToIntCase{"PastLargest", "2147483648", std::nullopt},
        StrToIntCase{"PastSmallest", "-2147483649", std::nullopt},
        StrToIntCase{"DollarPast32Bits", "$100000000", std::nullopt},
        StrToIntCase{"Huge", "99999999999999999999999", std::nullopt},
        StrToIntCase{"TrailingSpace", "200 ", std::nullopt},
        StrToIntCase{"Unit", "200px", std::nullopt}, StrToIntCase{"Exponent", "2e2", std::nullopt},
        StrToIntCase{"Empty", "", std::nullopt}, StrToIntCase{"Space", " ", std::nullopt},
        StrToIntCase{"LeadingTab", "\t200", std::nullopt},
        StrToIntCase{"PlusAlone", "+", std::nullopt},
        StrToIntCase{"DollarAlone", "$", std::nullopt},
        StrToIntCase{"ZeroXAlone", "0x", std::nullopt},
        StrToIntCase{"TwoSigns", "+-1", std::nullopt},
        StrToIntCase{"DollarNoDigit", "$G", std::nullopt},
        StrToIntCase{"Letters", "abc", std::nullopt}),
    testkit::RowName());

struct ReportCase {
    const char* name;
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

INSTANTIATE_TEST_SUITE_P(
    FullStopRule, ErrorReportTextTest,
    testing::Values(ReportCase{"InvalidInteger", "'abc' is not a valid integer value",
                               "'abc' is not a valid integer value."},
                    ReportCase{"Digits", "JPEG error #53", "JPEG error #53."},
                    ReportCase{"Slash", "path /", "path /."}, ReportCase{"Colon", "a:", "a:."},
                    ReportCase{"Chinese", "操作完成", "操作完成."},
                    ReportCase{"Parenthesis", "Unknown picture file extension (.)",
                               "Unknown picture file extension (.)"},
                    ReportCase{"FullStop", "done.", "done."},
                    ReportCase{"ExclamationMark", "done!", "done!"},
                    ReportCase{"Quote", "say \"x\"", "say \"x\""}, ReportCase{"Comma", "a,", "a,"},
                    ReportCase{"Hyphen", "a-", "a-"}, ReportCase{"Space", "a ", "a "},
                    ReportCase{"Empty", "", ""}),
    testkit::RowName());

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
