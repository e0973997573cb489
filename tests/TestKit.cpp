#include "tests/TestKit.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testkit {

namespace fs = std::filesystem;

std::string ClassName(const std::type_info& type) {
    int status = 0;
    const std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    return status == 0 ? name.get() : type.name();
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    EXPECT_TRUE(out.good()) << "cannot write " << path;
}

RgbImage TestImage(int width, int height, int channels, unsigned seed) {
    std::mt19937 random(seed);
    RgbImage image{width, height, channels, Bytes(std::size_t(width) * height * channels)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                const int gradient = (x * 255 / std::max(width - 1, 1) * (c + 1) +
                                      y * 255 / std::max(height - 1, 1) * (3 - c)) /
                                     4;
                const int noise = int(random() % 61) - 30;
                image.pixels[(std::size_t(y) * width + x) * channels + c] =
                    std::uint8_t(std::clamp(gradient + noise, 0, 255));
            }
    return image;
}

void WritePnm(const std::string& path, const RgbImage& image) {
    std::ostringstream header;
    header << (image.channels == 3 ? "P6\n" : "P5\n") << image.width << ' ' << image.height
           << "\n255\n";
    const std::string text = header.str();
    Bytes bytes(text.begin(), text.end());
    bytes.insert(bytes.end(), image.pixels.begin(), image.pixels.end());
    WriteBytes(path, bytes);
}

RgbImage ReadPnm(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    std::size_t at = 0;
    auto field = [&] {
        while (at < bytes.size() && std::isspace(bytes[at]))
            ++at;
        std::string word;
        while (at < bytes.size() && !std::isspace(bytes[at]))
            word += char(bytes[at++]);
        return word;
    };
    RgbImage image;
    const std::string magic = field();
    if (magic != "P6" && magic != "P5") {
        ADD_FAILURE() << path << " is no binary PPM or PGM file";
        return image;
    }
    image.channels = magic == "P6" ? 3 : 1;
    image.width = std::stoi(field());
    image.height = std::stoi(field());
    field(); // maximum value, 255
    ++at;    // the one whitespace byte before the pixels
    image.pixels.assign(bytes.begin() + std::ptrdiff_t(std::min(at, bytes.size())), bytes.end());
    EXPECT_EQ(image.pixels.size(), std::size_t(image.width) * image.height * image.channels);
    return image;
}

void RunCodecTool(const std::string& tool, const std::vector<std::string>& arguments) {
    const std::string program = "/usr/bin/" + tool;
    if (::access(program.c_str(), X_OK) != 0) {
        ADD_FAILURE()
            << program << " is missing: the JPEG fixtures need the reference codec's "
            << "tools (Debian package libjpeg-turbo-progs, which scripts/prepare.sh installs)";
        return;
    }
    std::string command = program;
    for (const std::string& argument : arguments) {
        // Single quotes keep every byte but the quote itself, which closes, escapes and reopens.
        std::string quoted = "'";
        for (char c : argument)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += " " + quoted + "'";
    }
    const int status = std::system(command.c_str());
    EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << command << " failed with status " << status;
}

Bytes Cjpeg(const RgbImage& image, const std::string& options) {
    const TemporaryFolder folder;
    WriteJpeg(folder.File("fixture.jpg"), image, options);
    return ReadBytes(folder.File("fixture.jpg"));
}

std::string WriteJpeg(const std::string& path, const RgbImage& image, const std::string& options) {
    const TemporaryFolder folder;
    const std::string source = folder.File(image.channels == 1 ? "source.pgm" : "source.ppm");
    WritePnm(source, image);
    std::vector<std::string> arguments;
    std::istringstream words(options);
    for (std::string word; words >> word;)
        arguments.push_back(word);
    arguments.insert(arguments.end(), {"-outfile", path, source});
    RunCodecTool("cjpeg", arguments);
    return path;
}

std::vector<Segment> HeaderSegments(const Bytes& jpeg) {
    std::vector<Segment> segments;
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
        const std::uint8_t marker = jpeg[at + 1];
        const std::size_t length = std::size_t(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (at + 2 + length > jpeg.size())
            break;
        segments.push_back({marker, at,
                            Bytes(jpeg.begin() + std::ptrdiff_t(at + 4),
                                  jpeg.begin() + std::ptrdiff_t(at + 2 + length))});
        if (marker == 0xDA)
            break;
        at += 2 + length;
    }
    return segments;
}

std::vector<std::size_t> ScanOffsets(const Bytes& jpeg) {
    std::vector<std::size_t> offsets;
    for (std::size_t at = 0; at + 1 < jpeg.size(); ++at)
        if (jpeg[at] == 0xFF && jpeg[at + 1] == 0xDA)
            offsets.push_back(at);
    return offsets;
}

Bytes WithClaimedSize(Bytes jpeg, int width, int height) {
    bool framed = false;
    for (const Segment& segment : HeaderSegments(jpeg))
        if (segment.marker == 0xC0 || segment.marker == 0xC2) {
            const std::size_t at = segment.offset + 5;
            jpeg[at] = std::uint8_t(height >> 8);
            jpeg[at + 1] = std::uint8_t(height);
            jpeg[at + 2] = std::uint8_t(width >> 8);
            jpeg[at + 3] = std::uint8_t(width);
            framed = true;
        }
    EXPECT_TRUE(framed) << "no baseline or progressive frame header";
    return jpeg;
}

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "corvantis-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "cannot make a temporary folder " << pattern;
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::vector<std::string> TemporaryFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string TemporaryFolder::MakeFile(const std::string& name, mode_t mode) const {
    const std::string path = File(name);
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, mode);
    EXPECT_GE(fd, 0) << "cannot make the file " << path;
    if (fd >= 0)
        ::close(fd);
    return path;
}

std::string TemporaryFolder::MakeFolder(const std::string& name) const {
    const std::string path = File(name);
    EXPECT_EQ(::mkdir(path.c_str(), 0755), 0) << "cannot make the folder " << path;
    return path;
}

RootFile::RootFile() {
    std::string path = "/corvantis-test-XXXXXX.jpg";
    const int fd = ::mkstemps(path.data(), 4);
    if (fd < 0) {
        reason_ = "cannot make a file in the root folder: " + std::string(std::strerror(errno));
        return;
    }
    ::close(fd);
    name_ = path.substr(1);
}

RootFile::~RootFile() {
    if (Made())
        ::unlink(("/" + name_).c_str());
}

TemporaryHome::TemporaryHome() {
    if (const char* home = std::getenv("HOME"))
        savedHome_ = home;
    ::setenv("HOME", Path().c_str(), 1);
}

TemporaryHome::~TemporaryHome() {
    if (savedHome_)
        ::setenv("HOME", savedHome_->c_str(), 1);
    else
        ::unsetenv("HOME");
}

} // namespace testkit
