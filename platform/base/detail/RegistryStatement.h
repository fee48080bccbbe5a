// Internal: one prepared SQLite statement of the registry hive, kept for the
// life of the connection and reset after every use.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace ce {

class RegistryStatement {
 public:
  // Resets the statement when the scope ends, so that its read lock and its
  // bound pointers never outlive the call that used it.
  class Use {
   public:
    explicit Use(RegistryStatement& statement) : statement_(statement) {}
    ~Use() { statement_.Reset(); }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    RegistryStatement* operator->() { return &statement_; }

   private:
    RegistryStatement& statement_;
  };

  RegistryStatement() = default;
  ~RegistryStatement() { sqlite3_finalize(statement_); }
  RegistryStatement(const RegistryStatement&) = delete;
  RegistryStatement& operator=(const RegistryStatement&) = delete;

  int Prepare(sqlite3* db, const char* sql) {
    return sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement_, nullptr);
  }

  // Binding failures (too big, out of memory) are kept and returned by Step.
  void Bind(int index, int64_t value) { Keep(sqlite3_bind_int64(statement_, index, value)); }
  // The text must outlive the step.
  void Bind(int index, std::u16string_view text) {
    Keep(sqlite3_bind_text16(statement_, index, text.data(),
                             static_cast<int>(text.size() * sizeof(char16_t)), SQLITE_STATIC));
  }
  // The bytes must outlive the step. Zero bytes bind an empty blob, not NULL.
  void BindBlob(int index, const void* data, size_t size) {
    if (size == 0) {
      Keep(sqlite3_bind_zeroblob(statement_, index, 0));
    } else if (size > static_cast<size_t>(INT32_MAX)) {
      Keep(SQLITE_TOOBIG);
    } else {
      Keep(sqlite3_bind_blob(statement_, index, data, static_cast<int>(size), SQLITE_STATIC));
    }
  }

  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step() { return bindError_ != SQLITE_OK ? bindError_ : sqlite3_step(statement_); }

  int64_t Int(int column) const { return sqlite3_column_int64(statement_, column); }
  std::u16string Text(int column) const {
    const void* text = sqlite3_column_text16(statement_, column);
    int bytes = sqlite3_column_bytes16(statement_, column);
    if (text == nullptr) return std::u16string();
    return std::u16string(static_cast<const char16_t*>(text), static_cast<size_t>(bytes) / 2);
  }
  // Valid until the statement is reset; null when the blob is empty.
  const void* Blob(int column) const { return sqlite3_column_blob(statement_, column); }
  size_t Bytes(int column) const { return static_cast<size_t>(sqlite3_column_bytes(statement_, column)); }

  void Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    bindError_ = SQLITE_OK;
  }

 private:
  void Keep(int rc) {
    if (bindError_ == SQLITE_OK && rc != SQLITE_OK) bindError_ = rc;
  }

  sqlite3_stmt* statement_ = nullptr;
  int bindError_ = SQLITE_OK;
};

}  // namespace ce
