// Decoding the next files of a command ahead on worker threads: what is handed over, and when not.
#include "thumbnail/DecodeAhead.h"
#include "pictures/JpegCodec.h"
#include "tests/PicturesTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using pictures_test::Bytes;
using pictures_test::ReadBytes;
using pictures_test::TemporaryFolder;
using pictures_test::WriteBytes;

Bytes Jpeg(int width, int height, unsigned seed) {
    return pictures_test::Cjpeg(pictures_test::TestImage(width, height, 3, seed));
}

pictures_test::RgbImage Decoded(const Bytes& bytes) {
    TBitmap bitmap;
    DecodeJpeg(bytes, {}, bitmap);
    return pictures_test::RgbOf(bitmap);
}

// The files a test's engine has finished with, filled in by the workers.
class DecodeLog {
public:
    std::function<void(std::size_t)> Recorder() {
        return [this](std::size_t index) {
            std::lock_guard lock(mutex_);
            done_.insert(index);
            changed_.notify_all();
        };
    }
    // False when fewer than `count` files were done within ten seconds.
    bool WaitForCount(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10),
                                 [&] { return done_.size() >= count; });
    }
    std::set<std::size_t> Done() {
        std::lock_guard lock(mutex_);
        return done_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::set<std::size_t> done_;
};

class DecodeAheadTest : public testing::Test {
protected:
    // Writes the files in order as 0.jpg, 1.jpg, ... and returns their paths.
    std::vector<std::string> WriteFiles(const std::vector<Bytes>& contents) {
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < contents.size(); ++i) {
            paths.push_back(folder_.File(std::to_string(i) + ".jpg"));
            WriteBytes(paths.back(), contents[i]);
        }
        return paths;
    }

    DecodeAheadOptions Options(std::function<void(std::size_t)> afterDecode) const {
        DecodeAheadOptions options;
        options.workers = 2;
        options.afterDecode = std::move(afterDecode);
        return options;
    }

    TemporaryFolder folder_;
    const std::function<void()> noEvents_ = [] {};
};

TEST_F(DecodeAheadTest, HandsOverEachFileOnceForItsVeryBytesAndOptions) {
    const std::vector<Bytes> files{Jpeg(64, 48, 1), Jpeg(80, 60, 2), Jpeg(40, 30, 3),
                                   Jpeg(33, 17, 4), Jpeg(17, 33, 5)};
    DecodeLog log;
    {
        DecodeAhead ahead(WriteFiles(files), {}, Options(log.Recorder()));
        TBitmap bitmap;
        ahead.WaitFor(0, noEvents_);
        JpegDecodeOptions grey;
        grey.grayscale = true;
        EXPECT_FALSE(ahead.Take(files[0], grey, bitmap));
        Bytes oneByteOff = files[0];
        oneByteOff[oneByteOff.size() / 2] ^= 1;
        EXPECT_FALSE(ahead.Take(oneByteOff, {}, bitmap));
        Bytes shorter(files[0].begin(), files[0].end() - 1);
        EXPECT_FALSE(ahead.Take(shorter, {}, bitmap));
        EXPECT_TRUE(bitmap.Empty()) << "a refusal leaves the bitmap alone";

        ASSERT_TRUE(ahead.Take(files[0], {}, bitmap));
        EXPECT_EQ(pictures_test::RgbOf(bitmap).pixels, Decoded(files[0]).pixels);
        EXPECT_FALSE(ahead.Take(files[0], {}, bitmap)) << "handed over once";

        // File 1 is left untaken, as when its load fails: moving on forgets it.
        ahead.WaitFor(1, noEvents_);
        ahead.WaitFor(2, noEvents_);
        EXPECT_FALSE(ahead.Take(files[1], {}, bitmap));
        for (const std::size_t i : {2u, 3u, 4u}) {
            ahead.WaitFor(i, noEvents_);
            TBitmap later;
            ASSERT_TRUE(ahead.Take(files[i], {}, later)) << i;
            EXPECT_EQ(pictures_test::RgbOf(later).pixels, Decoded(files[i]).pixels) << i;
        }
    }
    EXPECT_EQ(log.Done(), (std::set<std::size_t>{0, 1, 2, 3, 4}));
}

TEST_F(DecodeAheadTest, AFileChangedAfterItsDecodeIsNotHandedOverForItsNewBytes) {
    const std::vector<Bytes> files{Jpeg(16, 16, 1), Jpeg(64, 48, 2), Jpeg(64, 48, 3)};
    const Bytes replacement = Jpeg(64, 48, 9);
    const std::vector<std::string> paths = WriteFiles(files);
    DecodeAhead ahead(paths, {}, Options([&](std::size_t index) {
                          if (index == 1)
                              WriteBytes(paths[1], replacement);
                      }));
    ahead.WaitFor(1, noEvents_);
    TBitmap bitmap;
    const Bytes loaded = ReadBytes(paths[1]);
    ASSERT_EQ(loaded, replacement);
    EXPECT_FALSE(ahead.Take(loaded, {}, bitmap));
    EXPECT_TRUE(ahead.Take(files[1], {}, bitmap)) << "what was decoded were the bytes before";
}

