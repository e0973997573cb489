// Prints how fast the command that writes every listed file's thumbnail runs on the main window
// (offscreen), as a ratio to the least work an exact thumbnail needs: libjpeg's full-size
// float-DCT decode of the same files, one after another on one thread (what `djpeg -dct float`
// does), timed in the same process. The machine may be shared and noisy, so only ratios taken in
// one run mean anything.
//
//   batch_benchmark [folder]
//
// Without a folder it makes camera-like photos (4000 x 3000 and 6000 x 4000, some progressive)
// with cjpeg. The command runs on a copy of the folder's .jpg files, never on the folder itself.
// It prints: ms a file and the floor on all cores, the same pinned to one core (the program runs
// itself again under one CPU), the peak memory above idle in decoded pictures, the resident
// memory after repeated runs over 1000 small files, and vipsthumbnail's and ImageMagick's time on
// the same files where they are installed.
#include "app/Unit1.h"
#include "pictures/JPEGImage.h"
#include "widgets/Application.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Shows nothing; the folder dialog answers with `folder`.
class SilentPresenter : public Presenter {
public:
    void ShowInformation(const std::string&, const std::string&) override { ++boxes; }
    void ShowError(const std::string&, const std::string&) override { ++boxes; }
    std::string ChooseFolder(QWidget*, const std::string&) override { return folder; }
    int boxes = 0;
    std::string folder;
};

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += "'";
    return quoted;
}

bool Installed(const std::string& tool) {
    return std::system(("command -v " + tool + " > /dev/null 2>&1").c_str()) == 0;
}

bool IsJpgName(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return extension == ".jpg";
}

std::vector<std::uint8_t> ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A photo-like picture: smooth light across the frame, a few objects with sharp and soft edges,
// fine texture in some of them and sensor-like noise everywhere, written as a binary PPM.
void WritePhotoPpm(const std::string& path, int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<double> lightX(width), lightY(height);
    const double phaseX = unit(random) * 6, phaseY = unit(random) * 6;
    for (int x = 0; x < width; ++x)
        lightX[x] = 40 * std::sin(x * 3.0 / width + phaseX) + 12 * std::sin(x * 17.0 / width);
    for (int y = 0; y < height; ++y)
        lightY[y] = 50 * std::cos(y * 2.5 / height + phaseY) + 10 * std::sin(y * 23.0 / height);
    struct Blob {
        double cx, cy, rx, ry, soft;
        int colour[3];
        int texture;
    };
    std::vector<Blob> blobs(12);
    for (Blob& blob : blobs) {
        blob = {unit(random) * width,
                unit(random) * height,
                (0.05 + unit(random) * 0.2) * width,
                (0.05 + unit(random) * 0.2) * height,
                unit(random) < 0.5 ? 0.02 : 0.3,
                {int(unit(random) * 200), int(unit(random) * 200), int(unit(random) * 200)},
                int(unit(random) * 3)};
    }
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    std::vector<std::uint8_t> row(std::size_t(width) * 3);
    std::uint32_t noise = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double rgb[3] = {90 + lightX[x] + lightY[y], 100 + lightX[x] * 0.8 + lightY[y],
                             110 + lightY[y] * 0.7 - lightX[x] * 0.3};
            for (const Blob& blob : blobs) {
                const double dx = (x - blob.cx) / blob.rx, dy = (y - blob.cy) / blob.ry;
                const double distance = dx * dx + dy * dy;
                if (distance >= 1 + blob.soft)
                    continue;
                const double cover =
                    distance <= 1 - blob.soft ? 1.0 : (1 + blob.soft - distance) / (2 * blob.soft);
                double detail = 0;
                if (blob.texture == 1)
                    detail = 18 * std::sin(x * 0.9) * std::sin(y * 0.7);
                else if (blob.texture == 2)
                    detail = ((x / 6 + y / 6) % 2) * 24 - 12;
                for (int c = 0; c < 3; ++c)
                    rgb[c] += cover * (blob.colour[c] + detail - rgb[c]);
            }
            for (int c = 0; c < 3; ++c) {
                noise ^= noise << 13, noise ^= noise >> 17, noise ^= noise << 5;
                const double value = rgb[c] + int(noise % 9) - 4;
                row[std::size_t(x) * 3 + c] = std::uint8_t(std::clamp(value, 0.0, 255.0));
            }
        }
        out.write(reinterpret_cast<const char*>(row.data()), std::streamsize(row.size()));
    }
}

