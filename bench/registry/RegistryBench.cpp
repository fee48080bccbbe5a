// Registry latency against the bare database underneath it.
//
// Both sides use a database file of the same kind in one temporary device
// root (WAL, normal sync, the same busy timeout) filled with the same number
// of keys and values, so the ratio of each pair is what the registry layer
// (handles, path resolution, name folding, the existence checks and the lock)
// adds to one SQLite statement.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/base/DeviceRoot.h"
#include "platform/base/Registry.h"

namespace {

// Keys and values around the measured one, so lookups go through real indexes.
constexpr int kKeys = 200;
constexpr int kValuesPerKey = 5;
constexpr const char16_t* kKeyPath = u"Software\\Quendal\\zolfa";
const std::string kAccount = "0123456789abcdef0123456789abcdef";

class BenchDevice {
 public:
  BenchDevice() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ce-regbench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    root_ = pattern;
    if (!ce::OpenDeviceRoot(root_)) std::abort();
    FillRegistry();
    FillBaseline();
  }
  ~BenchDevice() {
    sqlite3_finalize(select_);
    sqlite3_finalize(insert_);
    sqlite3_close(baseline_);
    ce::CloseDeviceRoot();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  sqlite3* Baseline() { return baseline_; }
  sqlite3_stmt* Select() { return select_; }
  sqlite3_stmt* Insert() { return insert_; }

 private:
  void FillRegistry() {
    for (int k = 0; k < kKeys; ++k) {
      std::u16string path = k == 0 ? kKeyPath : u"Software\\Filler\\Key" + ce::FromUtf8(std::to_string(k));
      ce::HKEY key = nullptr;
      ce::RegCreateKeyEx(ce::HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, ce::KEY_WRITE, nullptr, &key,
                         nullptr);
      for (int v = 0; v < kValuesPerKey; ++v) {
        std::u16string name = u"account" + ce::FromUtf8(std::to_string(v));
        std::u16string data = ce::FromUtf8(kAccount);
        ce::RegSetValueEx(key, name.c_str(), 0, ce::REG_SZ, reinterpret_cast<const ce::BYTE*>(data.c_str()),
                          static_cast<ce::DWORD>((data.size() + 1) * 2));
      }
      ce::RegCloseKey(key);
    }
  }

  void FillBaseline() {
    std::string file = (root_ / "baseline.db").string();
    sqlite3_open_v2(file.c_str(), &baseline_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                    nullptr);
    sqlite3_busy_timeout(baseline_, 5000);
    sqlite3_exec(baseline_,
                 "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                 "CREATE TABLE kv (key TEXT NOT NULL, name TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
                 " PRIMARY KEY (key, name));",
                 nullptr, nullptr, nullptr);
    sqlite3_exec(baseline_, "BEGIN", nullptr, nullptr, nullptr);
    // The same upsert the registry uses, so an existing value keeps its row.
    sqlite3_prepare_v2(baseline_,
                       "INSERT INTO kv VALUES (?1, ?2, 4, ?3) "
                       "ON CONFLICT (key, name) DO UPDATE SET type = excluded.type, data = excluded.data",
                       -1, &insert_, nullptr);
    std::u16string data = ce::FromUtf8(kAccount);
    for (int k = 0; k < kKeys; ++k) {
      std::string key = k == 0 ? "software\\quendal\\zolfa" : std::string("software\\filler\\key") + std::to_string(k);
      for (int v = 0; v < kValuesPerKey; ++v) {
        std::string name = std::string("account") + std::to_string(v);
        sqlite3_bind_text(insert_, 1, key.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert_, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_blob(insert_, 3, data.c_str(), static_cast<int>((data.size() + 1) * 2), SQLITE_TRANSIENT);
        sqlite3_step(insert_);
        sqlite3_reset(insert_);
      }
    }
    sqlite3_exec(baseline_, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_prepare_v2(baseline_, "SELECT data FROM kv WHERE key = ?1 AND name = ?2", -1, &select_, nullptr);
  }

  std::filesystem::path root_;
  sqlite3* baseline_ = nullptr;
  sqlite3_stmt* select_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
};

BenchDevice& Device() {
  static BenchDevice device;
  return device;
}

void BM_RegOpenQueryClose(benchmark::State& state) {
  Device();
  ce::BYTE buffer[128];
  for (auto _ : state) {
    ce::HKEY key = nullptr;
    if (ce::RegOpenKeyEx(ce::HKEY_CURRENT_USER, kKeyPath, 0, ce::KEY_READ, &key) != ce::ERROR_SUCCESS) {
      state.SkipWithError("open failed");
      break;
    }
    ce::DWORD size = sizeof(buffer);
    if (ce::RegQueryValueEx(key, u"account0", nullptr, nullptr, buffer, &size) != ce::ERROR_SUCCESS) {
      state.SkipWithError("query failed");
    }
    ce::RegCloseKey(key);
    benchmark::DoNotOptimize(buffer);
  }
}
BENCHMARK(BM_RegOpenQueryClose);

void BM_RegQueryValueEx(benchmark::State& state) {
  Device();
  ce::HKEY key = nullptr;
  ce::RegOpenKeyEx(ce::HKEY_CURRENT_USER, kKeyPath, 0, ce::KEY_READ, &key);
  ce::BYTE buffer[128];
  for (auto _ : state) {
    ce::DWORD size = sizeof(buffer);
    if (ce::RegQueryValueEx(key, u"account0", nullptr, nullptr, buffer, &size) != ce::ERROR_SUCCESS) {
      state.SkipWithError("query failed");
      break;
    }
    benchmark::DoNotOptimize(buffer);
  }
  ce::RegCloseKey(key);
}
BENCHMARK(BM_RegQueryValueEx);

void BM_SqliteSelect(benchmark::State& state) {
  sqlite3_stmt* select = Device().Select();
  ce::BYTE buffer[128];
  for (auto _ : state) {
    sqlite3_bind_text(select, 1, "software\\quendal\\zolfa", -1, SQLITE_STATIC);
    sqlite3_bind_text(select, 2, "account0", -1, SQLITE_STATIC);
    if (sqlite3_step(select) != SQLITE_ROW) {
      state.SkipWithError("select failed");
      break;
    }
    size_t size = static_cast<size_t>(sqlite3_column_bytes(select, 0));
    if (size <= sizeof(buffer)) std::memcpy(buffer, sqlite3_column_blob(select, 0), size);
    sqlite3_reset(select);
    benchmark::DoNotOptimize(buffer);
  }
}
BENCHMARK(BM_SqliteSelect);

void BM_RegSetValueEx(benchmark::State& state) {
  Device();
  ce::HKEY key = nullptr;
  ce::RegOpenKeyEx(ce::HKEY_CURRENT_USER, kKeyPath, 0, ce::KEY_WRITE, &key);
  ce::DWORD counter = 0;
  for (auto _ : state) {
    ++counter;
    if (ce::RegSetValueEx(key, u"counter", 0, ce::REG_DWORD, reinterpret_cast<const ce::BYTE*>(&counter), 4) !=
        ce::ERROR_SUCCESS) {
      state.SkipWithError("set failed");
      break;
    }
  }
  ce::RegCloseKey(key);
}
BENCHMARK(BM_RegSetValueEx);

void BM_SqliteInsert(benchmark::State& state) {
  sqlite3* db = Device().Baseline();
  sqlite3_stmt* insert = Device().Insert();
  sqlite3_stmt* begin = nullptr;
  sqlite3_stmt* commit = nullptr;
  sqlite3_prepare_v2(db, "BEGIN IMMEDIATE", -1, &begin, nullptr);
  sqlite3_prepare_v2(db, "COMMIT", -1, &commit, nullptr);
  uint32_t counter = 0;
  for (auto _ : state) {
    ++counter;
    sqlite3_step(begin);
    sqlite3_reset(begin);
    sqlite3_bind_text(insert, 1, "software\\quendal\\zolfa", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 2, "counter", -1, SQLITE_STATIC);
    sqlite3_bind_blob(insert, 3, &counter, 4, SQLITE_STATIC);
    int rc = sqlite3_step(insert);
    sqlite3_reset(insert);
    sqlite3_step(commit);
    sqlite3_reset(commit);
    if (rc != SQLITE_DONE) {
      state.SkipWithError("insert failed");
      break;
    }
  }
  sqlite3_finalize(begin);
  sqlite3_finalize(commit);
}
BENCHMARK(BM_SqliteInsert);

}  // namespace

BENCHMARK_MAIN();
