#include "publisher/linux/SqliteRegistry.h"

#include "common/qt/Logging.h"

#include <algorithm>
#include <cstring>
#include <sqlite3.h>
#include <string_view>

namespace tessaly {

namespace {} // namespace

// One use of a prepared statement the registry keeps: reset and unbound when the use ends, so
// that it holds no read transaction open and is ready for the next call.
class SqliteRegistry::Statement {
public:
    Statement(sqlite3_stmt* stmt, int rc) : stmt_(stmt), rc_(rc) {}
    ~Statement()
    {
        if (stmt_) {
            sqlite3_reset(stmt_);
            sqlite3_clear_bindings(stmt_);
        }
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return rc_ == SQLITE_OK; }
    int rc() const { return rc_; }
    Statement& bind(int index, long long value)
    {
        if (ok())
            rc_ = sqlite3_bind_int64(stmt_, index, value);
        return *this;
    }
    Statement& bindText(int index, std::string_view text)
    {
        if (ok())
            rc_ = sqlite3_bind_text(stmt_, index, text.data(), int(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bindBlob(int index, const void* data, std::size_t size)
    {
        // A zero-length blob, not NULL: the column is NOT NULL and empty data is a valid value.
        if (ok())
            rc_ = sqlite3_bind_blob(stmt_, index, size ? data : "", int(size), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int step()
    {
        if (!ok())
            return rc_;
        return sqlite3_step(stmt_);
    }
    long long integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string bytes(int column) const
    {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
        return std::string(data ? data : "", std::size_t(sqlite3_column_bytes(stmt_, column)));
    }

private:
    sqlite3_stmt* stmt_;
    int rc_;
};

namespace {

// A write transaction that rolls back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db) : db_(db)
    {
        rc_ = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    }
    ~Transaction()
    {
        if (rc_ == SQLITE_OK && !committed_)
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    int begun() const { return rc_; }
    int commit()
    {
        const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        committed_ = rc == SQLITE_OK;
        return rc;
    }

private:
    sqlite3* db_;
    int rc_;
    bool committed_ = false;
};

std::vector<std::string_view> components(const char* subKey)
{
    std::vector<std::string_view> parts;
    if (!subKey || !*subKey)
        return parts;
    std::string_view rest(subKey);
    // Every component counts, an empty one between two separators included.
    for (;;) {
        const auto separator = rest.find('\\');
        parts.push_back(rest.substr(0, separator));
        if (separator == std::string_view::npos)
            break;
        rest.remove_prefix(separator + 1);
    }
    return parts;
}

std::string_view nameOf(const char* valueName)
{
    return valueName ? valueName : "";
}

// The path as the hive compares it: ASCII letters folded, as COLLATE NOCASE does.
std::string foldedPath(const char* subKey)
{
    std::string path = subKey ? subKey : "";
    for (char& c : path)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return path;
}

constexpr char kFindKey[] = "SELECT id FROM keys WHERE parent = ? AND name = ?";
constexpr char kCreateKey[] = "INSERT INTO keys(parent, name) VALUES(?, ?) "
                              "ON CONFLICT(parent, name) DO NOTHING";
constexpr char kQueryValue[] = "SELECT name, type, data FROM key_values WHERE key = ? AND name = ?";
constexpr char kWriteValue[] = "INSERT INTO key_values(key, name, type, data) VALUES(?, ?, ?, ?) "
                               "ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, "
                               "data = excluded.data";
constexpr char kDeleteValue[] = "DELETE FROM key_values WHERE key = ? AND name = ?";
constexpr char kDeleteKey[] = "DELETE FROM keys WHERE id = ?";
constexpr char kListValues[] =
    "SELECT name, type, data FROM key_values WHERE key = ? ORDER BY name";
constexpr char kListSubKeys[] = "SELECT name FROM keys WHERE parent = ? ORDER BY name";
constexpr char kDataVersion[] = "PRAGMA data_version";

} // namespace

// Makes sure the hive is open for one call. While handles are open the connection stays as it
// is, since they name keys of that file.
class SqliteRegistry::Use {
public:
    explicit Use(SqliteRegistry& registry)
        : registry_(registry), ok_(registry.hive_.open(registry.handles_.empty()))
    {}
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    bool ok() const { return ok_; }
    sqlite3* db() const { return registry_.hive_.db(); }

private:
    SqliteRegistry& registry_;
    bool ok_;
};

SqliteRegistry::SqliteRegistry(QString hivePath) : hive_(std::move(hivePath)) {}

SqliteRegistry::~SqliteRegistry()
{
    forgetStatements();
}

void SqliteRegistry::forgetStatements()
{
    for (auto& [sql, stmt] : statements_)
        sqlite3_finalize(stmt);
    statements_.clear();
    paths_.clear();
    dataVersion_.reset();
}

SqliteRegistry::Statement SqliteRegistry::prepare(const char* sql)
{
    // Statements belong to the connection they were prepared on; a reopened hive needs new ones
    // (finalising the old ones lets the closed connection go).
    if (hiveGeneration_ != hive_.generation()) {
        forgetStatements();
        hiveGeneration_ = hive_.generation();
    }
    if (const auto it = statements_.find(sql); it != statements_.end())
        return Statement(it->second, SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    const int rc =
        sqlite3_prepare_v3(hive_.db(), sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return Statement(nullptr, rc);
    }
    statements_.emplace(sql, stmt);
    return Statement(stmt, SQLITE_OK);
}

bool SqliteRegistry::pathsStillValid()
{
    // Another connection's commit may have deleted or moved a key; this connection's own key
    // deletions clear the paths themselves.
    Statement version = prepare(kDataVersion);
    if (version.step() != SQLITE_ROW)
        return false;
    const long long current = version.integer(0);
    const bool same = dataVersion_ && *dataVersion_ == current;
    dataVersion_ = current;
    return same;
}

std::optional<long long> SqliteRegistry::keyId(RegKey key) const
{
    if (key == kHkeyCurrentUser)
        return Hive::kRootKeyId;
    if (const auto it = handles_.find(key); it != handles_.end())
        return it->second;
    return std::nullopt;
}

RegKey SqliteRegistry::newHandle(long long id)
{
    const RegKey handle = nextHandle_++;
    handles_[handle] = id;
    return handle;
}

RegStatus SqliteRegistry::failed(int rc, const char* what)
{
    const int primary = rc & 0xff;
    qCWarning(lcPublisher) << "registry" << what << "failed in" << hive_.path() << ":"
                           << sqlite3_errstr(rc);
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return kErrorLockViolation;
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
        return kErrorBadDb;
    return kErrorRegistryIoFailed;
}

RegStatus SqliteRegistry::findPath(long long from, const char* subKey, long long* id)
{
    long long current = from;
    for (const std::string_view part : components(subKey)) {
        Statement find = prepare(kFindKey);
        find.bind(1, current).bindText(2, part);
        const int rc = find.step();
        if (rc == SQLITE_DONE)
            return kErrorFileNotFound;
        if (rc != SQLITE_ROW)
            return failed(rc, "key lookup");
        current = find.integer(0);
    }
    *id = current;
    return kErrorSuccess;
}

RegStatus SqliteRegistry::createPath(long long from, const char* subKey, long long* id)
{
    long long current = from;
    for (const std::string_view part : components(subKey)) {
        {
            Statement create = prepare(kCreateKey);
            create.bind(1, current).bindText(2, part);
            if (const int rc = create.step(); rc != SQLITE_DONE)
                return failed(rc, "key creation");
        }
        Statement find = prepare(kFindKey);
        find.bind(1, current).bindText(2, part);
        const int rc = find.step();
        if (rc != SQLITE_ROW)
            return failed(rc == SQLITE_DONE ? SQLITE_ERROR : rc, "key creation");
        current = find.integer(0);
    }
    *id = current;
    return kErrorSuccess;
}

RegStatus SqliteRegistry::RegOpenKeyA(RegKey root, const char* subKey, RegKey* result)
{
    return openKey(root, subKey, result, /*create=*/false);
}

RegStatus SqliteRegistry::RegCreateKeyA(RegKey root, const char* subKey, RegKey* result)
{
    return openKey(root, subKey, result, /*create=*/true);
}

RegStatus SqliteRegistry::finished(int rc, const char* what)
{
    return rc == SQLITE_DONE ? kErrorSuccess : failed(rc, what);
}

RegStatus SqliteRegistry::withKey(RegKey key,
                                  const std::function<RegStatus(long long id, sqlite3* db)>& body)
{
    const auto id = keyId(key);
    if (!id)
        return kErrorInvalidHandle;
    Use use(*this);
    if (!use.ok())
        return kErrorRegistryIoFailed;
    return body(*id, use.db());
}

RegStatus SqliteRegistry::inTransaction(sqlite3* db, const char* what,
                                        const std::function<RegStatus()>& write)
{
    Transaction transaction(db);
    if (transaction.begun() != SQLITE_OK)
        return failed(transaction.begun(), what);
    if (const RegStatus status = write(); status != kErrorSuccess)
        return status;
    if (const int rc = transaction.commit(); rc != SQLITE_OK)
        return failed(rc, what);
    return kErrorSuccess;
}

template <typename OnRow>
RegStatus SqliteRegistry::listRows(RegKey key, const char* sql, const char* what, OnRow onRow)
{
    return withKey(key, [&](long long id, sqlite3*) {
        Statement list = prepare(sql);
        list.bind(1, id);
        int rc;
        while ((rc = list.step()) == SQLITE_ROW)
            onRow(list);
        return finished(rc, what);
    });
}

RegStatus SqliteRegistry::openKey(RegKey root, const char* subKey, RegKey* result, bool create)
{
    if (!result)
        return kErrorInvalidParameter;
    *result = 0;
    return withKey(root, [&](long long from, sqlite3* db) {
        // A key opened before is found again without a lookup while no other program has
        // changed the hive.
        if (!pathsStillValid())
            paths_.clear();
        std::pair<long long, std::string> path{from, foldedPath(subKey)};
        if (const auto known = paths_.find(path); known != paths_.end()) {
            *result = newHandle(known->second);
            return kErrorSuccess;
        }
        long long id = 0;
        // An existing key needs no write lock.
        RegStatus status = findPath(from, subKey, &id);
        if (create && status == kErrorFileNotFound)
            status =
                inTransaction(db, "key creation", [&] { return createPath(from, subKey, &id); });
        if (status != kErrorSuccess)
            return status;
        paths_.emplace(std::move(path), id);
        *result = newHandle(id);
        return kErrorSuccess;
    });
}

RegStatus SqliteRegistry::queryValue(long long key, const char* valueName, Value* value)
{
    Statement query = prepare(kQueryValue);
    query.bind(1, key).bindText(2, nameOf(valueName));
    const int rc = query.step();
    if (rc == SQLITE_DONE)
        return kErrorFileNotFound;
    if (rc != SQLITE_ROW)
        return failed(rc, "value query");
    value->name = query.bytes(0);
    value->type = std::uint32_t(query.integer(1));
    value->data = query.bytes(2);
    return kErrorSuccess;
}

RegStatus SqliteRegistry::RegQueryValueExA(RegKey key, const char* valueName,
                                           std::uint32_t* reserved, std::uint32_t* type,
                                           std::uint8_t* data, std::uint32_t* size)
{
    if (reserved || (data && !size))
        return kErrorInvalidParameter;
    Value value;
    if (const RegStatus status =
            withKey(key, [&](long long id, sqlite3*) { return queryValue(id, valueName, &value); });
        status != kErrorSuccess)
        return status;
    if (type)
        *type = value.type;
    if (!size)
        return kErrorSuccess;
    const auto needed = std::uint32_t(value.data.size());
    if (data && *size < needed) {
        *size = needed;
        return kErrorMoreData;
    }
    if (data)
        std::memcpy(data, value.data.data(), needed);
    *size = needed;
    return kErrorSuccess;
}

RegStatus SqliteRegistry::RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                                         std::uint32_t type, const std::uint8_t* data,
                                         std::uint32_t size)
{
    if (reserved != 0 || (!data && size != 0))
        return kErrorInvalidParameter;
    return withKey(key, [&](long long id, sqlite3* db) {
        return inTransaction(db, "value write", [&] {
            Statement write = prepare(kWriteValue);
            write.bind(1, id).bindText(2, nameOf(valueName)).bind(3, type).bindBlob(4, data, size);
            return finished(write.step(), "value write");
        });
    });
}

RegStatus SqliteRegistry::RegCloseKey(RegKey key)
{
    if (key == kHkeyCurrentUser)
        return kErrorSuccess;
    return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

RegStatus SqliteRegistry::RegDeleteValueA(RegKey key, const char* valueName)
{
    return withKey(key, [&](long long id, sqlite3* db) {
        return inTransaction(db, "value delete", [&] {
            Statement remove = prepare(kDeleteValue);
            remove.bind(1, id).bindText(2, nameOf(valueName));
            if (const int rc = remove.step(); rc != SQLITE_DONE)
                return failed(rc, "value delete");
            return sqlite3_changes(db) == 0 ? kErrorFileNotFound : kErrorSuccess;
        });
    });
}

RegStatus SqliteRegistry::RegDeleteTreeA(RegKey root, const char* subKey)
{
    return withKey(root, [&](long long from, sqlite3* db) {
        long long id = 0;
        if (const RegStatus status = findPath(from, subKey, &id); status != kErrorSuccess)
            return status;
        if (id == Hive::kRootKeyId)
            return kErrorInvalidParameter;
        // Paths at or below the key are gone; the others stay, but this is rare enough to start
        // afresh.
        paths_.clear();
        return inTransaction(db, "key delete", [&] {
            // Subkeys and values go with it through the foreign keys' cascade.
            Statement remove = prepare(kDeleteKey);
            remove.bind(1, id);
            return finished(remove.step(), "key delete");
        });
    });
}

RegStatus SqliteRegistry::ListValues(RegKey key, std::vector<Value>* values)
{
    return listRows(key, kListValues, "value listing", [values](const Statement& row) {
        values->push_back({row.bytes(0), std::uint32_t(row.integer(1)), row.bytes(2)});
    });
}

RegStatus SqliteRegistry::ListSubKeys(RegKey key, std::vector<std::string>* names)
{
    return listRows(key, kListSubKeys, "key listing",
                    [names](const Statement& row) { names->push_back(row.bytes(0)); });
}

} // namespace tessaly
