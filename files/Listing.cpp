// Listing the JPEG files of the folder selected in the folder tree.
#include "app/Unit1.h"

#include "files/FillFileList.h"
#include "platform/FileNames.h"

#include <string>
#include <vector>

void TForm1::ShellTreeView1Click(QObject*) {
    RzListBox1->Clear();
    const std::string mask = JoinPath(ShellTreeView1->Path(), "*.jpg");
    std::vector<std::string> entries;
    FillFileList(entries, mask);
    RzListBox1->ReplaceAll(entries);
    // The program's own selection: the list does not report it, so the preview does not run.
    if (RzListBox1->Count() > 0)
        RzListBox1->SetSelected(0, true);
}
