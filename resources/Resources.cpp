#include "resources/Resources.h"

#include <QFile>

// Referencing the resource's initialiser keeps it in the program when linked from a static
// library. The macro declares the initialiser, so this cannot sit in a namespace.
static void InitResources() {
    Q_INIT_RESOURCE(corvantis);
}

QIcon ApplicationIcon() {
    InitResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon16.xpm"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icon32.xpm"), QSize(32, 32));
    return icon;
}

QByteArray PlaceholderJpeg() {
    InitResources();
    QFile file(QStringLiteral(":/placeholder.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