// The default folder: four photos of 4000 x 3000 and four of 6000 x 4000, half of them
// progressive, some with the chroma sampling of cameras (2 x 1), made once and kept.
fs::path CameraPhotos() {
    const fs::path folder = fs::temp_directory_path() / "corvantis-camera-photos";
    const fs::path done = folder / "complete";
    if (fs::exists(done))
        return folder;
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::printf("making camera-like photos with cjpeg in %s ...\n", folder.c_str());
    std::fflush(stdout);
    for (int i = 0; i < 8; ++i) {
        const bool large = i % 2 == 1;
        const std::string ppm = (folder / "photo.ppm").string();
        WritePhotoPpm(ppm, large ? 6000 : 4000, large ? 4000 : 3000, 17 + i);
        const std::string options = std::string(i / 2 % 2 == 1 ? "-progressive " : "") +
                                    (i >= 4 ? "-sample 2x1 " : "") + "-quality 92 ";
        const std::string jpeg = (folder / ("photo" + std::to_string(i) + ".jpg")).string();
        if (std::system(
                ("cjpeg " + options + "-outfile " + Quoted(jpeg) + " " + Quoted(ppm)).c_str()) !=
            0) {
            std::fprintf(stderr, "cjpeg failed; is libjpeg-turbo-progs installed?\n");
            std::exit(1);
        }
        fs::remove(ppm);
    }
    std::ofstream(done) << "made\n";
    return folder;
}

// A copy of the folder's .jpg files, so that the thumbnails never land among the user's files.
void CopyJpegFiles(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    for (const auto& entry : fs::directory_iterator(from))
        if (entry.is_regular_file() && IsJpgName(entry.path()))
            fs::copy_file(entry.path(), to / entry.path().filename());
}

std::vector<fs::path> JpegFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && IsJpgName(entry.path()))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

struct FloorErrors {
    jpeg_error_mgr manager;
    std::jmp_buf resume;
};

void FloorErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<FloorErrors*>(info->err)->resume, 1);
}

// Pages the system had to fault in for this process so far.
long PageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

struct Floor {
    double milliseconds = 0;
    long pageFaults = 0;
    std::uint64_t largestPicture = 0; // bytes of the largest decoded picture, 3 bytes a pixel
};

// Decodes one file in full as `djpeg -dct float` does, into one reused row buffer; false when
// libjpeg fails on it.
bool DecodeForTheFloor(const std::vector<std::uint8_t>& bytes, std::vector<JSAMPLE>& rows,
                       std::uint64_t& pictureBytes) {
    jpeg_decompress_struct info{};
    FloorErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = FloorErrorExit;
    errors.manager.emit_message = [](j_common_ptr, int) {};
    if (setjmp(errors.resume) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.dct_method = JDCT_FLOAT;
    jpeg_start_decompress(&info);
    const std::size_t rowBytes = std::size_t(info.output_width) * info.output_components;
    rows.resize(rowBytes * info.rec_outbuf_height);
    std::vector<JSAMPROW> pointers(info.rec_outbuf_height);
    for (int i = 0; i < info.rec_outbuf_height; ++i)
        pointers[i] = rows.data() + rowBytes * i;
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, pointers.data(), info.rec_outbuf_height);
    pictureBytes = std::uint64_t{info.output_width} * info.output_height * 3;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

Floor MeasureFloor(const std::vector<fs::path>& files) {
    std::vector<std::vector<std::uint8_t>> contents;
    for (const fs::path& file : files)
        contents.push_back(ReadWhole(file));
    Floor floor;
    std::vector<JSAMPLE> rows;
    const long faults = PageFaults();
    const auto start = Clock::now();
    for (const auto& bytes : contents) {
        std::uint64_t pictureBytes = 0;
        if (DecodeForTheFloor(bytes, rows, pictureBytes))
            floor.largestPicture = std::max(floor.largestPicture, pictureBytes);
    }
    floor.milliseconds = MillisecondsSince(start);
    floor.pageFaults = PageFaults() - faults;
    return floor;
}

// A field of /proc/self/status in bytes (VmRSS, VmHWM).
std::uint64_t StatusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stoull(line.substr(field.size() + 1)) * 1024;
    return 0;
}