struct FailingFile {
    const char* name;
    std::function<void(const std::string& path)> make;
};

void PrintTo(const FailingFile& file, std::ostream* out) {
    *out << file.name;
}

class DecodeAheadFailureTest : public DecodeAheadTest,
                               public testing::WithParamInterface<FailingFile> {};

// A file that cannot be read or decoded ahead is left to the main thread, and the files after it
// are still decoded ahead.
TEST_P(DecodeAheadFailureTest, HoldsNothingForTheFileAndGoesOn) {
    const std::vector<Bytes> files{Bytes{}, Jpeg(48, 32, 2)};
    const std::vector<std::string> paths = WriteFiles(files);
    std::filesystem::remove(paths[0]);
    GetParam().make(paths[0]);
    DecodeLog log;
    {
        DecodeAhead ahead(paths, {}, Options(log.Recorder()));
        ahead.WaitFor(0, noEvents_);
        TBitmap bitmap;
        if (std::filesystem::is_regular_file(paths[0])) {
            EXPECT_FALSE(ahead.Take(ReadBytes(paths[0]), {}, bitmap));
        }
        EXPECT_FALSE(ahead.Take(Bytes{}, {}, bitmap));
        ahead.WaitFor(1, noEvents_);
        EXPECT_TRUE(ahead.Take(files[1], {}, bitmap));
    }
    EXPECT_EQ(log.Done(), (std::set<std::size_t>{0, 1}));
}

INSTANTIATE_TEST_SUITE_P(
    Files, DecodeAheadFailureTest,
    testing::Values(FailingFile{"Missing", [](const std::string&) {}},
                    FailingFile{"Empty", [](const std::string& path) { WriteBytes(path, {}); }},
                    FailingFile{"NotAPicture",
                                [](const std::string& path) {
                                    WriteBytes(path, {'n', 'o', 't', 0xFF});
                                }},
                    FailingFile{"HeaderWithoutScan",
                                [](const std::string& path) {
                                    const Bytes jpeg = Jpeg(32, 32, 5);
                                    WriteBytes(path, Bytes(jpeg.begin(), jpeg.begin() + 20));
                                }},
                    FailingFile{
                        "Folder",
                        [](const std::string& path) { std::filesystem::create_directory(path); }}),
    testkit::RowName());

TEST_F(DecodeAheadTest, HoldsAtMostTwoFilesAheadOfTheMainThread) {
    const std::vector<std::string> paths = WriteFiles(std::vector<Bytes>(6, Jpeg(120, 90, 1)));
    DecodeLog log;
    {
        DecodeAhead ahead(paths, {}, Options(log.Recorder()));
        ASSERT_TRUE(log.WaitForCount(2));
        // Time for a third decode, which must not come while the main thread has taken nothing.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(log.Done(), (std::set<std::size_t>{0, 1}));
}

// The limit counts what a decode takes: the bytes and the pixels, and for a file of several scans
// libjpeg's coefficients of the whole picture as well.
TEST_F(DecodeAheadTest, LeavesAFileBeyondTheMemoryLimitToTheMainThread) {
    const Bytes progressive =
        pictures_test::Cjpeg(pictures_test::TestImage(20, 10, 3, 4), "-quality 90 -progressive");
    const std::vector<Bytes> files{Jpeg(200, 150, 1), progressive, Jpeg(20, 10, 3)};
    DecodeAheadOptions options = Options({});
    options.maxBytes = std::max(files[1].size(), files[2].size()) + 20 * 10 * 4 + 100;
    DecodeAhead ahead(WriteFiles(files), {}, options);
    TBitmap bitmap;
    for (const std::size_t i : {0u, 1u}) {
        ahead.WaitFor(i, noEvents_);
        EXPECT_FALSE(ahead.Take(files[i], {}, bitmap)) << i;
    }
    ahead.WaitFor(2, noEvents_);
    EXPECT_TRUE(ahead.Take(files[2], {}, bitmap));
}

TEST_F(DecodeAheadTest, WithoutWorkersNothingIsDecodedAheadAndNothingWaits) {
    const std::vector<Bytes> files{Jpeg(16, 16, 1), Jpeg(16, 16, 2)};
    DecodeAheadOptions options = Options({});
    options.workers = 0;
    DecodeAhead ahead(WriteFiles(files), {}, options);
    ahead.WaitFor(1, [] { FAIL() << "nothing to wait for"; });
    TBitmap bitmap;
    EXPECT_FALSE(ahead.Take(files[1], {}, bitmap));
}

TEST_F(DecodeAheadTest, EndsWhileFilesAreStillBeingDecoded) {
    const std::vector<std::string> paths = WriteFiles(std::vector<Bytes>(20, Jpeg(800, 600, 1)));
    DecodeLog log;
    {
        DecodeAhead ahead(paths, {}, Options(log.Recorder()));
        ahead.WaitFor(3, noEvents_);
    }
    const std::set<std::size_t> done = log.Done();
    EXPECT_LE(*done.rbegin(), 5u);
}

} // namespace
