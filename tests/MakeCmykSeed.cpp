// Writes a small four-component (Adobe CMYK) JPEG file for the fuzzer's seed corpus, the one kind
// that cjpeg cannot make. Usage: make_cmyk_seed FILE
#include <cstdio>
#include <vector>

#include <jpeglib.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    constexpr int Width = 24;
    constexpr int Height = 16;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = Width;
    info.image_height = Height;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 75, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(Width * 4);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < Width * 4; ++x)
            row[x] = static_cast<JSAMPLE>(x * 10 + info.next_scanline * 15);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0 ? 0 : 1;
}
