// Internal: the registry hive of one device root, an SQLite database.
//
// Keys are rows of reg_keys (id, parent, name, name_lower); the three roots
// are the fixed rows 1 to 3 with parent 0. Values are rows of reg_values
// (key_id, name, name_lower, type, data) with their exact bytes. Key ids come
// from AUTOINCREMENT and are never reused, so an open handle whose key was
// deleted (by any process) finds its id gone and reports ERROR_KEY_DELETED
// instead of reaching a newer key. Creation order is id order.
//
// Every write is one BEGIN IMMEDIATE transaction; concurrent writers of other
// processes wait on the busy timeout instead of failing. The object itself is
// not thread-safe: the registry calls serialise on one lock.
#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/Registry.h"
#include "platform/base/detail/RegistryName.h"
#include "platform/base/detail/RegistryStatement.h"

namespace ce {

class RegistryHive {
 public:
  static constexpr int64_t kClassesRootId = 1;
  static constexpr int64_t kCurrentUserId = 2;
  static constexpr int64_t kLocalMachineId = 3;
  // How long a write waits for another process's transaction, in ms.
  static constexpr int kBusyTimeoutMs = 5000;
  // Pause between attempts to switch a new database to WAL.
  static constexpr int kJournalRetryMs = 5;

  // Opens the hive file, creating it and its tables when missing. A file
  // that is not a hive gives ERROR_BADDB and is left untouched.
  static LONG Open(const std::filesystem::path& file, std::unique_ptr<RegistryHive>* hive);
  ~RegistryHive();
  RegistryHive(const RegistryHive&) = delete;
  RegistryHive& operator=(const RegistryHive&) = delete;

  // ERROR_SUCCESS when the key still exists, ERROR_KEY_DELETED otherwise.
  LONG CheckKey(int64_t key);
  LONG OpenKey(int64_t base, const std::vector<RegistryName>& path, int64_t* key);
  LONG CreateKey(int64_t base, const std::vector<RegistryName>& path, int64_t* key,
                 DWORD* disposition);
  // withSubkeys false refuses a key that has subkeys (ERROR_ACCESS_DENIED).
  LONG DeleteKey(int64_t base, const std::vector<RegistryName>& path, bool withSubkeys);
  // Deletes the values and all subkeys of key, keeping key itself.
  LONG DeleteContents(int64_t key);

  // Fills type and data as RegQueryValueEx does (see Registry.h).
  LONG QueryValue(int64_t key, const RegistryName& name, DWORD* type, BYTE* data, DWORD* dataSize);
  LONG SetValue(int64_t key, const RegistryName& name, DWORD type, const BYTE* data, DWORD size);
  LONG DeleteValue(int64_t key, const RegistryName& name);

  // ERROR_NO_MORE_ITEMS past the last one.
  LONG EnumKey(int64_t key, DWORD index, std::u16string* name);
  LONG EnumValue(int64_t key, DWORD index, RegistryValue* value);
  LONG ListValues(int64_t key, std::vector<RegistryValue>* values);
  LONG ListSubKeys(int64_t key, std::vector<std::u16string>* names);

  // Moves the write-ahead log into the database file and syncs it.
  LONG Flush();

 private:
  class Transaction;

  explicit RegistryHive(sqlite3* db) : db_(db) {}
  int PrepareAll();
  // SQLITE_OK for a new (empty) database or a hive of this schema,
  // SQLITE_NOTADB for any other database; reads only.
  int CheckIsHive();
  int CreateSchema();
  // Looks up one child key; SQLITE_ROW with *child set, SQLITE_DONE, or an error.
  int FindChild(int64_t parent, const RegistryName& name, int64_t* child);
  // Resolves path from base inside the current transaction.
  LONG Resolve(int64_t base, const std::vector<RegistryName>& path, int64_t* key, LONG readError);
  // Distinguishes "no such row" from "the key itself is gone".
  LONG AbsentOr(LONG absent, int64_t key);
  bool KeyExists(int64_t key, int* rc);

  sqlite3* db_;
  RegistryStatement begin_;
  RegistryStatement beginWrite_;
  RegistryStatement commit_;
  RegistryStatement rollback_;
  RegistryStatement keyExists_;
  RegistryStatement findChild_;
  RegistryStatement insertKey_;
  RegistryStatement hasChildren_;
  RegistryStatement deleteKey_;
  RegistryStatement deleteTreeValues_;
  RegistryStatement deleteTreeKeys_;
  RegistryStatement queryValue_;
  RegistryStatement setValue_;
  RegistryStatement deleteValue_;
  RegistryStatement enumKey_;
  RegistryStatement enumValue_;
  RegistryStatement listValues_;
  RegistryStatement listSubKeys_;
};

}  // namespace ce
