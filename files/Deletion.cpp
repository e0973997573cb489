// Deleting the selected files from the disk and their entries from the list.
#include "app/Unit1.h"

#include "platform/FileSystem.h"

#include <vector>

void TForm1::N1Click(QObject*) {
    const std::vector<int> selected = RzListBox1->SelectedRows();
    for (const int row : selected)
        DeleteFile(RzListBox1->Item(row));
    // Only entries whose files are gone leave the list; one whose file is still there (it could
    // not be deleted) stays selected, so the list never hides a file that exists. Survivors are
    // deselected for the removal and selected again at their new places.
    std::vector<int> survivorsAfterRemoval;
    int removedSoFar = 0;
    for (const int row : selected) {
        if (PathExists(RzListBox1->Item(row))) {
            RzListBox1->SetSelected(row, false);
            survivorsAfterRemoval.push_back(row - removedSoFar);
        } else {
            ++removedSoFar;
        }
    }
    RzListBox1->DeleteSelected();
    for (const int row : survivorsAfterRemoval)
        RzListBox1->SetSelected(row, true);
}
