// A JPEG picture: shared compressed data, a decoded bitmap made on demand, and the settings that
// decide how it decodes and encodes.
#pragma once

#include "pictures/Bitmap.h"
#include "pictures/JpegCodec.h"

#include <cstdint>
#include <memory>
#include <vector>

// The compressed byte stream of a JPEG picture with the size its header gives. Shared by every
// JPEG picture that took it by assignment; never changed once made, so sharing needs no copies.
// Behind its const interface it remembers the pixels last decoded from it, or that they failed to
// decode, so that pictures sharing it with the same decoding settings decode once between them.
class TJPEGData {
public:
    TJPEGData() = default;
    TJPEGData(std::vector<std::uint8_t> bytes, int width, int height)
        : bytes_(std::move(bytes)), width_(width), height_(height) {}
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    friend class TJPEGImage;
    struct DecodedPixels;

    std::vector<std::uint8_t> bytes_;
    int width_ = 0;
    int height_ = 0;
    // Decoding the same bytes with the same settings gives the same pixels (or the same failure),
    // so keeping them changes no state that anybody sees.
    mutable std::shared_ptr<const DecodedPixels> decoded_;
};

enum class TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum class TJPEGPerformance { jpBestQuality, jpBestSpeed };
enum class TJPEGPixelFormat { jf24Bit, jf8Bit };

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;

    const char* ClassName() const override { return "TJPEGImage"; }
    // The decoded bitmap's size when there is one, else the header's (0 x 0 without bytes).
    int Width() const override;
    int Height() const override;

    // Keeps every byte as new compressed data, parses the header when there is at least one byte
    // and sets ProgressiveEncoding from it. An empty file gives a 0 x 0 picture without an error.
    // Throws EFOpenError, EReadError or EJPEG; on failure the picture is as it was.
    void LoadFromFile(const std::string& path) override;
    // The same for bytes already in memory (a picture the program carries): throws EJPEG when a
    // non-empty stream has no readable header, and then leaves the picture as it was.
    void LoadFromBytes(std::vector<std::uint8_t> bytes);
    // Writes the compressed data, encoding the decoded bitmap first when there is none and
    // keeping the bytes. The file is replaced only once the whole stream is written; on failure
    // it is as it was (see WriteFileContents for EFCreateError and EWriteError). A picture with
    // neither bytes nor pixels throws EInvalidGraphic (Texts::EmptyThumbnailSave) and writes
    // nothing.
    void SaveToFile(const std::string& path) override;
    // From a JPEG picture: shares its data, copies its decoded bitmap if it has one, keeps this
    // picture's settings. From a bitmap: new empty data and a copy of the bitmap. Anything else,
    // or null: EConvertError::CannotAssign, naming "nil" for null.
    void Assign(const TGraphic* source) override;
    // As Bitmap(), except that data which already failed to decode for another picture sharing it
    // gives the empty bitmap without an error: that failure was reported where it happened.
    const TBitmap& DrawingBitmap() override;

    // The decoded bitmap, decoding the compressed data first when there is none yet (reusing the
    // pixels, or the failure, that the shared data already holds for the same decoding settings,
    // or the pixels that the thread's JpegDecodeSupply holds for the same bytes and settings).
    // Throws EJPEG, EOutOfMemory or EOutOfResources on the first failure; later calls give the
    // empty bitmap.
    const TBitmap& Bitmap();
    // True once the picture holds a bitmap: assigned, decoded, or the empty one a failed decode
    // leaves.
    bool HasBitmap() const;
    // What the decode of the compressed data asks of DecodeJpeg under the current settings.
    JpegDecodeOptions DecodeOptions() const;
    // The compressed data; never null (a new picture holds empty data).
    const std::shared_ptr<const TJPEGData>& Data() const;

    // Settings, copied from the defaults when the picture is made.
    int CompressionQuality = 90;
    bool Grayscale = false;
    TJPEGPixelFormat PixelFormat = TJPEGPixelFormat::jf24Bit;
    bool ProgressiveEncoding = false;
    bool Smoothing = true;
    TJPEGScale Scale = TJPEGScale::jsFullSize;
    TJPEGPerformance Performance = TJPEGPerformance::jpBestQuality;
    bool ProgressiveDisplay = false;

private:
    struct State;
    bool FailedBefore() const;
    void Decode(TBitmap& target) const;

    std::unique_ptr<State> state_;
};
