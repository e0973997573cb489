#include "pictures/JpegCodec.h"

#include "pictures/PictureLimits.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Texts.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>
// jerror.h after jpeglib.h, which it needs.
#include <jerror.h>

namespace {

// libjpeg's error manager with the place its fatal errors jump back to. Standard layout with the
// manager first, so that libjpeg's `err` pointer is the state's own address.
struct ErrorState {
    jpeg_error_mgr manager;
    std::jmp_buf resume;
    // The scans a decode has started, the blocks they walk, and whether a stream went past
    // MaxJpegScans or MaxScanBlockVisits.
    int scans;
    std::uint64_t blockVisits;
    bool tooManyScans;
};

ErrorState& StateOf(j_common_ptr info) {
    return *reinterpret_cast<ErrorState*>(info->err);
}

void JumpBack(j_common_ptr info) {
    std::longjmp(StateOf(info).resume, 1);
}

void IgnoreMessage(j_common_ptr, int) {}

void IgnoreOutput(j_common_ptr) {}

void PrepareErrors(ErrorState& state) {
    jpeg_std_error(&state.manager);
    state.manager.error_exit = JumpBack;
    state.manager.emit_message = IgnoreMessage;
    state.manager.output_message = IgnoreOutput;
    state.scans = 0;
    state.blockVisits = 0;
    state.tooManyScans = false;
}

// Runs one step of libjpeg calls and tells whether it ended without a fatal error. A fatal error
// jumps out of the step's frame, so a step creates no object with a destructor.
template <typename Step> bool Completes(ErrorState& state, Step& step) {
    if (setjmp(state.resume) != 0)
        return false;
    step();
    return true;
}

[[noreturn]] void ThrowFailure(const ErrorState& state) {
    if (state.tooManyScans)
        throw EJPEG(JMSG_NOMESSAGE, Format(Texts::TooManyScans, state.scans - 1));
    const int code = state.manager.msg_code;
    // Running out of backing store means the working memory passed its limit.
    if (code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE)
        throw EOutOfMemory();
    throw EJPEG(code);
}

// Called by libjpeg while it absorbs the scans of a multi-scan file, before each step of input.
void LimitScans(j_common_ptr info) {
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    ErrorState& state = StateOf(info);
    if (decompress->input_scan_number == state.scans)
        return;
    // A scan has just begun: count the blocks it will walk before it walks them.
    state.scans = decompress->input_scan_number;
    for (int component = 0; component < decompress->comps_in_scan; ++component) {
        const jpeg_component_info& scanned = *decompress->cur_comp_info[component];
        state.blockVisits += std::uint64_t{scanned.width_in_blocks} * scanned.height_in_blocks;
    }
    if (state.scans <= MaxJpegScans && state.blockVisits <= MaxScanBlockVisits)
        return;
    state.tooManyScans = true;
    std::longjmp(state.resume, 1);
}

void Create(jpeg_decompress_struct& info) {
    jpeg_create_decompress(&info);
}

void Create(jpeg_compress_struct& info) {
    jpeg_create_compress(&info);
}

// One libjpeg object, a decompressor or a compressor, with its error manager: created with the
// wrapper and destroyed with it. Run() carries out libjpeg calls and turns a fatal error into an
// exception.
template <typename Struct> class JpegObject {
public:
    JpegObject() {
        PrepareErrors(errors_);
        info_.err = &errors_.manager;
        try {
            Run([this] { Create(info_); });
        } catch (...) {
            jpeg_destroy(Common());
            throw;
        }
    }
    ~JpegObject() { jpeg_destroy(Common()); }
    JpegObject(const JpegObject&) = delete;
    JpegObject& operator=(const JpegObject&) = delete;

    Struct* Info() { return &info_; }
    template <typename Step> void Run(Step step) {
        if (!Completes(errors_, step))
            ThrowFailure(errors_);
    }

private:
    j_common_ptr Common() { return reinterpret_cast<j_common_ptr>(&info_); }

    ErrorState errors_;
    Struct info_{};
};

// A decompressor whose working memory and number of scans are limited.
class Decompressor : public JpegObject<jpeg_decompress_struct> {
public:
    Decompressor() {
        Info()->mem->max_memory_to_use = MaxJpegWorkingMemory;
        progress_.progress_monitor = LimitScans;
        Info()->progress = &progress_;
    }

private:
    jpeg_progress_mgr progress_{};
};

// A growing byte buffer as libjpeg's destination.
struct MemoryDestination {
    jpeg_destination_mgr manager{};
    std::vector<std::uint8_t> bytes;
};

MemoryDestination& DestinationOf(j_compress_ptr info) {
    return *static_cast<MemoryDestination*>(info->client_data);
}

// Makes room after the first `written` bytes; false when the memory cannot be had.
bool Grow(MemoryDestination& destination, std::size_t written) noexcept {
    try {
        destination.bytes.resize(std::max<std::size_t>(written * 2, 64 * 1024));
    } catch (const std::bad_alloc&) {
        return false;
    }
    destination.manager.next_output_byte = destination.bytes.data() + written;
    destination.manager.free_in_buffer = destination.bytes.size() - written;
    return true;
}

void StartDestination(j_compress_ptr info) {
    if (!Grow(DestinationOf(info), 0))
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
}

// libjpeg calls this with the whole buffer used.
boolean GrowDestination(j_compress_ptr info) {
    MemoryDestination& destination = DestinationOf(info);
    if (!Grow(destination, destination.bytes.size()))
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    return TRUE;
}

void FinishDestination(j_compress_ptr info) {
    MemoryDestination& destination = DestinationOf(info);
    destination.bytes.resize(destination.bytes.size() - destination.manager.free_in_buffer);
}

// A compressor that writes into a growing byte buffer.
class Compressor : public JpegObject<jpeg_compress_struct> {
public:
    Compressor() {
        destination_.manager.init_destination = StartDestination;
        destination_.manager.empty_output_buffer = GrowDestination;
        destination_.manager.term_destination = FinishDestination;
        Info()->client_data = &destination_;
        Info()->dest = &destination_.manager;
    }

