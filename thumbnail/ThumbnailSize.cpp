#include "thumbnail/ThumbnailSize.h"

#include "platform/Exceptions.h"
#include "platform/StrToInt.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

// The height is computed on the x87 unit: a 64-bit mantissa holds the product of a 32-bit
// integer and a single-precision number without rounding.
static_assert(std::numeric_limits<long double>::digits == 64,
              "the thumbnail height needs the x87 extended format");

int ThumbnailWidth(const std::string& widthText) {
    return std::max(0, int{StrToInt(widthText)});
}

// The checks stand for the invalid-operation and division-by-zero exceptions that the height's
// arithmetic has always raised; explicit tests do it, so the hardware's traps stay masked.
float AspectRatio(int height, int width) {
    if (width == 0 && height == 0)
        throw EInvalidOp();
    if (width == 0)
        throw EZeroDivide();
    return static_cast<float>(static_cast<long double>(height) / static_cast<long double>(width));
}

int ThumbnailHeight(int thumbnailWidth, float aspectRatio) {
    const long double height = std::trunc(static_cast<long double>(thumbnailWidth) *
                                          static_cast<long double>(aspectRatio));
    if (!(height >= std::numeric_limits<std::int32_t>::min() &&
          height <= std::numeric_limits<std::int32_t>::max()))
        throw EInvalidOp();
    return static_cast<int>(height);
}
