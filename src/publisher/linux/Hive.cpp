#include "publisher/linux/Hive.h"

#include "common/linux/XdgPaths.h"
#include "common/qt/Logging.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <sys/stat.h>

namespace tessaly {

namespace {

constexpr int kSchemaVersion = 1;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS keys(
    id INTEGER PRIMARY KEY,
    parent INTEGER REFERENCES keys(id) ON DELETE CASCADE,
    name TEXT NOT NULL COLLATE NOCASE,
    UNIQUE(parent, name));
CREATE TABLE IF NOT EXISTS key_values(
    key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,
    name TEXT NOT NULL COLLATE NOCASE,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY(key, name)) WITHOUT ROWID;
INSERT OR IGNORE INTO keys(id, parent, name) VALUES(1, NULL, '');
PRAGMA user_version = 1;
)sql";

bool isNotADatabase(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

} // namespace

QString HivePath()
{
    // The one XDG rule of the program: a relative XDG_DATA_HOME means the default too.
    QString dataHome = QFile::decodeName(QByteArray::fromStdString(XdgDataHome()));
    if (dataHome == QLatin1String("/"))
        dataHome.clear();
    return dataHome + QStringLiteral("/tessaly/registry/HKEY_CURRENT_USER.sqlite3");
}

Hive::Hive(QString path) : path_(std::move(path)) {}

Hive::~Hive()
{
    close();
}

void Hive::close()
{
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

bool Hive::isSameFile() const
{
    struct stat info {};
    return ::stat(QFile::encodeName(path_).constData(), &info) == 0 && info.st_dev == device_ &&
           info.st_ino == inode_;
}

bool Hive::open(bool revalidate)
{
    if (db_ && (!revalidate || isSameFile()))
        return true;
    close();
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        qCWarning(lcPublisher) << "cannot create the registry folder for" << path_;
        return false;
    }
    int rc = openFile();
    if (rc == SQLITE_OK)
        rc = prepareSchema();
    if (isNotADatabase(rc)) {
        close();
        moveAside();
        rc = openFile();
        if (rc == SQLITE_OK)
            rc = prepareSchema();
    }
    if (rc != SQLITE_OK) {
        qCWarning(lcPublisher) << "cannot open the registry hive" << path_ << ":"
                               << sqlite3_errstr(rc);
        close();
        return false;
    }
    struct stat info {};
    if (::stat(QFile::encodeName(path_).constData(), &info) == 0) {
        device_ = info.st_dev;
        inode_ = info.st_ino;
    }
    ++generation_;
    return true;
}

int Hive::openFile()
{
    const QByteArray file = QFile::encodeName(path_);
    int rc = sqlite3_open_v2(file.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    if (rc != SQLITE_OK)
        return rc;
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // Reading the journal mode is the first access to the file's header: a file that is not a
    // database fails here. With WAL, NORMAL keeps every commit atomic and consistent and leaves
    // the fsyncs to the checkpoint.
    rc = sqlite3_exec(db_,
                      "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; "
                      "PRAGMA foreign_keys = ON;",
                      nullptr, nullptr, nullptr);
    return rc;
}

int Hive::prepareSchema()
{
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, "PRAGMA user_version", -1, &stmt, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    rc = sqlite3_step(stmt);
    const int version = rc == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW)
        return rc;
    if (version >= kSchemaVersion)
        return SQLITE_OK;
    // Only a new file needs the schema; an existing hive is never written just for opening it.
    rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    rc = sqlite3_exec(db_, kSchema, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return rc;
}

void Hive::moveAside()
{
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddTHHmmsszzzZ"));
    QString target = path_ + QStringLiteral(".corrupt-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target =
            path_ + QStringLiteral(".corrupt-") + stamp + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(path_, target)) {
        qCWarning(lcPublisher) << "registry hive" << path_
                               << "is not a database and cannot be moved aside";
        return;
    }
    // A journal left beside the broken file belongs to it, not to the fresh hive.
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString side = path_ + QLatin1String(suffix);
        if (QFileInfo::exists(side) && !QFile::rename(side, target + QLatin1String(suffix)))
            QFile::remove(side);
    }
    qCWarning(lcPublisher).noquote() << "registry hive" << path_ << "is not a database; moved it to"
                                     << target << "and started a fresh hive";
}

} // namespace tessaly
