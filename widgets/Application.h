// The application object: its title, the information box, the error report and the folder dialog,
// all shown through one replaceable presenter so that tests can record boxes and answer dialogs.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>

class QWidget;

// Shows the program's modal boxes and dialogs. The default presenter uses Qt's dialogs; tests
// install one that records what would have been shown.
class Presenter {
public:
    virtual ~Presenter() = default;
    // Modal box captioned with the application title, no icon, one OK button.
    virtual void ShowInformation(const std::string& caption, const std::string& text) = 0;
    // Modal box captioned with the application title, the critical icon, one OK button.
    virtual void ShowError(const std::string& caption, const std::string& text) = 0;
    // Modal folder dialog owned by `owner`; the chosen folder's path as bytes, or "" on cancel.
    virtual std::string ChooseFolder(QWidget* owner, const std::string& title) = 0;
};

class TApplication {
public:
    TApplication();
    ~TApplication();

    const std::string& Title() const;
    void SetTitle(std::string title);

    // Replaces the presenter; the application owns it from then on.
    void SetPresenter(std::unique_ptr<Presenter> presenter);
    Presenter& CurrentPresenter();

    // The information box: modal, captioned with the title, the text as given.
    void ShowMessage(const std::string& text);

    // Runs an event handler so that no exception leaves it: the mouse capture is released, EAbort
    // is passed over silently, an Exception is shown by the error report, std::bad_alloc is
    // reported as EOutOfMemory would be and any other std::exception with its text.
    void Guard(const std::function<void()>& handler);
    // The error report for one caught exception.
    void HandleException(std::exception_ptr failure);

private:
    std::string title_;
    std::unique_ptr<Presenter> presenter_;
};

// The one application object, made by the program's entry and by GUI tests.
extern TApplication* Application;
