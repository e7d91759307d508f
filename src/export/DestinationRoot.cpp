#include "DestinationRoot.h"

#include <QRegularExpression>

QString DestinationRoot::fromDriveString(const QString &driveString)
{
#ifdef Q_OS_WIN
    return driveString.left(2);
#else
    static const QRegularExpression label(QStringLiteral(" \\[[^\\]]*\\]$"));
    QString root = driveString;
    root.remove(label);
    while (root.endsWith(QLatin1Char('/')))
        root.chop(1);
    return root;
#endif
}
