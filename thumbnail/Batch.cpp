// The batch commands: thumbnails of every listed file, or of the selected ones.
#include "app/Unit1.h"

#include "platform/Exceptions.h"
#include "platform/Texts.h"
#include "thumbnail/ThumbnailFileName.h"
#include "widgets/Application.h"
#include "widgets/InputBlock.h"

#include <functional>
#include <string>

namespace {

// The step every batch command takes for one file once its picture is in the full-size view:
// renders the thumbnail view from it, saves that picture as the thumbnail of `sourcePath` in
// `folder`, and lets the window repaint before the next file.
void SaveThumbnailOf(TForm1& form, InputBlock& block, const std::string& sourcePath,
                     const std::string& folder) {
    form.Button1Click(nullptr);
    form.Image2->Picture().SaveToFile(ThumbnailDestination(folder, ThumbnailFileName(sourcePath)));
    block.Repaint();
}

// Walks every entry of the list: moves the focus to it, previews it and saves its thumbnail under
// the folder that `targetFolder` gives at that moment. An entry whose file the preview could not
// load gets no thumbnail, so that no other file's picture is ever written under its name; the
// preview has already told the user why. A file that loads but fails to render ends the command
// with that failure.
void ThumbnailsOfAllEntries(TForm1& form, InputBlock& block,
                            const std::function<std::string()>& targetFolder) {
    const int count = form.RzListBox1->Count();
    for (int i = 0; i < count; ++i) {
        form.RzListBox1->SetItemIndex(i);
        if (form.PreviewSelectedEntry())
            SaveThumbnailOf(form, block, form.RzListBox1->Item(i), targetFolder());
    }
}

} // namespace

void TForm1::RzButton2Click(QObject*) {
    if (RzListBox1->Count() == 0)
        throw EAbort();
    InputBlock block(this);
    RzListBox1->SetItemIndex(0);
    ThumbnailsOfAllEntries(*this, block, [this] { return ShellTreeView1->Path(); });
    Application->ShowMessage(Texts::OperationDone);
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
    Application->ShowMessage(Texts::OperationDone);
}

void TForm1::N2Click(QObject*) {
    InputBlock block(this);
    for (const int i : RzListBox1->SelectedRows()) {
        Image1->Picture().LoadFromFile(RzListBox1->Item(i));
        SaveThumbnailOf(*this, block, RzListBox1->Item(i), ShellTreeView1->Path());
    }
    ShellTreeView1Click(nullptr);
}
