#include "watcher/ProgramFolder.h"

#include <QDir>

namespace tessaly {

QString ProgramFolder()
{
    // XDG: an unset, empty or relative value means the default.
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome + QStringLiteral("/Tessaly"));
}

bool EnsureFolder(const QString& folder)
{
    return QDir().mkpath(folder);
}

} // namespace tessaly
