#include "pictures/JPEGImage.h"

#include "pictures/FileContents.h"
#include "pictures/JpegCodec.h"
#include "pictures/JpegDecodeSupply.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Texts.h"

#include <exception>

namespace {

// The supply that decodes on this thread ask first; each thread has its own, so no thread sees
// another's.
thread_local JpegDecodeSupply* installedSupply = nullptr;

// The settings that decide the decoded pixels.
struct DecodeKey {
    bool grayscale;
    TJPEGPixelFormat pixelFormat;
    bool smoothing;
    TJPEGScale scale;
    TJPEGPerformance performance;
    bool operator==(const DecodeKey&) const = default;
};

DecodeKey KeyOf(const TJPEGImage& image) {
    return {image.Grayscale, image.PixelFormat, image.Smoothing, image.Scale, image.Performance};
}

JpegDecodeOptions OptionsFor(const DecodeKey& key) {
    JpegDecodeOptions options;
    options.grayscale = key.grayscale;
    options.eightBit = key.pixelFormat == TJPEGPixelFormat::jf8Bit;
    options.blockSmoothing = key.smoothing;
    options.scaleDenominator = 1 << static_cast<int>(key.scale);
    options.fast = key.performance == TJPEGPerformance::jpBestSpeed;
    return options;
}

} // namespace

JpegDecodeSupply::Scope::Scope(JpegDecodeSupply& supply) : previous_(installedSupply) {
    installedSupply = &supply;
}

JpegDecodeSupply::Scope::~Scope() {
    installedSupply = previous_;
}

struct TJPEGData::DecodedPixels {
    DecodeKey key;
    TBitmap bitmap;
    // Set when these bytes failed to decode with this key: the same failure again, without the
    // time and memory of decoding again.
    std::exception_ptr failure;
};

struct TJPEGImage::State {
    std::shared_ptr<const TJPEGData> data = std::make_shared<const TJPEGData>();
    // Null until decoded or assigned.
    std::unique_ptr<TBitmap> bitmap;
};

TJPEGImage::TJPEGImage() : state_(std::make_unique<State>()) {}

TJPEGImage::~TJPEGImage() = default;

int TJPEGImage::Width() const {
    return state_->bitmap ? state_->bitmap->Width() : state_->data->Width();
}

int TJPEGImage::Height() const {
    return state_->bitmap ? state_->bitmap->Height() : state_->data->Height();
}

void TJPEGImage::LoadFromFile(const std::string& path) {
    LoadFromBytes(ReadFileContents(path));
}

void TJPEGImage::LoadFromBytes(std::vector<std::uint8_t> bytes) {
    if (bytes.empty()) {
        state_->data = std::make_shared<const TJPEGData>();
        state_->bitmap.reset();
        return;
    }
    const JpegHeader header = ReadJpegHeader(bytes);
    state_->data = std::make_shared<const TJPEGData>(std::move(bytes), header.width, header.height);
    state_->bitmap.reset();
    ProgressiveEncoding = header.hasMultipleScans;
}

void TJPEGImage::SaveToFile(const std::string& path) {
    if (state_->data->Bytes().empty()) {
        if (!state_->bitmap || state_->bitmap->Empty())
            throw EInvalidGraphic(Format(Texts::EmptyThumbnailSave, Width(), Height()));
        JpegEncodeOptions options;
        options.quality = CompressionQuality;
        options.grayscale = Grayscale;
        options.progressive = ProgressiveEncoding;
        const TBitmap& bitmap = *state_->bitmap;
        state_->data = std::make_shared<const TJPEGData>(EncodeJpeg(bitmap, options),
                                                         bitmap.Width(), bitmap.Height());
    }
    WriteFileContents(path, state_->data->Bytes());
}

void TJPEGImage::Assign(const TGraphic* source) {
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(source)) {
        std::unique_ptr<TBitmap> bitmap;
        if (jpeg->state_->bitmap) {
            bitmap = std::make_unique<TBitmap>();
            bitmap->Assign(jpeg->state_->bitmap.get());
        }
        state_->data = jpeg->state_->data;
        state_->bitmap = std::move(bitmap);
        return;
    }
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(bitmap);
        state_->data = std::make_shared<const TJPEGData>();
        state_->bitmap = std::move(copy);
        return;
    }
    throw EConvertError::CannotAssign(source ? source->ClassName() : "nil", ClassName());
}

const TBitmap& TJPEGImage::DrawingBitmap() {
    // Data that already failed to decode for another picture was reported where it failed; a
    // view draws it as nothing rather than reporting it again.
    if (!state_->bitmap && FailedBefore())
        state_->bitmap = std::make_unique<TBitmap>();
    return Bitmap();
}

const TBitmap& TJPEGImage::Bitmap() {
    if (!state_->bitmap) {
        // The empty bitmap stays when decoding fails, so that the failure is reported once.
        state_->bitmap = std::make_unique<TBitmap>();
        Decode(*state_->bitmap);
    }
    return *state_->bitmap;
}

bool TJPEGImage::FailedBefore() const {
    const auto& decoded = state_->data->decoded_;
    return decoded && decoded->failure && decoded->key == KeyOf(*this);
}

void TJPEGImage::Decode(TBitmap& target) const {
    const TJPEGData& data = *state_->data;
    const DecodeKey key = KeyOf(*this);
    if (data.decoded_ && data.decoded_->key == key) {
        if (data.decoded_->failure)
            std::rethrow_exception(data.decoded_->failure);
        target.Assign(&data.decoded_->bitmap);
        return;
    }
    auto decoded = std::make_shared<TJPEGData::DecodedPixels>();
    decoded->key = key;
    const JpegDecodeOptions options = OptionsFor(key);
    try {
        if (!installedSupply || !installedSupply->Take(data.Bytes(), options, decoded->bitmap))
            DecodeJpeg(data.Bytes(), options, decoded->bitmap);
    } catch (const Exception&) {
        decoded->failure = std::current_exception();
        data.decoded_ = std::move(decoded);
        throw;
    }
    target.Assign(&decoded->bitmap);
    data.decoded_ = std::move(decoded);
}

JpegDecodeOptions TJPEGImage::DecodeOptions() const {
    return OptionsFor(KeyOf(*this));
}

bool TJPEGImage::HasBitmap() const {
    return static_cast<bool>(state_->bitmap);
}

const std::shared_ptr<const TJPEGData>& TJPEGImage::Data() const {
    return state_->data;
}
