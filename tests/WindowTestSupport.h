// Fixtures for the tests that drive the main window: a presenter that records the boxes and
// answers the folder dialog, and a window over a desktop folder of the test's own.
#pragma once

#include "app/Unit1.h"
#include "tests/TestKit.h"
#include "widgets/Application.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace window_test {

struct Box {
    bool error; // the error report, else the information box
    std::string caption;
    std::string text;
    bool operator==(const Box&) const = default;
};

// Records every box instead of showing it, running `onBox` as if while the box were open; the
// folder dialog returns the queued answers in turn
// ("" once they run out) and counts how often it was asked.
class RecordingPresenter : public Presenter {
public:
    RecordingPresenter(std::vector<Box>& boxes, std::deque<std::string>& folderAnswers,
                       int& folderQuestions, std::function<void()>& onBox)
        : boxes_(boxes), folderAnswers_(folderAnswers), folderQuestions_(folderQuestions),
          onBox_(onBox) {}
    void ShowInformation(const std::string& caption, const std::string& text) override;
    void ShowError(const std::string& caption, const std::string& text) override;
    std::string ChooseFolder(QWidget* owner, const std::string& title) override;

private:
    std::vector<Box>& boxes_;
    std::deque<std::string>& folderAnswers_;
    int& folderQuestions_;
    std::function<void()>& onBox_;
};

// The application object, titled "Corvantis", with a recording presenter.
class ApplicationTest : public testing::Test {
protected:
    ApplicationTest();

    // The texts of the recorded boxes, in order.
    std::vector<std::string> BoxTexts() const;

    TApplication application_;
    std::vector<Box> boxes_;
    std::deque<std::string> folderAnswers_;
    int folderQuestions_ = 0;
    std::function<void()> onBox_ = [] {}; // runs while each box would be open
};

// The main window shown offscreen over a home folder of the test's own (see TemporaryHome) whose
// Desktop folder is the tree's desktop.
class WindowTest : public ApplicationTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs before the window is made, so that the tree sees what it puts on the desktop.
    virtual void PrepareDesktop() {}

    std::vector<std::string> Entries() const;
    std::vector<int> SelectedRows() const;
    // Selects `folder` in the tree and lists it as a click in the tree would.
    void ListFolder(const std::string& folder);

    testkit::TemporaryHome homeFolder_;
    const std::string home_ = homeFolder_.Path();
    const std::string desktop_ = homeFolder_.MakeFolder("Desktop");
    std::unique_ptr<TForm1> form_;
};

} // namespace window_test
