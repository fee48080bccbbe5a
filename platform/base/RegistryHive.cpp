#include "platform/base/detail/RegistryHive.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace ce {
namespace {

// Version of the table layout below, kept in PRAGMA user_version. A hive
// written by a newer layout is refused rather than misread.
constexpr int kSchemaVersion = 1;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS reg_keys (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER NOT NULL,
  name TEXT NOT NULL,
  name_lower TEXT NOT NULL,
  UNIQUE (parent, name_lower));
CREATE TABLE IF NOT EXISTS reg_values (
  id INTEGER PRIMARY KEY,
  key_id INTEGER NOT NULL,
  name TEXT NOT NULL,
  name_lower TEXT NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  UNIQUE (key_id, name_lower));
INSERT OR IGNORE INTO reg_keys (id, parent, name, name_lower) VALUES
  (1, 0, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),
  (2, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'),
  (3, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine');
PRAGMA user_version = 1;
)sql";

// The subtree below ?1, ?1 itself included or not.
#define CE_SUBTREE_WITH_SELF                                                  \
  "WITH RECURSIVE sub(id) AS (VALUES(?1) UNION ALL "                          \
  "SELECT k.id FROM reg_keys k JOIN sub ON k.parent = sub.id) "
#define CE_SUBTREE_BELOW                                                      \
  "WITH RECURSIVE sub(id) AS (SELECT id FROM reg_keys WHERE parent = ?1 "     \
  "UNION ALL SELECT k.id FROM reg_keys k JOIN sub ON k.parent = sub.id) "

LONG FromSqlite(int rc, LONG fallback) {
  switch (rc & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return ERROR_BADDB;
    case SQLITE_NOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_FULL:
      return ERROR_DISK_FULL;
    case SQLITE_TOOBIG:
      return ERROR_INVALID_PARAMETER;
    default:
      return fallback;
  }
}

bool IsRoot(int64_t key) { return key >= RegistryHive::kClassesRootId && key <= RegistryHive::kLocalMachineId; }

// Copies stored data into the caller's buffer with the RegQueryValueEx rules.
LONG CopyData(const void* stored, size_t storedSize, BYTE* data, DWORD* dataSize) {
  if (dataSize == nullptr) return ERROR_SUCCESS;
  DWORD room = *dataSize;
  *dataSize = static_cast<DWORD>(storedSize);
  if (data == nullptr) return ERROR_SUCCESS;
  if (room < storedSize) return ERROR_MORE_DATA;
  if (storedSize > 0) std::memcpy(data, stored, storedSize);
  return ERROR_SUCCESS;
}

}  // namespace

// One transaction: rolled back unless committed.
class RegistryHive::Transaction {
 public:
  Transaction(RegistryHive& hive, bool write) : hive_(hive) {
    RegistryStatement::Use begin(write ? hive.beginWrite_ : hive.begin_);
    rc_ = begin->Step();
    open_ = rc_ == SQLITE_DONE;
  }
  ~Transaction() {
    if (!open_) return;
    RegistryStatement::Use rollback(hive_.rollback_);
    rollback->Step();
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  bool Began() const { return open_; }
  int BeginError() const { return rc_; }
  int Commit() {
    RegistryStatement::Use commit(hive_.commit_);
    int rc = commit->Step();
    if (rc == SQLITE_DONE) open_ = false;
    return rc;
  }

 private:
  RegistryHive& hive_;
  int rc_;
  bool open_;
};

LONG RegistryHive::Open(const std::filesystem::path& file, std::unique_ptr<RegistryHive>* hive) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(file.c_str(), &db,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close_v2(db);
    return ERROR_CANTOPEN;
  }
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  std::unique_ptr<RegistryHive> opened(new RegistryHive(db));
  // Normal sync is durable against a crashed process in WAL mode; RegFlushKey
  // syncs to disk when a caller needs more.
  // Switching a new database to WAL needs it to itself for a moment, and
  // SQLite answers "busy" at once instead of waiting when another process
  // opens the same new file; so wait here, in real time, as the busy timeout
  // would.
  for (int waited = 0;; waited += kJournalRetryMs) {
    // A file that is neither a new database nor a hive is refused before
    // anything is written to it: no journal switch, no tables.
    rc = opened->CheckIsHive();
    if (rc == SQLITE_OK) {
      rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                        nullptr);
    }
    if ((rc & 0xFF) != SQLITE_BUSY || waited >= kBusyTimeoutMs) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(kJournalRetryMs));
  }
  if (rc == SQLITE_OK) rc = opened->CreateSchema();
  if (rc == SQLITE_OK) rc = opened->PrepareAll();
  if (rc != SQLITE_OK) return FromSqlite(rc, rc == SQLITE_ERROR ? ERROR_BADDB : ERROR_CANTOPEN);
  *hive = std::move(opened);
  return ERROR_SUCCESS;
}

