// The program's entry: the application object, the main window and the message loop, which ends
// when the window is closed.
#include "app/Unit1.h"
#include "platform/Texts.h"
#include "resources/Resources.h"
#include "widgets/Application.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qtApplication(argc, argv);
    TApplication application;
    application.SetTitle(Texts::ApplicationTitle);
    QApplication::setWindowIcon(ApplicationIcon());
    // Names the installed desktop entry, whose icon and name the desktop then shows for the window.
    QApplication::setDesktopFileName(QStringLiteral("corvantis"));
    TForm1 form;
    form.show();
    return QApplication::exec();
}
