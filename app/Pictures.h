// The program's pictures as icons, from the PNGs compiled in (resources/):
// the rendering at the picture's own size and the one at twice that size,
// so that Qt draws the sharp one at 100 % and at 200 % alike.
#pragma once

#include <QIcon>
#include <QString>

namespace tarvelo {

// `name` as in resources/icons/: "tarvelo", "calculate", "flag_de", ...
inline QIcon pictureIcon(const QString& name) {
    QIcon icon(QStringLiteral(":/icons/%1.png").arg(name));
    icon.addFile(QStringLiteral(":/icons/%1@2x.png").arg(name));
    return icon;
}

} // namespace tarvelo