RegistryHive::~RegistryHive() {
  // The statements are finalised after this body; close_v2 waits for them.
  sqlite3_close_v2(db_);
}

int RegistryHive::CheckIsHive() {
  sqlite3_stmt* statement = nullptr;
  int rc = sqlite3_prepare_v2(
      db_, "SELECT (SELECT count(*) FROM sqlite_master), (SELECT user_version FROM pragma_user_version)",
      -1, &statement, nullptr);
  if (rc != SQLITE_OK) return rc;
  rc = sqlite3_step(statement);
  bool empty = rc == SQLITE_ROW && sqlite3_column_int64(statement, 0) == 0 &&
               sqlite3_column_int(statement, 1) == 0;
  bool hive = rc == SQLITE_ROW && sqlite3_column_int(statement, 1) == kSchemaVersion;
  sqlite3_finalize(statement);
  if (rc != SQLITE_ROW) return rc;
  return empty || hive ? SQLITE_OK : SQLITE_NOTADB;
}

int RegistryHive::CreateSchema() {
  for (int attempt = 0; attempt < 2; ++attempt) {
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(db_, "PRAGMA user_version", -1, &statement, nullptr);
    if (rc != SQLITE_OK) return rc;
    rc = sqlite3_step(statement);
    int version = rc == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_finalize(statement);
    if (rc != SQLITE_ROW) return rc;
    if (version == kSchemaVersion) return SQLITE_OK;
    if (version > kSchemaVersion || attempt > 0) return SQLITE_NOTADB;
    // Another process may create the tables at the same moment; the
    // IMMEDIATE transaction makes one of us wait, and IF NOT EXISTS / OR
    // IGNORE make the second creation harmless.
    rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db_, kSchema, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      return rc;
    }
  }
  return SQLITE_NOTADB;
}

