#include "widgets/Application.h"

#include "platform/Exceptions.h"
#include "platform/Texts.h"
#include "widgets/FolderDialog.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include <new>

TApplication* Application = nullptr;

namespace {

// Application-modal boxes without a parent, so that they are centred on the screen and every
// window of the program waits for them.
void ShowBox(QMessageBox::Icon icon, const std::string& caption, const std::string& text) {
    QMessageBox box(icon, QString::fromUtf8(caption), QString::fromUtf8(text));
    QPushButton* ok = box.addButton(QString::fromUtf8(Texts::OkButton), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

class QtPresenter : public Presenter {
public:
    void ShowInformation(const std::string& caption, const std::string& text) override {
        ShowBox(QMessageBox::NoIcon, caption, text);
    }
    void ShowError(const std::string& caption, const std::string& text) override {
        ShowBox(QMessageBox::Critical, caption, text);
    }
    std::string ChooseFolder(QWidget* owner, const std::string& title) override {
        return ChooseFolderModal(owner, title);
    }
};

} // namespace

TApplication::TApplication() : presenter_(std::make_unique<QtPresenter>()) {
    Application = this;
}

TApplication::~TApplication() {
    if (Application == this)
        Application = nullptr;
}

const std::string& TApplication::Title() const {
    return title_;
}

void TApplication::SetTitle(std::string title) {
    title_ = std::move(title);
    // The task bar groups and names the program's windows by the application's name.
    if (QCoreApplication::instance())
        QCoreApplication::setApplicationName(QString::fromUtf8(title_));
}

void TApplication::SetPresenter(std::unique_ptr<Presenter> presenter) {
    presenter_ = std::move(presenter);
}

Presenter& TApplication::CurrentPresenter() {
    return *presenter_;
}

void TApplication::ShowMessage(const std::string& text) {
    presenter_->ShowInformation(title_, text);
}

void TApplication::Guard(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        HandleException(std::current_exception());
    }
}

void TApplication::HandleException(std::exception_ptr failure) {
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    if (!failure)
        return;
    std::string message;
    try {
        std::rethrow_exception(failure);
    } catch (const EAbort&) {
        return;
    } catch (const Exception& e) {
        message = e.Message();
    } catch (const std::bad_alloc&) {
        message = EOutOfMemory().Message();
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        // Nothing that is thrown may leave an event handler, whatever its type.
        message = Texts::UnknownException;
    }
    presenter_->ShowError(title_, ErrorReportText(message));
}
