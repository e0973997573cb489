#pragma once

#include <cstdint>
#include <string>

// Converts the width field's text to a signed 32-bit integer.
// Accepts: leading spaces (the space character only), one optional "+" or "-", then decimal
// digits, or "$", "x", "X", "0x" or "0X" followed by hexadecimal digits of either case. Nothing
// may follow. Decimal values must lie in [-2147483648, 2147483647]; hexadecimal values may go up
// to FFFFFFFF and wrap to negative above 7FFFFFFF (FFFFFFFF is -1).
// Throws EConvertError::InvalidInteger for any other text.
std::int32_t StrToInt(const std::string& text);