// Starts the peak of resident memory afresh from what is resident now.
void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct CommandRun {
    double milliseconds = 0;
    std::uint64_t peakAboveIdle = 0;
    long pageFaults = 0;
    int boxes = 0;
};

// Lists the folder on the window and runs the all-files command once.
CommandRun RunCommand(TForm1& form, SilentPresenter& presenter, const fs::path& folder) {
    form.ShellTreeView1->SelectPath(folder.string());
    form.ShellTreeView1Click(nullptr);
    QApplication::processEvents();
    presenter.boxes = 0;
    CommandRun run;
    const std::uint64_t idle = StatusBytes("VmRSS");
    ResetPeakMemory();
    const long faults = PageFaults();
    const auto start = Clock::now();
    form.RzButton2Click(nullptr);
    run.milliseconds = MillisecondsSince(start);
    run.pageFaults = PageFaults() - faults;
    const std::uint64_t peak = StatusBytes("VmHWM");
    run.peakAboveIdle = peak > idle ? peak - idle : 0;
    run.boxes = presenter.boxes;
    return run;
}

// The command and its floor on the files of `work`, in several rounds: each round times the floor
// before and after the command and averages the two, so that a change in the machine's load
// between them counts half, and the round with the median ratio is the one reported. Memory and
// page faults are those of the first round, which starts from a program that has decoded nothing.
constexpr int Rounds = 3;

struct Round {
    double commandMs = 0;
    double floorMs = 0;
    double Ratio() const { return commandMs / floorMs; }
};

struct Measurement {
    int files = 0;
    std::vector<Round> rounds; // by ratio, lowest first
    CommandRun first;
    long lastRoundPageFaults = 0; // the command's, once earlier rounds have warmed it up
    Floor floor;
    const Round& Median() const { return rounds[rounds.size() / 2]; }
};

// Removes what a round left in the folder: every file but the listed ones.
void RemoveAllBut(const fs::path& folder, const std::vector<fs::path>& files) {
    for (const auto& entry : fs::directory_iterator(folder))
        if (std::find(files.begin(), files.end(), entry.path()) == files.end())
            fs::remove_all(entry.path());
}

Measurement Measure(TForm1& form, SilentPresenter& presenter, const fs::path& work) {
    const std::vector<fs::path> files = JpegFiles(work);
    Measurement measurement;
    measurement.files = int(files.size());
    if (files.empty())
        return measurement;
    for (int round = 0; round < Rounds; ++round) {
        RemoveAllBut(work, files);
        const Floor before = MeasureFloor(files);
        const CommandRun run = RunCommand(form, presenter, work);
        const Floor after = MeasureFloor(files);
        if (round == 0) {
            measurement.first = run;
            measurement.floor = before;
        }
        measurement.lastRoundPageFaults = run.pageFaults;
        measurement.rounds.push_back(
            {run.milliseconds, (before.milliseconds + after.milliseconds) / 2});
    }
    std::sort(measurement.rounds.begin(), measurement.rounds.end(),
              [](const Round& a, const Round& b) { return a.Ratio() < b.Ratio(); });
    return measurement;
}

void PinToOneCore() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    sched_getaffinity(0, sizeof allowed, &allowed);
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (!CPU_ISSET(cpu, &allowed))
            continue;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(cpu, &one);
        sched_setaffinity(0, sizeof one, &one);
        return;
    }
}

// What the program run again pinned to one core measured.
struct Pinned {
    Round median; // ms a file
    double lowest = 0;
    double highest = 0;
    double peakAboveIdle = 0; // bytes
};

