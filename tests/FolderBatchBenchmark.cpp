// Runs the command that writes every listed file's thumbnail beside it, on the main window
// (offscreen), over one folder given on the command line, and prints how long it took and what
// the user would have been told. Run it under /usr/bin/time -v to see what a folder costs, for
// instance one hostile file between two good photos against the two photos alone.
#include "app/Unit1.h"
#include "widgets/Application.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {

// Answers nothing and shows nothing; prints every box.
class PrintingPresenter : public Presenter {
public:
    void ShowInformation(const std::string&, const std::string& text) override {
        std::printf("  box: %s\n", text.c_str());
    }
    void ShowError(const std::string&, const std::string& text) override {
        std::printf("  error report: %s\n", text.c_str());
    }
    std::string ChooseFolder(QWidget*, const std::string&) override { return {}; }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string folder = argv[1];
    QApplication qt(argc, argv);
    TApplication application;
    application.SetPresenter(std::make_unique<PrintingPresenter>());
    TForm1 form;
    form.show();
    form.ShellTreeView1->SelectPath(folder);
    form.ShellTreeView1Click(nullptr);
    const auto start = std::chrono::steady_clock::now();
    Application->Guard([&form] { form.RzButton2Click(nullptr); });
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %.2f s\n", folder.c_str(), seconds);
    return 0;
}
