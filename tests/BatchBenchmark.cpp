// Prints how long the command that writes every listed file's thumbnail takes on the main window
// (offscreen), for a folder of camera-sized JPEG files: the whole road of each file from its
// preview to the saved thumbnail, repaints included.
#include "app/Unit1.h"
#include "pictures/JPEGImage.h"
#include "widgets/Application.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// Answers nothing and shows nothing: the benchmark only counts what it would have shown.
class SilentPresenter : public Presenter {
public:
    void ShowInformation(const std::string&, const std::string&) override { ++boxes; }
    void ShowError(const std::string&, const std::string&) override { ++boxes; }
    std::string ChooseFolder(QWidget*, const std::string&) override { return {}; }
    int boxes = 0;
};

void WritePhoto(const std::string& path, int width, int height) {
    TBitmap bitmap;
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            row[x * 4] = std::uint8_t(x / 16 + y / 32);
            row[x * 4 + 1] = std::uint8_t((x ^ y) / 8);
            row[x * 4 + 2] = std::uint8_t(y / 12);
        }
    }
    TJPEGImage photo;
    photo.Assign(&bitmap);
    photo.SaveToFile(path);
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    TApplication application;
    auto presenter = std::make_unique<SilentPresenter>();
    SilentPresenter& boxes = *presenter;
    application.SetPresenter(std::move(presenter));

    const auto folder = std::filesystem::temp_directory_path() / "corvantis-batch-benchmark";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    constexpr int Files = 8;
    for (int i = 0; i < Files; ++i)
        WritePhoto((folder / ("photo" + std::to_string(i) + ".jpg")).string(), 4000, 3000);

    TForm1 form;
    form.show();
    form.ShellTreeView1->SelectPath(folder.string());
    form.ShellTreeView1Click(nullptr);
    const auto start = std::chrono::steady_clock::now();
    form.RzButton2Click(nullptr);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d files of 4000 x 3000 to thumbnails 200 wide: %.2f s, %.0f ms a file (%d box)\n",
                Files, seconds, 1000 * seconds / Files, boxes.boxes);
    std::filesystem::remove_all(folder);
    return 0;
}
