// The batch commands: thumbnails of every listed file, or of the selected ones.
#include "app/Unit1.h"

#include "pictures/JPEGImage.h"
#include "platform/Exceptions.h"
#include "platform/Texts.h"
#include "thumbnail/DecodeAhead.h"
#include "thumbnail/ThumbnailFileName.h"
#include "thumbnail/ThumbnailSize.h"
#include "widgets/Application.h"
#include "widgets/InputBlock.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace {

// While it lives, the files of a command are decoded ahead of it on worker threads, and the main
// thread's decodes take the pixels decoded from the very bytes they are given.
class FilesAhead {
public:
    FilesAhead(const TForm1& form, std::vector<std::string> paths)
        : engine_(std::move(paths), TJPEGImage().DecodeOptions(), form.BatchDecodeAhead),
          supply_(engine_) {}

    // Called before the command starts on the file at `index` of its paths, right after the
    // window repainted for it (InputBlock::Continue), so that waiting for the file's decode
    // changes nothing on screen.
    void Before(std::size_t index, InputBlock& block) {
        engine_.WaitFor(index, [&block] { block.KeepPainting(); });
    }

private:
    DecodeAhead engine_;
    JpegDecodeSupply::Scope supply_;
};

// The step every batch command takes for one file once its picture is in the full-size view:
// renders the thumbnail view from it and saves that picture as the thumbnail of `sourcePath` in
// `folder`.
void SaveThumbnailOf(TForm1& form, const std::string& sourcePath, const std::string& folder) {
    form.Button1Click(nullptr);
    form.Image2->Picture().SaveToFile(ThumbnailDestination(folder, ThumbnailFileName(sourcePath)));
}

// Walks every entry of the list: moves the focus to it, previews it and saves its thumbnail under
// the folder that `targetFolder` gives at that moment. An entry whose preview failed gets no
// thumbnail, so that no other file's picture is ever written under its name and a bad file is not
// decoded again; the preview has already told the user why. A width text that is no integer is no
// file's fault and no file can pass it, so it ends the command. The user may stop the walk
// between two files.
void ThumbnailsOfAllEntries(TForm1& form, InputBlock& block,
                            const std::function<std::string()>& targetFolder) {
    const int count = form.RzListBox1->Count();
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back(form.RzListBox1->Item(i));
    FilesAhead ahead(form, std::move(paths));
    for (int i = 0; block.Continue(i, count); ++i) {
        ahead.Before(i, block);
        form.RzListBox1->SetItemIndex(i);
        if (!form.PreviewSelectedEntry()) {
            ThumbnailWidth(form.Edit1->Text()); // a width that is no integer ends the command
            continue;
        }
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
    std::vector<std::string> paths;
    for (const int row : RzListBox1->SelectedRows())
        paths.push_back(RzListBox1->Item(row));
    FilesAhead ahead(*this, paths);
    for (std::size_t k = 0; block.Continue(k, paths.size()); ++k) {
        ahead.Before(k, block);
        Image1->Picture().LoadFromFile(paths[k]);
        SaveThumbnailOf(*this, paths[k], ShellTreeView1->Path());
    }
    if (block.Cancelled())
        Application->ShowMessage(Texts::OperationCancelled);
    ShellTreeView1Click(nullptr);
}
