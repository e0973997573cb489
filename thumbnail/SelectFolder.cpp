// The folder dialog of the chosen-folder command.
#include "app/Unit1.h"

#include "platform/Texts.h"
#include "widgets/Application.h"

std::string TForm1::SelectFolder() {
    return Application->CurrentPresenter().ChooseFolder(this, Texts::ChooseFolderTitle);
}
