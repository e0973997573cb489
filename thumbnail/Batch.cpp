// The batch commands: thumbnails of every listed file, or of the selected ones.
#include "app/Unit1.h"

#include "platform/Exceptions.h"
#include "thumbnail/ThumbnailFileName.h"
#include "widgets/Application.h"
#include "widgets/InputBlock.h"

#include <functional>
#include <string>

namespace {

// Walks every entry of the list: moves the focus to it, previews it, renders it again and saves
// the thumbnail under the folder that `targetFolder` gives at that moment. An entry whose file
// the preview could not load gets no thumbnail, so that no other file's picture is ever written
// under its name; the preview has already told the user why. A file that loads but fails to
// render ends the command with that failure.
void ThumbnailsOfAllEntries(TForm1& form, InputBlock& block,
                            const std::function<std::string()>& targetFolder) {
    const int count = form.RzListBox1->Count();
    for (int i = 0; i < count; ++i) {
        const std::string name = ThumbnailFileName(form.RzListBox1->Item(i));
        form.RzListBox1->SetItemIndex(i);
        if (!form.PreviewSelectedEntry())
            continue;
        form.Button1Click(nullptr);
        form.Image2->Picture().SaveToFile(ThumbnailDestination(targetFolder(), name));
        block.Repaint();
    }
}

} // namespace

void TForm1::RzButton2Click(QObject*) {
    if (RzListBox1->Count() == 0)
        throw EAbort();
    InputBlock block(this);
    RzListBox1->SetItemIndex(0);
    ThumbnailsOfAllEntries(*this, block, [this] { return ShellTreeView1->Path(); });
    Application->ShowMessage("操作完成!");
    ShellTreeView1Click(nullptr);
}

void TForm1::RzButton3Click(QObject*) {
    if (RzListBox1->Count() == 0)
        throw EAbort();
    InputBlock block(this);
    RzListBox1->SetItemIndex(0);
    const std::string folder = SelectFolder();
    // Without a folder there is nowhere sound to write: joining "" would put every thumbnail into
    // the root folder.
    if (folder.empty())
        return;
    ThumbnailsOfAllEntries(*this, block, [&folder] { return folder; });
    Application->ShowMessage("操作完成!");
}

void TForm1::N2Click(QObject*) {
    InputBlock block(this);
    for (const int i : RzListBox1->SelectedRows()) {
        Image1->Picture().LoadFromFile(RzListBox1->Item(i));
        Button1Click(nullptr);
        const std::string name = ThumbnailFileName(RzListBox1->Item(i));
        Image2->Picture().SaveToFile(ThumbnailDestination(ShellTreeView1->Path(), name));
        block.Repaint();
    }
    ShellTreeView1Click(nullptr);
}
