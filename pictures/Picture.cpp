#include "Picture.h"

#include "Bitmap.h"
#include "Exceptions.h"
#include "JPEGImage.h"

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
    {"wmf", nullptr, "Metafile is not valid"},
    {"emf", nullptr, "Metafile is not valid"},
    {"ico", nullptr, "Icon image is not valid"},
    {"bmp", Create<TBitmap>, nullptr},
    {"jpeg", Create<TJPEGImage>, nullptr},
    {"jpg", Create<TJPEGImage>, nullptr},
}};

// The part of the file name after its last ".", empty when the name has none. "/" and "." are
// never trail bytes of a multi-byte character, so a byte scan is safe.
std::string ExtensionOf(const std::string& path) {
    const std::size_t at = path.find_last_of("./");
    if (at == std::string::npos || path[at] != '.')
        return {};
    return path.substr(at + 1);
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

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
    const std::string extension = ExtensionOf(path);
    for (const PictureKind& kind : Kinds) {
        if (!EqualIgnoringAsciiCase(kind.extension, extension))
            continue;
        if (kind.create == nullptr)
            throw EInvalidGraphic(kind.refusal);
        std::unique_ptr<TGraphic> loaded = kind.create();
        loaded->LoadFromFile(path);
        SetGraphic(std::move(loaded));
        return;
    }
    throw EInvalidGraphic::UnknownExtension(extension);
}

void TPicture::SaveToFile(const std::string& path) {
    if (graphic_)
        graphic_->SaveToFile(path);
}

void TPicture::SetOnChange(std::function<void()> onChange) {
    onChange_ = std::move(onChange);
}