// Runs this program again pinned to one core on the same folder.
bool MeasurePinned(const fs::path& source, Pinned& pinned) {
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    FILE* child = popen((Quoted(self) + " --one-core " + Quoted(source.string())).c_str(), "r");
    if (!child)
        return false;
    char line[256];
    bool found = false;
    while (std::fgets(line, sizeof line, child))
        if (std::sscanf(line, "one core: %lf %lf %lf %lf %lf", &pinned.median.commandMs,
                        &pinned.median.floorMs, &pinned.lowest, &pinned.highest,
                        &pinned.peakAboveIdle) == 5)
            found = true;
    return pclose(child) == 0 && found;
}

// Wall time of a shell command over all files, in ms; negative when it failed.
double TimeTool(const std::string& command) {
    const auto start = Clock::now();
    const int status = std::system((command + " > /dev/null 2>&1").c_str());
    const double milliseconds = MillisecondsSince(start);
    return status == 0 ? milliseconds : -1;
}

void PrintToolRow(const char* name, double milliseconds, int files, double floorPerFile) {
    if (milliseconds < 0) {
        std::printf("| %-44s | %9s | %8s | %13s |\n", name, "failed", "", "");
        return;
    }
    const double perFile = milliseconds / files;
    std::printf("| %-44s | %9.1f | %8.2f | %13s |\n", name, perFile, perFile / floorPerFile, "");
}

void MeasureTools(const fs::path& source, const fs::path& work, int files, double floorPerFile) {
    CopyJpegFiles(source, work);
    const fs::path out = work / "out";
    fs::create_directories(out);
    std::string list;
    for (const fs::path& file : JpegFiles(work))
        list += " ", list += Quoted(file.string());
    if (Installed("vipsthumbnail"))
        PrintToolRow(
            "vipsthumbnail -s 200x",
            TimeTool("vipsthumbnail -s 200x -o " + Quoted((out / "%s.jpg").string()) + list), files,
            floorPerFile);
    else
        std::printf("| %-44s | %9s | %8s | %13s |\n", "vipsthumbnail", "absent", "", "");
    if (Installed("mogrify"))
        PrintToolRow("ImageMagick mogrify -thumbnail 200x",
                     TimeTool("mogrify -path " + Quoted(out.string()) + " -thumbnail 200x" + list),
                     files, floorPerFile);
    else
        std::printf("| %-44s | %9s | %8s | %13s |\n", "ImageMagick mogrify", "absent", "", "");
    fs::remove_all(work);
}

void MakeSmallFiles(const fs::path& folder) {
    fs::create_directories(folder / "thumbnails");
    TBitmap bitmap;
    bitmap.SetSize(320, 240);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (std::size_t i = 0; i < bitmap.RowBytes(); ++i)
            bitmap.ScanLine(y)[i] = std::uint8_t(i * 7 + y * 3);
    TJPEGImage encoder;
    encoder.Assign(&bitmap);
    for (int i = 0; i < 1000; ++i)
        encoder.SaveToFile((folder / ("small" + std::to_string(i) + ".jpg")).string());
}

// The resident memory after each of several runs of the chosen-folder command over the same
// 1000 small files: what one file leaves behind shows as growth from run to run.
void MeasureSmallFiles(TForm1& form, SilentPresenter& presenter, const fs::path& folder) {
    form.ShellTreeView1->SelectPath(folder.string());
    form.ShellTreeView1Click(nullptr);
    presenter.folder = (folder / "thumbnails").string();
    std::printf("1000 files of 320 x 240 to another folder, resident memory after each run:");
    std::vector<std::uint64_t> resident;
    for (int run = 0; run < 4; ++run) {
        form.RzButton3Click(nullptr);
        QApplication::processEvents();
        resident.push_back(StatusBytes("VmRSS"));
        std::printf(" %.1f MB", resident.back() / 1e6);
    }
    std::printf("\n  growth from the first run to the last: %+.2f MB\n",
                (double(resident.back()) - double(resident.front())) / 1e6);
}

std::string MachineName() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line))
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2);
    return "unknown processor";
}

} // namespace

