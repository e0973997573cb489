// Pixels decoded before a picture asked for them, handed to the decode that would make them.
#pragma once

#include "pictures/Bitmap.h"
#include "pictures/JpegCodec.h"

#include <cstdint>
#include <span>

// Something that may already hold what DecodeJpeg gives for some byte streams. While a supply is
// installed on a thread (Scope), every JPEG picture that decodes on that thread offers it its
// compressed bytes and decoding options first, and decodes them itself only when the supply has
// nothing for them.
class JpegDecodeSupply {
public:
    virtual ~JpegDecodeSupply() = default;

    // When the supply holds the bitmap that DecodeJpeg made from exactly `bytes` with exactly
    // `options`, hands it to `bitmap` and returns true, keeping it no longer; otherwise returns
    // false and leaves `bitmap` as it was. Never throws.
    virtual bool Take(std::span<const std::uint8_t> bytes, const JpegDecodeOptions& options,
                      TBitmap& bitmap) noexcept = 0;

    // Installs a supply for the calling thread for as long as the scope lives, replacing the one
    // installed before until then. Scopes of one thread end in the reverse order of their making.
    class Scope {
    public:
        explicit Scope(JpegDecodeSupply& supply);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        JpegDecodeSupply* previous_;
    };
};
