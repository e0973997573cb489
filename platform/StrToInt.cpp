#include "platform/StrToInt.h"

#include "platform/Exceptions.h"

#include <cctype>

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::int32_t StrToInt(const std::string& text) {
    const auto fail = [&text] { return EConvertError::InvalidInteger(text); };
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size())
        throw fail();

    // Magnitudes are gathered in 64 bits and checked digit by digit, so no text can overflow.
    const std::uint64_t base = hex ? 16 : 10;
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 2147483648ull : 2147483647ull);
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit =
            hex ? HexDigitValue(text[i])
                : (std::isdigit(static_cast<unsigned char>(text[i])) ? text[i] - '0' : -1);
        if (digit < 0)
            throw fail();
        magnitude = magnitude * base + static_cast<std::uint64_t>(digit);
        if (magnitude > limit)
            throw fail();
    }
    // Two's complement wrap-around gives hexadecimal values above 7FFFFFFF their negative meaning.
    const auto value = static_cast<std::uint32_t>(magnitude);
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}
