// The preview of the selected file and the full-size view's wheel handler.
#include "app/Unit1.h"

#include "platform/Exceptions.h"
#include "platform/Texts.h"
#include "widgets/Application.h"

#include <algorithm>
#include <new>
#include <string>

namespace {

// The path the preview works on: the focused entry's text when at least one entry is selected,
// else "". The focused entry need not be one of the selected ones.
std::string SelectedEntryPath(const TRzListBox& list) {
    return list.HasSelection() ? list.Item(list.ItemIndex()) : std::string();
}

void ReportPreviewFailure(const Exception& failure) {
    Application->ShowMessage(Texts::SystemNotice + failure.Message());
    Application->ShowMessage(Texts::DamagedPicture);
}

} // namespace

void TForm1::RzListBox1Click(QObject*) {
    PreviewSelectedEntry();
}

bool TForm1::PreviewSelectedEntry() {
    try {
        try {
            Image1->Picture().LoadFromFile(SelectedEntryPath(*RzListBox1));
            Image2->Picture().LoadFromFile(SelectedEntryPath(*RzListBox1));
            try {
                Button1Click(nullptr);
            } catch (const Exception&) {
                // Both views hold the same file. The thumbnail view takes the full-size view's
                // data, which remembers a failure to decode, so that drawing it neither decodes
                // the file again nor reports it a second time.
                Image2->Picture().Graphic()->Assign(Image1->Picture().Graphic());
                throw;
            }
            const TPicture& thumbnail = Image2->Picture();
            StatusBar1->SetText(Texts::ThumbnailSizeStatus + std::to_string(thumbnail.Width()) +
                                "x" + std::to_string(thumbnail.Height()));
            Memo1->SetText(SelectedEntryPath(*RzListBox1));
        } catch (const std::bad_alloc&) {
            // Memory runs out on this road for a file's sake, so it is told like any bad file.
            throw EOutOfMemory();
        }
    } catch (const Exception& failure) {
        ReportPreviewFailure(failure);
        return false;
    }
    return true;
}

void TForm1::ScrollBox1MouseWheel(QObject*, Qt::KeyboardModifiers, int WheelDelta, QPoint,
                                  bool& Handled) {
    auto& bar = ScrollBox1->VertScrollBar();
    // One event moves one increment whatever its delta; the bar keeps the position in range.
    if (WheelDelta > 0)
        bar.SetPosition(std::max(bar.Position() - bar.Increment(), 0));
    if (WheelDelta < 0) {
        const int next = bar.Position() + bar.Increment();
        bar.SetPosition(next < bar.Range() ? next : bar.Range() - 1);
    }
    Handled = true;
}
