// Deleting the selected files from the disk and their entries from the list.
#include "Unit1.h"

#include "FileSystem.h"

#include <vector>

void TForm1::N1Click(QObject*) {
    const int count = RzListBox1->Count();
    for (int i = 0; i < count; ++i) {
        if (RzListBox1->Selected(i))
            DeleteFile(RzListBox1->Item(i));
    }
    // Only entries whose files are gone leave the list; one whose file is still there (it could
    // not be deleted) stays selected, so the list never hides a file that exists. Survivors are
    // deselected for the removal and selected again at their new places.
    std::vector<int> survivorsAfterRemoval;
    int removedSoFar = 0;
    for (int i = 0; i < count; ++i) {
        if (!RzListBox1->Selected(i))
            continue;
        if (PathExists(RzListBox1->Item(i))) {
            RzListBox1->SetSelected(i, false);
            survivorsAfterRemoval.push_back(i - removedSoFar);
        } else {
            ++removedSoFar;
        }
    }
    RzListBox1->DeleteSelected();
    for (const int index : survivorsAfterRemoval)
        RzListBox1->SetSelected(index, true);
}
