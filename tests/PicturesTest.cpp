// Bitmaps, JPEG pictures and pictures: their state, assignment, loading and saving.
#include "pictures/JPEGImage.h"
#include "pictures/Picture.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "tests/PicturesTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pictures_test;

namespace {

// A graphic kind that neither a bitmap nor a JPEG picture can take.
class TMetafile : public TGraphic {
public:
    const char* ClassName() const override { return "TMetafile"; }
    int Width() const override { return 0; }
    int Height() const override { return 0; }
    void LoadFromFile(const std::string&) override {}
    void SaveToFile(const std::string&) override {}
    void Assign(const TGraphic*) override {}
    const TBitmap& DrawingBitmap() override { return empty_; }

private:
    TBitmap empty_;
};

// --- TBitmap --------------------------------------------------------------------------------

TEST(BitmapTest, NewPixelsAreBlackInTheFormatSetBeforeSizing) {
    TBitmap device;
    EXPECT_TRUE(device.Empty());
    device.SetWidth(3);
    EXPECT_TRUE(device.Empty());
    device.SetHeight(2);
    EXPECT_EQ(device.PixelFormat(), TPixelFormat::pfDevice);
    EXPECT_EQ(device.RowBytes(), 12u);
    const std::uint8_t black[4] = {0, 0, 0, 255};
    for (int x = 0; x < 3; ++x)
        EXPECT_TRUE(std::equal(black, black + 4, device.ScanLine(1) + x * 4));

    TBitmap rgb;
    rgb.SetPixelFormat(TPixelFormat::pf24bit);
    rgb.SetSize(-5, 4);
    EXPECT_EQ(rgb.Width(), 0);
    rgb.SetSize(5, 4);
    EXPECT_EQ(rgb.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(rgb.RowBytes(), 15u);
    ExpectThrows<EInvalidGraphic>([&] { rgb.ScanLine(4); }, "Scan line index out of range");
    ExpectThrows<EInvalidGraphic>([&] { rgb.ScanLine(-1); }, "Scan line index out of range");
}

TEST(BitmapTest, CopiesSharePixelsUntilOneIsWritten) {
    TBitmap original;
    original.SetSize(4, 4);
    original.ScanLine(0)[0] = 7;
    TBitmap copy;
    copy.Assign(&original);
    EXPECT_EQ(static_cast<const TBitmap&>(copy).ScanLine(0),
              static_cast<const TBitmap&>(original).ScanLine(0));
    copy.ScanLine(0)[0] = 9;
    EXPECT_EQ(static_cast<const TBitmap&>(original).ScanLine(0)[0], 7);
    EXPECT_EQ(static_cast<const TBitmap&>(copy).ScanLine(0)[0], 9);

    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    TMetafile metafile;
    ExpectThrows<EConvertError>([&] { copy.Assign(&metafile); },
                                "Cannot assign a TMetafile to a TBitmap");
}

TEST(BitmapTest, FormatConversionsKeepTheColours) {
    const RgbImage image = TestPaletteImage(9, 5, 3);
    TBitmap bitmap;
    FillBitmap(bitmap, image, TPixelFormat::pf8bit);
    for (TPixelFormat format :
         {TPixelFormat::pf24bit, TPixelFormat::pfDevice, TPixelFormat::pf8bit}) {
        bitmap.SetPixelFormat(format);
        EXPECT_EQ(bitmap.PixelFormat(), format);
        EXPECT_TRUE(RgbOf(bitmap).pixels == image.pixels) << int(format);
    }
}

TEST(BitmapTest, SizesBeyondTheLimitFailBeforeAllocating) {
    TBitmap bitmap;
    bitmap.SetSize(10, 10);
    // 4 bytes x 16385 x 16385 is just over 1 GiB.
    ExpectThrows<EOutOfResources>([&] { bitmap.SetSize(16385, 16385); }, "Out of system resources");
    EXPECT_EQ(bitmap.Width(), 10);
    bitmap.SetPixelFormat(TPixelFormat::pf8bit);
    ExpectThrows<EOutOfResources>([&] { bitmap.SetSize(32769, 32768); }, "Out of system resources");
    EXPECT_EQ(bitmap.Height(), 10);
}

class BmpRoundTripTest : public testing::TestWithParam<TPixelFormat> {};

TEST_P(BmpRoundTripTest, LoadsWithTheFormatAndTheColoursSaved) {
    const TPixelFormat format = GetParam();
    TemporaryFolder folder;
    const RgbImage image = TestPaletteImage(7, 3, 8);
    TBitmap bitmap;
    FillBitmap(bitmap, image, format);
    bitmap.SaveToFile(folder.File("b.bmp"));
    TPicture picture;
    picture.LoadFromFile(folder.File("b.bmp"));
    auto* loaded = dynamic_cast<TBitmap*>(picture.Graphic());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->PixelFormat(), format);
    EXPECT_TRUE(RgbOf(*loaded).pixels == image.pixels);
}

INSTANTIATE_TEST_SUITE_P(Formats, BmpRoundTripTest,
                         testing::Values(TPixelFormat::pf8bit, TPixelFormat::pf24bit,
                                         TPixelFormat::pfDevice),
                         [](const testing::TestParamInfo<TPixelFormat>& info) {
                             return FormatName(info.param);
                         });

TEST(BitmapTest, AnInvalidBmpFileIsRefused) {
    TemporaryFolder folder;
    WriteBytes(folder.File("bad.bmp"), {'B', 'M', 1, 2, 3});
    TBitmap bitmap;
    ExpectThrows<EInvalidGraphic>([&] { bitmap.LoadFromFile(folder.File("bad.bmp")); },
                                  "Bitmap image is not valid");
}

// --- TJPEGImage -----------------------------------------------------------------------------

TEST(JPEGImageTest, LoadingKeepsTheBytesReadsTheHeaderAndSetsTheProgressiveFlag) {
    TemporaryFolder folder;
    const std::string baseline = WriteJpeg(folder.File("baseline.jpg"), TestImage(30, 20, 3, 9));
    const std::string progressive =
        WriteJpeg(folder.File("progressive.jpg"), TestImage(30, 20, 3, 9), "-progressive");
    TJPEGImage picture;
    picture.LoadFromFile(progressive);
    EXPECT_TRUE(picture.ProgressiveEncoding);
    EXPECT_FALSE(picture.HasBitmap());
    EXPECT_TRUE(picture.Data()->Bytes() == ReadBytes(progressive));
    EXPECT_EQ(picture.Width(), 30);
    EXPECT_EQ(picture.Height(), 20);
    picture.LoadFromFile(baseline);
    EXPECT_FALSE(picture.ProgressiveEncoding);
}

TEST(JPEGImageTest, AssignmentSharesDataAndKeepsTheTargetsSettings) {
    TemporaryFolder folder;
    TJPEGImage source;
    source.LoadFromFile(WriteJpeg(folder.File("p.jpg"), TestImage(30, 20, 3, 9), "-progressive"));
    TJPEGImage target;
    target.CompressionQuality = 50;
    target.Assign(&source);
    EXPECT_EQ(target.Data(), source.Data());
    EXPECT_FALSE(target.HasBitmap());
    EXPECT_FALSE(target.ProgressiveEncoding);
    EXPECT_EQ(target.CompressionQuality, 50);

    // With a decoded bitmap the target gets a copy of it.
    source.Bitmap();
    target.Assign(&source);
    ASSERT_TRUE(target.HasBitmap());
    EXPECT_EQ(target.Width(), 30);

    // From a bitmap: new, empty data.
    TBitmap bitmap;
    bitmap.SetSize(5, 6);
    target.Assign(&bitmap);
    EXPECT_TRUE(target.Data()->Bytes().empty());
    EXPECT_NE(target.Data(), source.Data());
    EXPECT_EQ(target.Width(), 5);
    EXPECT_EQ(target.Height(), 6);
    EXPECT_TRUE(source.ProgressiveEncoding);

    TMetafile metafile;
    ExpectThrows<EConvertError>([&] { target.Assign(nullptr); },
                                "Cannot assign a nil to a TJPEGImage");
    ExpectThrows<EConvertError>([&] { target.Assign(&metafile); },
                                "Cannot assign a TMetafile to a TJPEGImage");
    EXPECT_EQ(target.Width(), 5);

    // A bitmap takes a JPEG picture's pixels, decoding them first.
    TJPEGImage undecoded;
    undecoded.LoadFromFile(folder.File("p.jpg"));
    TBitmap pixels;
    pixels.Assign(&undecoded);
    EXPECT_EQ(pixels.Width(), 30);
    EXPECT_TRUE(undecoded.HasBitmap());
}

TEST(JPEGImageTest, SharedDataIsDecodedOncePerSettings) {
    TemporaryFolder folder;
    TJPEGImage view;
    view.LoadFromFile(WriteJpeg(folder.File("s.jpg"), TestImage(64, 48, 3, 9)));
    TJPEGImage eightBit;
    eightBit.PixelFormat = TJPEGPixelFormat::jf8Bit;
    eightBit.Assign(&view);
    const std::uint8_t* pixels;
    {
        // A rendering's source copy decodes first and is released.
        TJPEGImage copy;
        copy.Assign(&view);
        pixels = copy.Bitmap().ScanLine(0);
    }
    // The view's own draw and a second rendering get the same pixels without decoding.
    EXPECT_EQ(view.DrawingBitmap().ScanLine(0), pixels);
    TJPEGImage secondCopy;
    secondCopy.Assign(&view);
    TBitmap source;
    source.Assign(&secondCopy);
    EXPECT_EQ(static_cast<const TBitmap&>(source).ScanLine(0), pixels);

    // Other settings decode with their own result.
    EXPECT_EQ(eightBit.Data(), view.Data());
    EXPECT_EQ(eightBit.Bitmap().PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(eightBit.Bitmap().Palette().size(), 236u);
    EXPECT_EQ(view.Bitmap().PixelFormat(), TPixelFormat::pf24bit);
}

TEST(JPEGImageTest, AFailedDecodeIsReportedOnceAndLeavesAnEmptyBitmap) {
    TemporaryFolder folder;
    WriteBytes(folder.File("empty.jpg"), {});
    TJPEGImage picture;
    picture.LoadFromFile(folder.File("empty.jpg"));
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    const auto failure = ExpectThrows<EJPEG>([&] { picture.DrawingBitmap(); }, "JPEG error #42");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Code(), 42);
    EXPECT_TRUE(picture.DrawingBitmap().Empty());
    EXPECT_TRUE(picture.Bitmap().Empty());
    // A copy takes the empty bitmap without decoding.
    TJPEGImage copy;
    copy.Assign(&picture);
    EXPECT_TRUE(copy.Bitmap().Empty());
}

// --- TPicture -------------------------------------------------------------------------------

// A picture that loaded a JPEG file by its upper-case extension, beside files it cannot load.
class PictureLoadTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string jpeg = WriteJpeg(folder_.File("a.jpg"), TestImage(30, 20, 3, 9));
        std::filesystem::copy_file(jpeg, folder_.File("b.JPEG"));
        WriteBytes(folder_.File("no.jpg"), {'h', 'e', 'l', 'l', 'o'});
        WriteBytes(folder_.File("a.png"), {});
        WriteBytes(folder_.File("plain"), {});
        WriteBytes(folder_.File("i.ico"), {});
        folder_.MakeFolder("d.jpg");
        folder_.MakeFolder("x.jpg");
        WriteBytes(folder_.File("x.jpg/noext"), {});

