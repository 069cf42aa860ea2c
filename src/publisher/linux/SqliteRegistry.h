#pragma once

// The registry calls over the SQLite hive. One connection is kept for the object's life, since
// closing the last connection checkpoints the journal with two fsyncs (tens of milliseconds on
// a slow disk) on every call; it is reopened when the hive file has been deleted or replaced.
// Its statements are prepared once, and the key paths it opened are remembered until another
// connection commits a change.

#include "publisher/linux/Hive.h"
#include "publisher/Registry.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct sqlite3_stmt;

namespace tessaly {

class SqliteRegistry final : public Registry {
public:
    struct Value {
        std::string name;
        std::uint32_t type = kRegNone;
        std::string data;
    };

    explicit SqliteRegistry(QString hivePath = HivePath());
    ~SqliteRegistry() override;

    const QString& hivePath() const { return hive_.path(); }

    RegStatus RegOpenKeyA(RegKey root, const char* subKey, RegKey* result) override;
    RegStatus RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved,
                               std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* size) override;
    RegStatus RegCreateKeyA(RegKey root, const char* subKey, RegKey* result) override;
    RegStatus RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                             std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t size) override;
    RegStatus RegCloseKey(RegKey key) override;

    // What tessaly-reg needs beyond the writer's calls.
    RegStatus RegDeleteValueA(RegKey key, const char* valueName);
    // Deletes subKey with everything beneath it; the root itself cannot be deleted.
    RegStatus RegDeleteTreeA(RegKey root, const char* subKey);
    // Values in name order (the default value, named "", first) and subkey names in name order.
    RegStatus ListValues(RegKey key, std::vector<Value>* values);
    RegStatus ListSubKeys(RegKey key, std::vector<std::string>* names);

private:
    class Use;
    class Statement;
    // The statement for sql (one of this file's constants: the pointer is the cache's key),
    // prepared on first use; a failed one reports its code through ok() and rc().
    Statement prepare(const char* sql);
    void forgetStatements();
    // False when another connection has committed since the last call, or on the first call.
    bool pathsStillValid();
    std::optional<long long> keyId(RegKey key) const;
    // RegOpenKeyA and, with create, RegCreateKeyA.
    RegStatus openKey(RegKey root, const char* subKey, RegKey* result, bool create);
    RegStatus findPath(long long from, const char* subKey, long long* id);
    RegStatus createPath(long long from, const char* subKey, long long* id);
    RegStatus queryValue(long long key, const char* valueName, Value* value);
    RegKey newHandle(long long id);
    RegStatus failed(int rc, const char* what);
    // kErrorSuccess when the last step of a statement was SQLITE_DONE, else failed(rc, what).
    RegStatus finished(int rc, const char* what);
    // Runs body with the hive open and the id of key: kErrorInvalidHandle for a handle it does not
    // know, kErrorRegistryIoFailed when the hive cannot be opened.
    RegStatus withKey(RegKey key, const std::function<RegStatus(long long id, sqlite3* db)>& body);
    // Runs write in a write transaction and commits it when it succeeds; rolls back otherwise.
    // `what` names the write in a warning.
    RegStatus inTransaction(sqlite3* db, const char* what, const std::function<RegStatus()>& write);
    // Runs sql with key's id bound to its one parameter, handing each row to onRow.
    template <typename OnRow>
    RegStatus listRows(RegKey key, const char* sql, const char* what, OnRow onRow);

    Hive hive_;
    unsigned long long hiveGeneration_ = 0;
    std::map<const char*, sqlite3_stmt*> statements_;
    // (parent id, folded path) -> key id.
    std::map<std::pair<long long, std::string>, long long> paths_;
    std::optional<long long> dataVersion_;
    std::map<RegKey, long long> handles_;
    RegKey nextHandle_ = 0x1000;
};

} // namespace tessaly