int main(int argc, char** argv) {
    const bool oneCore = argc > 1 && std::strcmp(argv[1], "--one-core") == 0;
    if (oneCore) {
        PinToOneCore();
        --argc, ++argv;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const fs::path source = argc > 1 ? fs::path(argv[1]) : CameraPhotos();

    // The folder tree reads a folder's subfolders once, so every folder the window lists is made
    // before the first listing.
    const fs::path scratch =
        fs::temp_directory_path() / ("corvantis-benchmark-" + std::to_string(getpid()));
    fs::remove_all(scratch);
    CopyJpegFiles(source, scratch / "work");
    if (!oneCore)
        MakeSmallFiles(scratch / "small");

    QApplication qt(argc, argv);
    TApplication application;
    auto owned = std::make_unique<SilentPresenter>();
    SilentPresenter& presenter = *owned;
    application.SetPresenter(std::move(owned));
    TForm1 form;
    form.show();

    const Measurement all = Measure(form, presenter, scratch / "work");
    if (all.files == 0) {
        std::fprintf(stderr, "no .jpg files in %s\n", source.c_str());
        fs::remove_all(scratch);
        return 1;
    }
    const double commandPerFile = all.Median().commandMs / all.files;
    const double floorPerFile = all.Median().floorMs / all.files;
    if (oneCore) {
        std::printf("one core: %.3f %.3f %.4f %.4f %.0f\n", commandPerFile, floorPerFile,
                    all.rounds.front().Ratio(), all.rounds.back().Ratio(),
                    double(all.first.peakAboveIdle));
        fs::remove_all(scratch);
        return 0;
    }

    std::printf("%d files from %s, thumbnails 200 wide; %s, %u logical cores\n", all.files,
                source.c_str(), MachineName().c_str(), std::thread::hardware_concurrency());
    std::printf("ms a file and ratio to the floor of the median of %d rounds; the lowest and the "
                "highest ratio\n",
                Rounds);
    std::printf("| %-44s | %9s | %8s | %13s |\n", "", "ms a file", "ratio", "of the rounds");
    std::printf("|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(11, '-').c_str(),
                std::string(10, '-').c_str(), std::string(15, '-').c_str());
    std::printf("| %-44s | %9.1f | %8.2f | %13s |\n", "floor: libjpeg float-DCT decode, one thread",
                floorPerFile, 1.0, "");
    std::printf("| %-44s | %9.1f | %8.2f | %4.2f to %4.2f  |\n", "Corvantis, all cores",
                commandPerFile, all.Median().Ratio(), all.rounds.front().Ratio(),
                all.rounds.back().Ratio());
    Pinned pinned;
    const bool pinnedRan = MeasurePinned(source, pinned);
    if (pinnedRan)
        std::printf("| %-44s | %9.1f | %8.2f | %4.2f to %4.2f  |\n",
                    "Corvantis pinned to one core (own floor)", pinned.median.commandMs,
                    pinned.median.Ratio(), pinned.lowest, pinned.highest);
    else
        std::printf("| %-44s | %9s | %8s | %13s |\n", "Corvantis pinned to one core", "failed", "",
                    "");
    MeasureTools(source, scratch / "tools", all.files, floorPerFile);
    const double picture = double(all.floor.largestPicture);
    const CommandRun& first = all.first;
    std::printf("peak memory above idle during the command: %.0f MB = %.2f decoded pictures "
                "(the largest, %.1f MB at 3 bytes a pixel); %d boxes\n",
                first.peakAboveIdle / 1e6, first.peakAboveIdle / picture, picture / 1e6,
                first.boxes);
    if (pinnedRan)
        std::printf("  pinned to one core: %.0f MB = %.2f decoded pictures\n",
                    pinned.peakAboveIdle / 1e6, pinned.peakAboveIdle / picture);
    std::printf("pages faulted in a file: %ld by the command in its first round, %ld in its last, "
                "%ld by the floor\n",
                first.pageFaults / all.files, all.lastRoundPageFaults / all.files,
                all.floor.pageFaults / all.files);
    MeasureSmallFiles(form, presenter, scratch / "small");
    fs::remove_all(scratch);
    return 0;
}