        picture_.SetOnChange([this] { ++notices_; });
        picture_.LoadFromFile(folder_.File("b.JPEG"));
        loaded_ = picture_.Graphic();
    }

    TemporaryFolder folder_;
    TPicture picture_;
    int notices_ = 0;
    TGraphic* loaded_ = nullptr;
};

TEST_F(PictureLoadTest, LoadsByExtensionAndNotifiesEveryChange) {
    EXPECT_EQ(notices_, 1);
    ASSERT_NE(dynamic_cast<TJPEGImage*>(loaded_), nullptr);
    EXPECT_EQ(picture_.Width(), 30);
    picture_.SetGraphic(nullptr);
    EXPECT_EQ(notices_, 2);
    EXPECT_EQ(picture_.Width(), 0);
}

struct LoadFailure {
    const char* name;
    const char* file;
    const char* message; // %s stands for the file's path
};

class PictureLoadFailureTest : public PictureLoadTest,
                               public testing::WithParamInterface<LoadFailure> {};

TEST_P(PictureLoadFailureTest, FailsKeepingTheGraphicAndWithoutNotice) {
    const std::string file = folder_.File(GetParam().file);
    const std::string message = Format(GetParam().message, file.c_str());
    ExpectThrows<Exception>([&] { picture_.LoadFromFile(file); }, message);
    EXPECT_EQ(picture_.Graphic(), loaded_);
    EXPECT_EQ(notices_, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PictureLoadFailureTest,
    testing::Values(
        LoadFailure{"UnknownExtension", "a.png", "Unknown picture file extension (.png)"},
        LoadFailure{"NoExtension", "plain", "Unknown picture file extension (.)"},
        LoadFailure{"NoExtensionInAFolderWithOne", "x.jpg/noext",
                    "Unknown picture file extension (.)"},
        LoadFailure{"Icon", "i.ico", "Icon image is not valid"},
        LoadFailure{"NotAJpeg", "no.jpg", "JPEG error #53"},
        LoadFailure{"Missing", "missing.jpg", "Cannot open file \"%s\". No such file or directory"},
        LoadFailure{"Folder", "d.jpg", "Cannot open file \"%s\". Is a directory"}),
    testkit::RowName());

TEST(PictureTest, AnEmptyFileLoadsAsAnEmptyJpegPicture) {
    TemporaryFolder folder;
    WriteBytes(folder.File("empty.jpg"), {});
    TPicture picture;
    picture.LoadFromFile(folder.File("empty.jpg"));
    ASSERT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
}

// --- Saving ---------------------------------------------------------------------------------

// A thumbnail as a rendering leaves it: a picture holding pixels and no bytes.
void Render(TJPEGImage& thumbnail, int width, int height) {
    TBitmap bitmap;
    FillBitmap(bitmap, TestImage(width, height, 3, 21), TPixelFormat::pfDevice);
    TJPEGImage wrapped;
    wrapped.Assign(&bitmap);
    thumbnail.Assign(&wrapped);
}

bool IsProgressive(const Bytes& jpeg) {
    for (const Segment& segment : HeaderSegments(jpeg))
        if (segment.marker == 0xC2)
            return true;
    return false;
}

TEST(SaveTest, ThumbnailIsProgressiveExactlyWhenTheLastLoadedFileWas) {
    TemporaryFolder folder;
    const std::string baseline = WriteJpeg(folder.File("b.jpg"), TestImage(30, 20, 3, 9));
    const std::string progressive =
        WriteJpeg(folder.File("p.jpg"), TestImage(30, 20, 3, 9), "-progressive");
    TPicture view;
    for (const std::string& source : {progressive, baseline, progressive}) {
        view.LoadFromFile(source);
        auto& thumbnail = dynamic_cast<TJPEGImage&>(*view.Graphic());
        Render(thumbnail, 20, 13);
        Render(thumbnail, 20, 13);
        view.SaveToFile(folder.File("t.bmp")); // the extension plays no part
        const Bytes saved = ReadBytes(folder.File("t.bmp"));
        EXPECT_EQ(IsProgressive(saved), source == progressive);
        EXPECT_EQ(thumbnail.Data()->Width(), 20);

        // Saving again writes the same bytes without encoding.
        const auto data = thumbnail.Data();
        view.SaveToFile(folder.File("again.jpg"));
        EXPECT_EQ(thumbnail.Data(), data);
        EXPECT_TRUE(ReadBytes(folder.File("again.jpg")) == saved);
    }
    // A loaded picture saves its bytes unchanged.
    view.LoadFromFile(progressive);
    view.SaveToFile(folder.File("copy.jpg"));
    EXPECT_TRUE(ReadBytes(folder.File("copy.jpg")) == ReadBytes(progressive));
}

TEST(SaveTest, AReplacedFileKeepsItsModeAndANewOneFollowsTheUmask) {
    TemporaryFolder folder;
    TJPEGImage thumbnail;
    Render(thumbnail, 10, 10);
    const std::string existing = folder.File("old.jpg");
    WriteBytes(existing, {1, 2, 3});
    ASSERT_EQ(::chmod(existing.c_str(), 0640), 0);
    thumbnail.SaveToFile(existing);
    struct stat status;
    ASSERT_EQ(::stat(existing.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_TRUE(ReadBytes(existing) == thumbnail.Data()->Bytes());

    const mode_t mask = ::umask(027);
    thumbnail.SaveToFile(folder.File("new.jpg"));
    ::umask(mask);
    ASSERT_EQ(::stat(folder.File("new.jpg").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST(SaveTest, ASymbolicLinkIsReplacedAndWhatItNamesIsNeverWritten) {
    TemporaryFolder folder;
    TemporaryFolder outside;
    const Bytes kept = {0xFF, 0xD8, 'k', 'e', 'p', 't'};
    WriteBytes(folder.File("a.jpg"), kept);
    WriteBytes(outside.File("x.jpg"), kept);
    ASSERT_EQ(::chmod(outside.File("x.jpg").c_str(), 0600), 0);
    TJPEGImage thumbnail;
    Render(thumbnail, 12, 12);
    // A link to the source beside it, one to a file elsewhere, one to a folder and a dangling one.
    for (const std::string& target :
         {std::string("a.jpg"), outside.File("x.jpg"), outside.Path(), std::string("gone.jpg")}) {
        const std::string link = folder.File("a缩图.jpg");
        ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0) << target;
        thumbnail.SaveToFile(link);
        struct stat status;
        ASSERT_EQ(::lstat(link.c_str(), &status), 0);
        EXPECT_TRUE(S_ISREG(status.st_mode)) << target;
        EXPECT_TRUE(ReadBytes(link) == thumbnail.Data()->Bytes()) << target;
        ASSERT_EQ(::unlink(link.c_str()), 0);
    }
    EXPECT_TRUE(ReadBytes(folder.File("a.jpg")) == kept);
    EXPECT_TRUE(ReadBytes(outside.File("x.jpg")) == kept);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.jpg"});
    EXPECT_EQ(outside.Names(), std::vector<std::string>{"x.jpg"});
}

// Makes writes to files fail beyond a few bytes, as a full disk does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int);
};

// A rendered thumbnail beside a destination that holds a good file, and paths that cannot take it.
class FailedSaveTest : public testing::Test {
protected:
    void SetUp() override {
        WriteBytes(destination_, good_);
        WriteBytes(readOnly_, good_);
        ASSERT_EQ(::chmod(readOnly_.c_str(), 0444), 0);
        WriteBytes(folder_.File("file"), good_);
        folder_.MakeFolder("folder.jpg");
        Render(thumbnail_, 200, 150);
    }
    void ExpectNothingChanged() const {
        EXPECT_TRUE(ReadBytes(destination_) == good_);
        EXPECT_TRUE(ReadBytes(readOnly_) == good_);
        EXPECT_EQ(folder_.Names(),
                  (std::vector<std::string>{"file", "folder.jpg", "readonly.jpg", "t.jpg"}));
    }

    TemporaryFolder folder_;
    const Bytes good_ = {0xFF, 0xD8, 'g', 'o', 'o', 'd'};
    const std::string destination_ = folder_.File("t.jpg");
    const std::string readOnly_ = folder_.File("readonly.jpg");
    TJPEGImage thumbnail_;
};

struct CreateFailure {
    const char* name;
    const char* path;
    const char* reason;
};

class CreateFailureTest : public FailedSaveTest,
                          public testing::WithParamInterface<CreateFailure> {};

TEST_P(CreateFailureTest, ReportsTheReasonAndLeavesEverythingAsItWas) {
    const std::string path = folder_.File(GetParam().path);
    ExpectThrows<EFCreateError>([&] { thumbnail_.SaveToFile(path); },
                                "Cannot create file \"" + path + "\". " + GetParam().reason);
    ExpectNothingChanged();
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CreateFailureTest,
    testing::Values(CreateFailure{"ReadOnlyFile", "readonly.jpg", "Permission denied"},
                    CreateFailure{"MissingFolder", "missing/t.jpg", "No such file or directory"},
                    CreateFailure{"FileAsFolder", "file/t.jpg", "Not a directory"},
                    CreateFailure{"Folder", "folder.jpg", "Is a directory"}),
    testkit::RowName());

TEST_F(FailedSaveTest, AFullDiskLeavesTheDestinationAsItWas) {
    {
        FileSizeLimit limit(100);
        ExpectThrows<EWriteError>([&] { thumbnail_.SaveToFile(destination_); },
                                  "Stream write error");
    }
    ExpectNothingChanged();
}

TEST_F(FailedSaveTest, ASaveKilledMidwayLeavesNothingBehind) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Writing past 100 bytes now kills the process, as a crash or a kill would midway.
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            thumbnail_.SaveToFile(destination_);
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the save was not killed";
    ExpectNothingChanged();
}

// A destination that holds a good file, beside an empty JPEG file.
class EmptyThumbnailTest : public testing::Test {
protected:
    void SetUp() override {
        WriteBytes(destination_, good_);
        WriteBytes(folder_.File("empty.jpg"), {});
    }
    void ExpectNothingWritten() const {
        EXPECT_TRUE(ReadBytes(destination_) == good_);
        EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"empty.jpg", "t.jpg"}));
    }

    TemporaryFolder folder_;
    const Bytes good_ = {0xFF, 0xD8, 'g', 'o', 'o', 'd'};
    const std::string destination_ = folder_.File("t.jpg");
};