    std::vector<std::uint8_t> TakeBytes() { return std::move(destination_.bytes); }

private:
    MemoryDestination destination_;
};

// Sets the decoder from the options; true when the output is quantised to a palette.
bool ApplyOptions(const JpegDecodeOptions& options, jpeg_decompress_struct& info) {
    info.scale_num = 1;
    info.scale_denom = static_cast<unsigned>(options.scaleDenominator);
    info.dct_method = options.fast ? JDCT_IFAST : JDCT_FLOAT;
    info.do_block_smoothing = options.blockSmoothing;
    if (options.fast) {
        info.do_fancy_upsampling = FALSE;
        info.two_pass_quantize = FALSE;
        info.dither_mode = JDITHER_ORDERED;
    }
    if (options.grayscale)
        info.out_color_space = JCS_GRAYSCALE;
    const bool quantise = info.out_color_space == JCS_GRAYSCALE ||
                          (options.eightBit && info.out_color_space == JCS_RGB);
    if (quantise) {
        info.quantize_colors = TRUE;
        info.desired_number_of_colors = 236;
    } else if (info.out_color_space == JCS_RGB) {
        // The bitmap's own byte order; the colour conversion is the same as for RGB.
        info.out_color_space = JCS_EXT_BGR;
    } else if (info.out_color_space != JCS_CMYK) {
        ERREXIT(&info, JERR_CONVERSION_NOTIMPL);
    }
    return quantise;
}

std::vector<TPaletteEntry> PaletteOf(const jpeg_decompress_struct& info) {
    std::vector<TPaletteEntry> palette(static_cast<std::size_t>(info.actual_number_of_colors));
    const bool grey = info.out_color_components == 1;
    for (std::size_t index = 0; index < palette.size(); ++index) {
        const auto red = static_cast<std::uint8_t>(info.colormap[0][index]);
        palette[index] =
            grey ? TPaletteEntry{red, red, red}
                 : TPaletteEntry{red, static_cast<std::uint8_t>(info.colormap[1][index]),
                                 static_cast<std::uint8_t>(info.colormap[2][index])};
    }
    return palette;
}

// CMYK as Adobe's files store it, inverted (255 for no ink), which is what writers of CMYK JPEG
// files do and what djpeg assumes.
void CmykToBgr(const std::uint8_t* cmyk, std::uint8_t* bgr, std::size_t pixels) {
    for (std::size_t pixel = 0; pixel < pixels; ++pixel, cmyk += 4, bgr += 3)
        for (int channel = 0; channel < 3; ++channel)
            bgr[2 - channel] = static_cast<std::uint8_t>((cmyk[channel] * cmyk[3] + 127) / 255);
}

} // namespace