int RegistryHive::PrepareAll() {
  struct Entry {
    RegistryStatement* statement;
    const char* sql;
  };
  const Entry entries[] = {
      {&begin_, "BEGIN"},
      {&beginWrite_, "BEGIN IMMEDIATE"},
      {&commit_, "COMMIT"},
      {&rollback_, "ROLLBACK"},
      {&keyExists_, "SELECT 1 FROM reg_keys WHERE id = ?1"},
      {&findChild_, "SELECT id FROM reg_keys WHERE parent = ?1 AND name_lower = ?2"},
      {&insertKey_, "INSERT INTO reg_keys (parent, name, name_lower) VALUES (?1, ?2, ?3)"},
      {&hasChildren_, "SELECT 1 FROM reg_keys WHERE parent = ?1 LIMIT 1"},
      {&deleteKey_, "DELETE FROM reg_keys WHERE id = ?1"},
      {&deleteTreeValues_, CE_SUBTREE_WITH_SELF "DELETE FROM reg_values WHERE key_id IN sub"},
      {&deleteTreeKeys_, CE_SUBTREE_BELOW "DELETE FROM reg_keys WHERE id IN sub"},
      {&queryValue_, "SELECT type, data FROM reg_values WHERE key_id = ?1 AND name_lower = ?2"},
      {&setValue_,
       "INSERT INTO reg_values (key_id, name, name_lower, type, data) VALUES (?1, ?2, ?3, ?4, ?5) "
       "ON CONFLICT (key_id, name_lower) DO UPDATE SET type = excluded.type, data = excluded.data"},
      {&deleteValue_, "DELETE FROM reg_values WHERE key_id = ?1 AND name_lower = ?2"},
      {&enumKey_, "SELECT name FROM reg_keys WHERE parent = ?1 ORDER BY id LIMIT 1 OFFSET ?2"},
      {&enumValue_,
       "SELECT name, type, data FROM reg_values WHERE key_id = ?1 ORDER BY id LIMIT 1 OFFSET ?2"},
      {&listValues_, "SELECT name, type, data FROM reg_values WHERE key_id = ?1 ORDER BY id"},
      {&listSubKeys_, "SELECT name FROM reg_keys WHERE parent = ?1 ORDER BY id"},
  };
  for (const Entry& entry : entries) {
    int rc = entry.statement->Prepare(db_, entry.sql);
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

bool RegistryHive::KeyExists(int64_t key, int* rc) {
  RegistryStatement::Use exists(keyExists_);
  exists->Bind(1, key);
  *rc = exists->Step();
  return *rc == SQLITE_ROW;
}

LONG RegistryHive::CheckKey(int64_t key) {
  if (IsRoot(key)) return ERROR_SUCCESS;  // the roots are never deleted
  int rc;
  if (KeyExists(key, &rc)) return ERROR_SUCCESS;
  return rc == SQLITE_DONE ? ERROR_KEY_DELETED : FromSqlite(rc, ERROR_CANTREAD);
}

LONG RegistryHive::AbsentOr(LONG absent, int64_t key) {
  LONG check = CheckKey(key);
  return check == ERROR_SUCCESS ? absent : check;
}

int RegistryHive::FindChild(int64_t parent, const RegistryName& name, int64_t* child) {
  RegistryStatement::Use find(findChild_);
  find->Bind(1, parent);
  find->Bind(2, name.lower);
  int rc = find->Step();
  if (rc == SQLITE_ROW) *child = find->Int(0);
  return rc;
}

LONG RegistryHive::Resolve(int64_t base, const std::vector<RegistryName>& path, int64_t* key,
                           LONG readError) {
  LONG check = CheckKey(base);
  if (check != ERROR_SUCCESS) return check;
  int64_t current = base;
  for (const RegistryName& component : path) {
    int rc = FindChild(current, component, &current);
    if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
    if (rc != SQLITE_ROW) return FromSqlite(rc, readError);
  }
  *key = current;
  return ERROR_SUCCESS;
}

LONG RegistryHive::OpenKey(int64_t base, const std::vector<RegistryName>& path, int64_t* key) {
  Transaction transaction(*this, false);
  if (!transaction.Began()) return FromSqlite(transaction.BeginError(), ERROR_CANTREAD);
  return Resolve(base, path, key, ERROR_CANTREAD);
}

LONG RegistryHive::CreateKey(int64_t base, const std::vector<RegistryName>& path, int64_t* key,
                             DWORD* disposition) {
  Transaction transaction(*this, true);
  if (!transaction.Began()) return FromSqlite(transaction.BeginError(), ERROR_CANTWRITE);
  LONG check = CheckKey(base);
  if (check != ERROR_SUCCESS) return check;
  int64_t current = base;
  bool created = false;
  for (const RegistryName& component : path) {
    int rc = FindChild(current, component, &current);
    if (rc == SQLITE_ROW) continue;
    if (rc != SQLITE_DONE) return FromSqlite(rc, ERROR_CANTWRITE);
    RegistryStatement::Use insert(insertKey_);
    insert->Bind(1, current);
    insert->Bind(2, component.name);
    insert->Bind(3, component.lower);
    rc = insert->Step();
    if (rc != SQLITE_DONE) return FromSqlite(rc, ERROR_CANTWRITE);
    current = sqlite3_last_insert_rowid(db_);
    created = true;
  }
  int rc = transaction.Commit();
  if (rc != SQLITE_DONE) return FromSqlite(rc, ERROR_CANTWRITE);
  *key = current;
  if (disposition != nullptr) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  return ERROR_SUCCESS;
}

LONG RegistryHive::DeleteKey(int64_t base, const std::vector<RegistryName>& path, bool withSubkeys) {
  Transaction transaction(*this, true);
  if (!transaction.Began()) return FromSqlite(transaction.BeginError(), ERROR_CANTWRITE);
  int64_t key = 0;
  LONG error = Resolve(base, path, &key, ERROR_CANTWRITE);
  if (error != ERROR_SUCCESS) return error;
  if (IsRoot(key)) return ERROR_ACCESS_DENIED;
  int rc;
  if (!withSubkeys) {
    RegistryStatement::Use children(hasChildren_);
    children->Bind(1, key);
    rc = children->Step();
    if (rc == SQLITE_ROW) return ERROR_ACCESS_DENIED;
    if (rc != SQLITE_DONE) return FromSqlite(rc, ERROR_CANTWRITE);
  }
  for (RegistryStatement* statement : {&deleteTreeValues_, &deleteTreeKeys_, &deleteKey_}) {
    RegistryStatement::Use remove(*statement);
    remove->Bind(1, key);
    rc = remove->Step();
    if (rc != SQLITE_DONE) return FromSqlite(rc, ERROR_CANTWRITE);
  }
  rc = transaction.Commit();
  return rc == SQLITE_DONE ? ERROR_SUCCESS : FromSqlite(rc, ERROR_CANTWRITE);
}

LONG RegistryHive::DeleteContents(int64_t key) {
  Transaction transaction(*this, true);
  if (!transaction.Began()) return FromSqlite(transaction.BeginError(), ERROR_CANTWRITE);
  LONG check = CheckKey(key);
  if (check != ERROR_SUCCESS) return check;
  int rc;
  for (RegistryStatement* statement : {&deleteTreeValues_, &deleteTreeKeys_}) {
    RegistryStatement::Use remove(*statement);
    remove->Bind(1, key);
    rc = remove->Step();
    if (rc != SQLITE_DONE) return FromSqlite(rc, ERROR_CANTWRITE);
  }
  rc = transaction.Commit();
  return rc == SQLITE_DONE ? ERROR_SUCCESS : FromSqlite(rc, ERROR_CANTWRITE);
}

LONG RegistryHive::QueryValue(int64_t key, const RegistryName& name, DWORD* type, BYTE* data,
                              DWORD* dataSize) {
  // One statement is one consistent snapshot: a value row exists only while
  // its key does, so the key is checked only when the value is absent.
  {
    RegistryStatement::Use query(queryValue_);
    query->Bind(1, key);
    query->Bind(2, name.lower);
    int rc = query->Step();
    if (rc == SQLITE_ROW) {
      if (type != nullptr) *type = static_cast<DWORD>(query->Int(0));
      return CopyData(query->Blob(1), query->Bytes(1), data, dataSize);
    }
    if (rc != SQLITE_DONE) return FromSqlite(rc, ERROR_CANTREAD);
  }
  return AbsentOr(ERROR_FILE_NOT_FOUND, key);
}

LONG RegistryHive::SetValue(int64_t key, const RegistryName& name, DWORD type, const BYTE* data,
                            DWORD size) {
  Transaction transaction(*this, true);
  if (!transaction.Began()) return FromSqlite(transaction.BeginError(), ERROR_CANTWRITE);
  LONG check = CheckKey(key);
  if (check != ERROR_SUCCESS) return check;
  int rc;
  {
    RegistryStatement::Use set(setValue_);
    set->Bind(1, key);
    set->Bind(2, name.name);
    set->Bind(3, name.lower);
    set->Bind(4, static_cast<int64_t>(type));
    set->BindBlob(5, data, size);
    rc = set->Step();
  }
  if (rc != SQLITE_DONE) return FromSqlite(rc, ERROR_CANTWRITE);
  rc = transaction.Commit();
  return rc == SQLITE_DONE ? ERROR_SUCCESS : FromSqlite(rc, ERROR_CANTWRITE);
}

LONG RegistryHive::DeleteValue(int64_t key, const RegistryName& name) {
  Transaction transaction(*this, true);
  if (!transaction.Began()) return FromSqlite(transaction.BeginError(), ERROR_CANTWRITE);
  LONG check = CheckKey(key);
  if (check != ERROR_SUCCESS) return check;
  int rc;
  {
    RegistryStatement::Use remove(deleteValue_);
    remove->Bind(1, key);
    remove->Bind(2, name.lower);
    rc = remove->Step();
  }
  if (rc != SQLITE_DONE) return FromSqlite(rc, ERROR_CANTWRITE);
  if (sqlite3_changes(db_) == 0) return ERROR_FILE_NOT_FOUND;
  rc = transaction.Commit();
  return rc == SQLITE_DONE ? ERROR_SUCCESS : FromSqlite(rc, ERROR_CANTWRITE);
}

LONG RegistryHive::EnumKey(int64_t key, DWORD index, std::u16string* name) {
  {
    RegistryStatement::Use enumerate(enumKey_);
    enumerate->Bind(1, key);
    enumerate->Bind(2, static_cast<int64_t>(index));
    int rc = enumerate->Step();
    if (rc == SQLITE_ROW) {
      *name = enumerate->Text(0);
      return ERROR_SUCCESS;
    }
    if (rc != SQLITE_DONE) return FromSqlite(rc, ERROR_CANTREAD);
  }
  return AbsentOr(ERROR_NO_MORE_ITEMS, key);
}

LONG RegistryHive::EnumValue(int64_t key, DWORD index, RegistryValue* value) {
  {
    RegistryStatement::Use enumerate(enumValue_);
    enumerate->Bind(1, key);
    enumerate->Bind(2, static_cast<int64_t>(index));
    int rc = enumerate->Step();
    if (rc == SQLITE_ROW) {
      value->name = enumerate->Text(0);
      value->type = static_cast<DWORD>(enumerate->Int(1));
      const auto* bytes = static_cast<const BYTE*>(enumerate->Blob(2));
      value->data.assign(bytes, bytes + (bytes == nullptr ? 0 : enumerate->Bytes(2)));
      return ERROR_SUCCESS;
    }
    if (rc != SQLITE_DONE) return FromSqlite(rc, ERROR_CANTREAD);
  }
  return AbsentOr(ERROR_NO_MORE_ITEMS, key);
}

LONG RegistryHive::ListValues(int64_t key, std::vector<RegistryValue>* values) {
  values->clear();
  Transaction transaction(*this, false);
  if (!transaction.Began()) return FromSqlite(transaction.BeginError(), ERROR_CANTREAD);
  LONG check = CheckKey(key);
  if (check != ERROR_SUCCESS) return check;
  RegistryStatement::Use list(listValues_);
  list->Bind(1, key);
  int rc;
  while ((rc = list->Step()) == SQLITE_ROW) {
    RegistryValue value;
    value.name = list->Text(0);
    value.type = static_cast<DWORD>(list->Int(1));
    const auto* bytes = static_cast<const BYTE*>(list->Blob(2));
    if (bytes != nullptr) value.data.assign(bytes, bytes + list->Bytes(2));
    values->push_back(std::move(value));
  }
  return rc == SQLITE_DONE ? ERROR_SUCCESS : FromSqlite(rc, ERROR_CANTREAD);
}

LONG RegistryHive::ListSubKeys(int64_t key, std::vector<std::u16string>* names) {
  names->clear();
  Transaction transaction(*this, false);
  if (!transaction.Began()) return FromSqlite(transaction.BeginError(), ERROR_CANTREAD);
  LONG check = CheckKey(key);
  if (check != ERROR_SUCCESS) return check;
  RegistryStatement::Use list(listSubKeys_);
  list->Bind(1, key);
  int rc;
  while ((rc = list->Step()) == SQLITE_ROW) names->push_back(list->Text(0));
  return rc == SQLITE_DONE ? ERROR_SUCCESS : FromSqlite(rc, ERROR_CANTREAD);
}

LONG RegistryHive::Flush() {
  int rc = sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_FULL, nullptr, nullptr);
  // Busy means another process holds the log right now; what is committed
  // is in the log already and the next checkpoint moves it.
  if (rc == SQLITE_OK || (rc & 0xFF) == SQLITE_BUSY) return ERROR_SUCCESS;
  return FromSqlite(rc, ERROR_CANTWRITE);
}

}  // namespace ce