struct EmptySize {
    const char* name;
    int width;
    int height;
    const char* message;
};

class EmptyRenderingTest : public EmptyThumbnailTest,
                           public testing::WithParamInterface<EmptySize> {};

TEST_P(EmptyRenderingTest, IsRefusedAndWritesNothing) {
    const EmptySize& c = GetParam();
    TJPEGImage thumbnail;
    TBitmap bitmap;
    bitmap.SetSize(c.width, c.height);
    thumbnail.Assign(&bitmap);
    ExpectThrows<EInvalidGraphic>([&] { thumbnail.SaveToFile(destination_); }, c.message);
    ExpectThrows<EInvalidGraphic>([&] { thumbnail.SaveToFile(folder_.File("new.jpg")); },
                                  c.message);
    ExpectNothingWritten();
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, EmptyRenderingTest,
    testing::Values(EmptySize{"NoRows", 200, 0, "Cannot save an empty thumbnail (200 x 0)"},
                    EmptySize{"NoPixels", 0, 0, "Cannot save an empty thumbnail (0 x 0)"}),
    testkit::RowName());

TEST_F(EmptyThumbnailTest, ALoadedEmptyFileIsRefusedAndWritesNothing) {
    TPicture loadedEmpty;
    loadedEmpty.LoadFromFile(folder_.File("empty.jpg"));
    ExpectThrows<EInvalidGraphic>([&] { loadedEmpty.SaveToFile(destination_); },
                                  "Cannot save an empty thumbnail (0 x 0)");
    ExpectNothingWritten();
}

} // namespace
