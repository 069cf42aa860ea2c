#include "watcher/RadioPlaylist.h"

#include "watcher/Logging.h"
#include "watcher/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>

namespace tessaly {

namespace {

#ifdef Q_OS_WIN
constexpr char kLineEnd[] = "\r\n";
#else
constexpr char kLineEnd[] = "\n";
#endif

constexpr char16_t kErrorLog[] = u"error.txt";

// One line in the locale's code page. A line break inside the text would split one entry into
// several, so each becomes a blank.
QByteArray EncodeLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QStringEncoder encode(QStringConverter::System);
    QByteArray bytes = encode(text);
    bytes.append(kLineEnd);
    return bytes;
}

// Appends bytes as a whole or not at all: a short write is cut back to the old end of the file.
bool AppendWhole(const QString& path, const QByteArray& bytes, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        error = file.errorString();
        return false;
    }
    const qint64 oldSize = file.size();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        error = file.errorString();
        file.resize(oldSize);
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

bool ShouldLogRadioTitle(int playlistSwitch, const QString& sMsg, const QString& sTitle)
{
    return playlistSwitch != 0 && !sMsg.isEmpty() && !sTitle.isEmpty();
}

RadioPlaylist::RadioPlaylist(QString folder) : folder_(std::move(folder)) {}

QString RadioPlaylist::PathOf(const QString& fileName) const
{
    if (QDir::isAbsolutePath(fileName))
        return fileName;
    return folder_ + QLatin1Char('/') + fileName;
}

QString RadioPlaylist::ErrorLine(const QString& fileName, const QString& description) const
{
    return QStringLiteral("An Error Ocured while opening the playlist file '") + PathOf(fileName) +
           QStringLiteral("'; ") + description;
}

bool RadioPlaylist::Append(const QString& fileName, const QString& sTitle) noexcept
{
    try {
        QString error;
        if (!EnsureFolder(folder_))
            error = QStringLiteral("cannot create the folder '%1'").arg(folder_);
        else if (AppendWhole(PathOf(fileName), EncodeLine(sTitle), error))
            return true;

        const QString line = ErrorLine(fileName, error);
        qCWarning(lcWatcher).noquote() << line;
        QString logError;
        if (!AppendWhole(PathOf(QString::fromUtf16(kErrorLog)), EncodeLine(line), logError))
            qCWarning(lcWatcher).noquote() << "cannot write error.txt:" << logError;
    } catch (const std::exception& e) {
        qCWarning(lcWatcher) << "playlist write failed:" << e.what();
    } catch (...) {
        qCWarning(lcWatcher) << "playlist write failed";
    }
    return false;
}

} // namespace tessaly
