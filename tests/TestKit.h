// What every test program shares: temporary folders and a temporary home, whole-file reads and
// writes, JPEG fixtures made by the reference encoder, the check that an action fails with a
// given exception and text, and names for the rows of parametrised tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <sys/types.h>
#include <typeinfo>
#include <vector>

namespace testkit {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadBytes(const std::string& path);
// Fails the test when the file cannot be written whole.
void WriteBytes(const std::string& path, const Bytes& bytes);

// The class's name as written in the source.
std::string ClassName(const std::type_info& type);

// Passes when `action` throws an E (or a class derived from it) whose Message() is `text`, and
// gives the exception for further checks; any other outcome fails the test at the caller's line,
// naming what happened instead. (The caller's file and line come from the builtins that gcc and
// clang both evaluate at the call; clang 14 has no std::source_location.)
template <typename E, typename Action>
std::optional<E> ExpectThrows(Action&& action, const std::string& text,
                              const char* callerFile = __builtin_FILE(),
                              int callerLine = __builtin_LINE()) {
    const auto fail = [&](const std::string& what) {
        ADD_FAILURE_AT(callerFile, callerLine)
            << "expected " << ClassName(typeid(E)) << " \"" << text << "\", " << what;
    };
    try {
        action();
    } catch (const E& e) {
        if (e.Message() != text)
            fail("got the text \"" + e.Message() + "\"");
        return e;
    } catch (const std::exception& e) {
        fail("got " + ClassName(typeid(e)) + " \"" + e.what() + "\"");
        return std::nullopt;
    } catch (...) {
        fail("got something that is no std::exception");
        return std::nullopt;
    }
    fail("nothing was thrown");
    return std::nullopt;
}

// For INSTANTIATE_TEST_SUITE_P: names each row by its `name` member, so that a failure says which
// row failed.
struct RowName {
    template <typename Row> std::string operator()(const testing::TestParamInfo<Row>& info) const {
        return info.param.name;
    }
};

// The selected rows of a list control (anything with Count() and Selected(row)), in order.
template <typename List> std::vector<int> SelectedRows(const List& list) {
    std::vector<int> rows;
    for (int row = 0; row < list.Count(); ++row) {
        if (list.Selected(row))
            rows.push_back(row);
    }
    return rows;
}

// Red, green, blue per pixel (or one grey byte), rows top down.
struct RgbImage {
    int width = 0;
    int height = 0;
    int channels = 3; // 1 for grey
    Bytes pixels;
};

// Gradients with noise, so that every DCT coefficient and the dithering get work.
RgbImage TestImage(int width, int height, int channels, unsigned seed);
// PPM for three channels, PGM for one.
void WritePnm(const std::string& path, const RgbImage& image);
RgbImage ReadPnm(const std::string& path);

// Runs one of the reference codec's tools (cjpeg, djpeg) from /usr/bin with the arguments, each
// passed as one word. Fails the test, saying so, when the tool is not installed or does not exit
// with 0.
void RunCodecTool(const std::string& tool, const std::vector<std::string>& arguments);

// The JPEG fixture of the tests: `image` encoded by the reference encoder with cjpeg's `options`
// (words separated by spaces). When cjpeg is missing or fails, the test fails and the bytes are
// empty.
Bytes Cjpeg(const RgbImage& image, const std::string& options = "-quality 90");
// The same written to `path`; gives `path`.
std::string WriteJpeg(const std::string& path, const RgbImage& image,
                      const std::string& options = "-quality 90");

// A JPEG stream's marker segments.
struct Segment {
    std::uint8_t marker;
    std::size_t offset; // of the 0xFF that starts the marker
    Bytes payload;      // without the length field
};
// The marker segments from SOI up to and including the first SOS.
std::vector<Segment> HeaderSegments(const Bytes& jpeg);
// Offsets of every SOS marker in the stream.
std::vector<std::size_t> ScanOffsets(const Bytes& jpeg);
// The stream with its frame header claiming another size; the scans stay as they were.
Bytes WithClaimedSize(Bytes jpeg, int width, int height);

// A folder of its own under the system's temporary folder, removed with everything in it (also
// when a test took the write permission away from it).
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;
    // An empty file, or a folder, of that name with that mode; fails the test when it cannot.
    // Both give the path made.
    std::string MakeFile(const std::string& name, mode_t mode = 0644) const;
    std::string MakeFolder(const std::string& name) const;

private:
    std::string path_;
};

// An empty file of its own with a .jpg name in the root folder, removed at the end, so that the
// listings of the root have an entry to show. Making it needs root's rights (the tests run as
// root in CI); when it cannot be made, Made() is false and Reason() says why, for GTEST_SKIP.
class RootFile {
public:
    RootFile();
    ~RootFile();
    RootFile(const RootFile&) = delete;
    RootFile& operator=(const RootFile&) = delete;

    bool Made() const { return reason_.empty(); }
    const std::string& Reason() const { return reason_; }
    // The file's name, without the folder.
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    std::string reason_;
};

// While it lives, HOME names this temporary folder, empty at first; the old HOME comes back at
// the end.
class TemporaryHome : public TemporaryFolder {
public:
    TemporaryHome();
    ~TemporaryHome();

private:
    std::optional<std::string> savedHome_;
};

} // namespace testkit
