// Temporary empty handlers, each removed when its subsystem defines the real one.
#include "Unit1.h"

void TForm1::RzListBox1Click(QObject*) {}
void TForm1::ScrollBox1MouseWheel(QObject*, Qt::KeyboardModifiers, int, QPoint, bool& Handled) {
    Handled = true;
}
void TForm1::RzButton2Click(QObject*) {}
void TForm1::RzButton3Click(QObject*) {}
void TForm1::N1Click(QObject*) {}
void TForm1::N2Click(QObject*) {}
std::string TForm1::SelectFolder() { return {}; }