JpegHeader ReadJpegHeader(std::span<const std::uint8_t> bytes) {
    Decompressor decompressor;
    j_decompress_ptr info = decompressor.Info();
    JpegHeader header;
    decompressor.Run([&] {
        jpeg_mem_src(info, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(info, TRUE);
        header.hasMultipleScans = jpeg_has_multiple_scans(info);
    });
    header.width = static_cast<int>(info->image_width);
    header.height = static_cast<int>(info->image_height);
    return header;
}

void DecodeJpeg(std::span<const std::uint8_t> bytes, const JpegDecodeOptions& options,
                TBitmap& bitmap) {
    Decompressor decompressor;
    j_decompress_ptr info = decompressor.Info();
    bool quantise = false;
    decompressor.Run([&] {
        jpeg_mem_src(info, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(info, TRUE);
        quantise = ApplyOptions(options, *info);
        jpeg_calc_output_dimensions(info);
    });
    const bool cmyk = info->out_color_space == JCS_CMYK;
    const std::uint64_t pixels = std::uint64_t{info->image_width} * info->image_height;
    const std::uint64_t pixelBytes =
        std::uint64_t{info->output_width} * info->output_height * (quantise ? 1 : 3);
    if (pixels > MaxDecodePixelsFor(bytes.size()) || pixelBytes > MaxBitmapBytes)
        throw EOutOfMemory();

    TBitmap decoded;
    decoded.SetPixelFormat(quantise ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
    // Every row is written below: libjpeg makes up the rows of data that ends early, and a decode
    // that stops short fails in jpeg_finish_decompress.
    decoded.SetSizeForOverwrite(static_cast<int>(info->output_width),
                                static_cast<int>(info->output_height));
    decompressor.Run([&] { jpeg_start_decompress(info); });
    if (quantise)
        decoded.SetPalette(PaletteOf(*info));

    std::vector<std::uint8_t> cmykRow(cmyk ? std::size_t{info->output_width} * 4 : 0);
    std::uint8_t* const firstRow = decoded.ScanLine(0);
    const std::size_t rowBytes = decoded.RowBytes();
    decompressor.Run([&] {
        while (info->output_scanline < info->output_height) {
            std::uint8_t* row = firstRow + rowBytes * info->output_scanline;
            JSAMPROW target = cmyk ? cmykRow.data() : row;
            if (jpeg_read_scanlines(info, &target, 1) != 1)
                break;
            if (cmyk)
                CmykToBgr(cmykRow.data(), row, info->output_width);
        }
        jpeg_finish_decompress(info);
    });
    bitmap.Assign(&decoded);
}

std::vector<std::uint8_t> EncodeJpeg(const TBitmap& bitmap, const JpegEncodeOptions& options) {
    Compressor compressor;
    j_compress_ptr info = compressor.Info();
    info->image_width = static_cast<JDIMENSION>(bitmap.Width());
    info->image_height = static_cast<JDIMENSION>(bitmap.Height());
    // Rows go to libjpeg in the bitmap's own byte order where it has one; libjpeg converts
    // B, G, R (and B, G, R, x) exactly as it converts R, G, B.
    const TPixelFormat format = bitmap.PixelFormat();
    info->input_components = format == TPixelFormat::pfDevice ? 4 : 3;
    info->in_color_space = format == TPixelFormat::pfDevice  ? JCS_EXT_BGRX
                           : format == TPixelFormat::pf24bit ? JCS_EXT_BGR
                                                             : JCS_RGB;

    const std::array<TPaletteEntry, 256> colours = bitmap.ColourTable();
    std::vector<std::uint8_t> rgbRow(format == TPixelFormat::pf8bit ? bitmap.RowBytes() * 3 : 0);
    const std::uint8_t* const firstRow = bitmap.ScanLine(0);
    const std::size_t rowBytes = bitmap.RowBytes();

    compressor.Run([&] {
        jpeg_set_defaults(info);
        info->dct_method = JDCT_FLOAT;
        jpeg_set_quality(info, options.quality, TRUE);
        if (options.grayscale)
            jpeg_set_colorspace(info, JCS_GRAYSCALE);
        if (options.progressive)
            jpeg_simple_progression(info);
        jpeg_start_compress(info, TRUE);
        while (info->next_scanline < info->image_height) {
            const std::uint8_t* row = firstRow + rowBytes * info->next_scanline;
            if (format == TPixelFormat::pf8bit) {
                for (std::size_t pixel = 0; pixel < rowBytes; ++pixel)
                    std::copy_n(colours[row[pixel]].data(), 3, &rgbRow[pixel * 3]);
                row = rgbRow.data();
            }
            // libjpeg only reads the rows it is given.
            JSAMPROW source = const_cast<std::uint8_t*>(row);
            jpeg_write_scanlines(info, &source, 1);
        }
        jpeg_finish_compress(info);
    });
    return compressor.TakeBytes();
}

void RequireEncodableSize(int width, int height) {
    if (width > MaxJpegSide || height > MaxJpegSide)
        throw EJPEG(JERR_IMAGE_TOO_BIG);
}
