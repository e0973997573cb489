// The rendering handler of the main window: the hidden button's click, run by the preview and the
// batch commands.
#include "app/Unit1.h"
#include "platform/Exceptions.h"
#include "thumbnail/Rendering.h"

void TForm1::Button1Click(QObject*) {
    TGraphic* thumbnail = Image2->Picture().Graphic();
    // The thumbnail view holds a picture from start-up on and a failed load never empties it;
    // this only keeps a broken invariant from becoming a crash.
    if (!thumbnail)
        throw EConvertError::CannotAssign("TJPEGImage", "nil");
    RenderThumbnail(Image1->Picture(), *thumbnail, Edit1->Text());
    // The graphic changed in place, which tells the view nothing: it takes the thumbnail's size
    // and shows it from its left edge, not scrolled as the picture before it was.
    Image2->PictureChanged();
    ScrollBox2->HorzScrollBar().SetPosition(0);
}
