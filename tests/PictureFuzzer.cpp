// libFuzzer target: one file through the whole road that a batch command takes with it. The input
// is written as a .jpg file, loaded into a full-size and a thumbnail picture as the preview does,
// rendered at width 200 twice, saved beside it as its thumbnail and read back. Every failure of
// the Exception family is a refusal the program reports to the user, so it ends the road quietly;
// a crash, a leak, undefined behaviour, a slow input or too much memory is what the fuzzer finds.
#include "pictures/JPEGImage.h"
#include "pictures/Picture.h"
#include "platform/Exceptions.h"
#include "thumbnail/Rendering.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// A folder of this process's own for the fuzzed file and its thumbnail.
const std::string& WorkFolder() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/picture-fuzzer-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return pattern;
    }();
    return folder;
}

void WriteWhole(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || (size > 0 && std::fwrite(data, 1, size, file) != size)) {
        std::perror(path.c_str());
        std::abort();
    }
    std::fclose(file);
}

void Road(const std::string& source, const std::string& thumbnailPath) {
    TPicture fullSizeView;
    TPicture thumbnailView;
    fullSizeView.LoadFromFile(source);
    thumbnailView.LoadFromFile(source);
    RenderThumbnail(fullSizeView, *thumbnailView.Graphic(), "200");
    RenderThumbnail(fullSizeView, *thumbnailView.Graphic(), "200");
    thumbnailView.SaveToFile(thumbnailPath);
    TJPEGImage savedThumbnail;
    savedThumbnail.LoadFromFile(thumbnailPath);
    savedThumbnail.Bitmap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string source = WorkFolder() + "/fuzzed.jpg";
    const std::string thumbnail = WorkFolder() + "/fuzzed缩图.jpg";
    WriteWhole(source, data, size);
    try {
        Road(source, thumbnail);
    } catch (const Exception&) {
    }
    ::unlink(thumbnail.c_str());
    return 0;
}
