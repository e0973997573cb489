// The main window: every control of the layout and the handlers bound to their events. Each
// handler is defined in the folder of its subsystem (thumbnail/, files/, app/).
#pragma once

#include "thumbnail/DecodeAhead.h"
#include "widgets/Controls.h"

#include <QPoint>
#include <QWidget>

#include <string>

class TForm1 : public QWidget {
public:
    // Builds the window from its layout, at its first position, with the placeholder in both
    // image views. Needs the application object; the first window made becomes Form1.
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Controls, owned by the window through Qt's parent chain.
    TPanel* Panel1;
    TLabel* Label3;
    TShellTreeView* ShellTreeView1;
    TSplitter* Splitter1;
    TRzPanel* RzPanel1;
    TLabel* Label4;
    TRzListBox* RzListBox1;
    TSplitter* Splitter2;
    TPanel* Panel2;
    TStatusBar* StatusBar1;
    TRzPanel* RzPanel2;
    TScrollBox* ScrollBox1;
    TImage* Image1;
    TRzPanel* RzPanel3;
    TScrollBox* ScrollBox2;
    TImage* Image2;
    TGroupBox* GroupBox1;
    TLabel* Label1;
    TLabel* Label2;
    TEdit* Edit1;
    TMemo* Memo1;
    TButton* Button1;
    TRzButton* RzButton2;
    TRzButton* RzButton3;
    TPopupMenu* PopupMenu1;
    TMenuItem* N1;
    TMenuItem* N2;

    // Event handlers. Sender is never used; handlers that run other handlers pass nullptr.
    void ShellTreeView1Click(QObject* Sender); // files/
    void RzListBox1Click(QObject* Sender);     // app/
    void ScrollBox1MouseWheel(QObject* Sender, Qt::KeyboardModifiers Shift, int WheelDelta,
                              QPoint MousePos, bool& Handled); // app/
    void Button1Click(QObject* Sender);                        // thumbnail/
    void RzButton2Click(QObject* Sender);                      // thumbnail/
    void RzButton3Click(QObject* Sender);                      // thumbnail/
    void N1Click(QObject* Sender);                             // files/
    void N2Click(QObject* Sender);                             // thumbnail/

    // The preview of RzListBox1Click: true when both views now hold the selected entry's file and
    // the thumbnail view its thumbnail; false when a load or the rendering failed. Failures of the
    // Exception family, and running out of memory as EOutOfMemory, are reported in the two
    // information boxes, never thrown.
    bool PreviewSelectedEntry();

    // How the batch commands decode their next files ahead on worker threads.
    DecodeAheadOptions BatchDecodeAhead;

    // The folder dialog titled Texts::ChooseFolderTitle; the chosen folder's path, or "" when
    // cancelled.
    std::string SelectFolder(); // thumbnail/

private:
    void BindEvents();
};

extern TForm1* Form1;
