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
    for (const int size : IconSizes)
        icon.addFile(QStringLiteral(":/icon%1.png").arg(size), QSize(size, size));
    return icon;
}

QByteArray PlaceholderJpeg() {
    InitResources();
    QFile file(QStringLiteral(":/placeholder.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
