#include "pictures/Picture.h"

#include "pictures/Bitmap.h"
#include "pictures/JPEGImage.h"
#include "platform/Exceptions.h"
#include "platform/FileNames.h"
#include "platform/Texts.h"

#include <array>
#include <string_view>

namespace {

// One registered picture kind. Metafiles and icons are known kinds that this program cannot
// read; they fail with the message their reader would give for content it does not know.
struct PictureKind {
    std::string_view extension;
    std::unique_ptr<TGraphic> (*create)();
    const char* refusal;
};

template <typename Graphic> std::unique_ptr<TGraphic> Create() {
    return std::make_unique<Graphic>();
}

constexpr std::array<PictureKind, 6> Kinds{{
    {"wmf", nullptr, Texts::InvalidMetafile},
    {"emf", nullptr, Texts::InvalidMetafile},
    {"ico", nullptr, Texts::InvalidIcon},
    {"bmp", Create<TBitmap>, nullptr},
    {"jpeg", Create<TJPEGImage>, nullptr},
    {"jpg", Create<TJPEGImage>, nullptr},
}};

} // namespace

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

TGraphic* TPicture::Graphic() const {
    return graphic_.get();
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    if (onChange_)
        onChange_();
}

int TPicture::Width() const {
    return graphic_ ? graphic_->Width() : 0;
}

int TPicture::Height() const {
    return graphic_ ? graphic_->Height() : 0;
}

void TPicture::LoadFromFile(const std::string& path) {
    const std::string extension = ExtractFileExt(path);
    // The kinds are named without the dot, as the failure names an unknown extension.
    const std::string name = extension.empty() ? extension : extension.substr(1);
    for (const PictureKind& kind : Kinds) {
        if (!SameTextAscii(kind.extension, name))
            continue;
        if (kind.create == nullptr)
            throw EInvalidGraphic(kind.refusal);
        std::unique_ptr<TGraphic> loaded = kind.create();
        loaded->LoadFromFile(path);
        SetGraphic(std::move(loaded));
        return;
    }
    throw EInvalidGraphic::UnknownExtension(name);
}

void TPicture::SaveToFile(const std::string& path) {
    if (graphic_)
        graphic_->SaveToFile(path);
}

void TPicture::SetOnChange(std::function<void()> onChange) {
    onChange_ = std::move(onChange);
}
