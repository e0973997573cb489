// The batch commands: thumbnails of every listed file, or of the selected ones.
#include "app/Unit1.h"

#include "platform/Exceptions.h"
#include "platform/Texts.h"
#include "thumbnail/ThumbnailFileName.h"
#include "widgets/Application.h"
#include "widgets/InputBlock.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace {

// The step every batch command takes for one file once its picture is in the full-size view:
// renders the thumbnail view from it and saves that picture as the thumbnail of `sourcePath` in
// `folder`.
void SaveThumbnailOf(TForm1& form, const std::string& sourcePath, const std::string& folder) {
    form.Button1Click(nullptr);
    form.Image2->Picture().SaveToFile(ThumbnailDestination(folder, ThumbnailFileName(sourcePath)));
}

// Walks every entry of the list: moves the focus to it, previews it and saves its thumbnail under
// the folder that `targetFolder` gives at that moment. An entry whose file the preview could not
// load gets no thumbnail, so that no other file's picture is ever written under its name; the
// preview has already told the user why. A file that loads but fails to render ends the command
// with that failure. The user may stop the walk between two files.
void ThumbnailsOfAllEntries(TForm1& form, InputBlock& block,
                            const std::function<std::string()>& targetFolder) {
    const int count = form.RzListBox1->Count();
    for (int i = 0; block.Continue(i, count); ++i) {
        form.RzListBox1->SetItemIndex(i);
        if (form.PreviewSelectedEntry())
            SaveThumbnailOf(form, form.RzListBox1->Item(i), targetFolder());
    }
}

} // namespace

void TForm1::RzButton2Click(QObject*) {
    if (RzListBox1->Count() == 0)
        throw EAbort();
    InputBlock block(this);
    RzListBox1->SetItemIndex(0);
    ThumbnailsOfAllEntries(*this, block, [this] { return ShellTreeView1->Path(); });
    Application->ShowMessage(block.Cancelled() ? Texts::OperationCancelled : Texts::OperationDone);
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
    Application->ShowMessage(block.Cancelled() ? Texts::OperationCancelled : Texts::OperationDone);
}

void TForm1::N2Click(QObject*) {
    InputBlock block(this);
    const std::vector<int> rows = RzListBox1->SelectedRows();
    for (std::size_t k = 0; block.Continue(k, rows.size()); ++k) {
        Image1->Picture().LoadFromFile(RzListBox1->Item(rows[k]));
        SaveThumbnailOf(*this, RzListBox1->Item(rows[k]), ShellTreeView1->Path());
    }
    if (block.Cancelled())
        Application->ShowMessage(Texts::OperationCancelled);
    ShellTreeView1Click(nullptr);
}
