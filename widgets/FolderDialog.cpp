#include "widgets/FolderDialog.h"

#include "platform/Texts.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFolderDialog::TFolderDialog(QWidget* owner, const std::string& title)
    : QDialog(owner), tree_(new TShellTreeView(this)), field_(new QLineEdit(this)) {
    setWindowTitle(QString::fromUtf8(title));
    setModal(true);
    // A window of its own does not take its owner's font by itself.
    if (owner)
        setFont(owner->font());
    resize(330, 420);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons->addButton(QString::fromUtf8(Texts::OkButton), QDialogButtonBox::AcceptRole);
    buttons->addButton(QString::fromUtf8(Texts::CancelButton), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(title), this));
    layout->addWidget(tree_, 1);
    layout->addWidget(field_);
    layout->addWidget(buttons);

    connect(tree_, &QTreeWidget::itemSelectionChanged, this, [this] { ShowSelectedFolder(); });
    ShowSelectedFolder();
    setTabOrder(tree_, field_);
    tree_->setFocus();
}

void TFolderDialog::ShowSelectedFolder() {
    shownPath_ = QFile::decodeName(QByteArray::fromStdString(tree_->Path()));
    field_->setText(shownPath_);
}

std::string TFolderDialog::ChosenFolder() const {
    // The shown text of a name that is not valid UTF-8 no longer holds its bytes.
    if (field_->text() == shownPath_)
        return tree_->Path();
    return QFile::encodeName(field_->text()).toStdString();
}

std::string ChooseFolderModal(QWidget* owner, const std::string& title) {
    TFolderDialog dialog(owner, title);
    return dialog.exec() == QDialog::Accepted ? dialog.ChosenFolder() : std::string();
}
