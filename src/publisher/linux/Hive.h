#pragma once

// The HKEY_CURRENT_USER hive: one SQLite file shared by Tessaly, tessaly-reg and the Messenger
// stand-in. Keys form a tree under the root key (id 1); names compare ASCII case-insensitively;
// values keep their type and raw bytes as given.

#include <QString>

struct sqlite3;

namespace tessaly {

// $XDG_DATA_HOME/tessaly/registry/HKEY_CURRENT_USER.sqlite3 (~/.local/share when XDG_DATA_HOME is
// unset, empty or relative).
QString HivePath();

class Hive {
public:
    static constexpr long long kRootKeyId = 1;
    static constexpr int kBusyTimeoutMs = 2000;

    explicit Hive(QString path);
    ~Hive();
    Hive(const Hive&) = delete;
    Hive& operator=(const Hive&) = delete;

    const QString& path() const { return path_; }
    // Opens the file (creating folder, file and schema when missing). A file that is not a
    // database is moved aside to <path>.corrupt-<timestamp> and a fresh hive takes its place.
    // An open connection is kept; with revalidate it is reopened when the path no longer names
    // the file it was opened on (deleted, or replaced by another program).
    bool open(bool revalidate = true);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    sqlite3* db() const { return db_; }
    // Changes each time a connection is opened: what was prepared on an earlier one is stale.
    unsigned long long generation() const { return generation_; }

private:
    int openFile();
    bool isSameFile() const;
    int prepareSchema();
    void moveAside();

    QString path_;
    sqlite3* db_ = nullptr;
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
    unsigned long long generation_ = 0;
};

} // namespace tessaly
