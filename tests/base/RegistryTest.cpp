#include "platform/base/Registry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/testing/TestSupport.h"

extern char** environ;

namespace ce {
namespace {

std::vector<BYTE> Bytes(std::initializer_list<int> values) {
  std::vector<BYTE> bytes;
  for (int v : values) bytes.push_back(static_cast<BYTE>(v));
  return bytes;
}

// The bytes of a wide string, terminator included when asked.
std::vector<BYTE> WideBytes(std::u16string_view text, bool terminator) {
  std::u16string copy(text);
  if (terminator) copy.push_back(0);
  const auto* p = reinterpret_cast<const BYTE*>(copy.data());
  return std::vector<BYTE>(p, p + copy.size() * sizeof(char16_t));
}

class RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (HKEY key : open_) RegCloseKey(key);
  }

  HKEY Create(HKEY root, const char16_t* path, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                             &key, disposition),
              ERROR_SUCCESS);
    open_.push_back(key);
    return key;
  }

  LONG Open(HKEY root, const char16_t* path, HKEY* key) {
    LONG rc = RegOpenKeyEx(root, path, 0, KEY_READ, key);
    if (rc == ERROR_SUCCESS) open_.push_back(*key);
    return rc;
  }

  void Set(HKEY key, const char16_t* name, DWORD type, const std::vector<BYTE>& data) {
    ASSERT_EQ(RegSetValueEx(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
  }

  // The stored type and bytes, read with a size query and then an exact buffer.
  LONG Get(HKEY key, const char16_t* name, DWORD* type, std::vector<BYTE>* data) {
    DWORD size = 0;
    LONG rc = RegQueryValueEx(key, name, nullptr, type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    data->assign(size, 0xCC);
    return RegQueryValueEx(key, name, nullptr, type, data->data(), &size);
  }

  std::vector<std::u16string> SubKeys(HKEY key) {
    std::vector<std::u16string> names;
    for (DWORD i = 0;; ++i) {
      char16_t name[256];
      DWORD length = 256;
      LONG rc = RegEnumKeyEx(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (rc != ERROR_SUCCESS) {
        EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
        break;
      }
      names.emplace_back(name, length);
    }
    return names;
  }

  std::vector<std::u16string> ValueNames(HKEY key) {
    std::vector<std::u16string> names;
    for (DWORD i = 0;; ++i) {
      char16_t name[256];
      DWORD length = 256;
      LONG rc = RegEnumValue(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (rc != ERROR_SUCCESS) {
        EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
        break;
      }
      names.emplace_back(name, length);
    }
    return names;
  }

  testing::TempDeviceRoot root_;
  std::vector<HKEY> open_;
};

TEST_F(RegistryTest, ValuesKeepTheirTypeAndExactBytes) {
  struct Case {
    const char16_t* name;
    DWORD type;
    std::vector<BYTE> data;
  };
  const Case cases[] = {
      {u"account0", REG_SZ, WideBytes(u"合輯", true)},
      {u"unterminated", REG_SZ, WideBytes(u"abc", false)},
      {u"odd string", REG_SZ, Bytes({'a', 0, 'b'})},
      {u"Connection Speed", REG_DWORD, Bytes({0x80, 0x25, 0, 0})},
      {u"shuffle", REG_DWORD, Bytes({4})},
      {u"empty", REG_BINARY, {}},
      {u"zeros", REG_BINARY, Bytes({0, 0, 0xFF, 0})},
      {u"list", REG_MULTI_SZ, WideBytes(std::u16string(u"a\0bc\0", 5), true)},
      {u"", REG_SZ, WideBytes(u"default", true)},
  };
  HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Quendal\\zolfa");
  for (const auto& c : cases) Set(key, c.name, c.type, c.data);
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.name));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_EQ(Get(key, c.name, &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(data, c.data);
  }
  // A one-byte DWORD read into a number over its default changes one byte.
  DWORD shuffle = 0x11223300;
  DWORD size = sizeof(shuffle);
  ASSERT_EQ(RegQueryValueEx(key, u"shuffle", nullptr, nullptr, reinterpret_cast<BYTE*>(&shuffle), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(size, 1u);
  EXPECT_EQ(shuffle, 0x11223304u);
  // The default value is also reached with a null name.
  DWORD type = 0;
  EXPECT_EQ(RegQueryValueEx(key, nullptr, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 16u);
  // Rewriting a value replaces its type and length.
  Set(key, u"shuffle", REG_BINARY, Bytes({1, 2, 3, 4, 5}));
  std::vector<BYTE> data;
  ASSERT_EQ(Get(key, u"shuffle", &type, &data), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(data, Bytes({1, 2, 3, 4, 5}));
}

TEST_F(RegistryTest, SmallBufferGivesMoreDataWithTheNeededSize) {
  HKEY key = Create(HKEY_LOCAL_MACHINE, u"Software\\Test");
  Set(key, u"text", REG_SZ, WideBytes(u"hello", true));
  BYTE buffer[16];
  std::memset(buffer, 0xCC, sizeof(buffer));
  DWORD size = 4;
  DWORD type = 0;
  EXPECT_EQ(RegQueryValueEx(key, u"text", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 12u);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(buffer[4], 0xCC);
  // A data buffer without a size is refused.
  EXPECT_EQ(RegQueryValueEx(key, u"text", nullptr, nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
  // RegEnumValue applies the same rule to data and reports a short name buffer.
  char16_t name[8];
  DWORD nameLen = 8;
  size = 2;
  EXPECT_EQ(RegEnumValue(key, 0, name, &nameLen, nullptr, nullptr, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 12u);
  nameLen = 4;
  EXPECT_EQ(RegEnumValue(key, 0, name, &nameLen, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(nameLen, 4u);
  nameLen = 5;
  EXPECT_EQ(RegEnumValue(key, 0, name, &nameLen, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(std::u16string(name), u"text");
}

TEST_F(RegistryTest, AbsentKeysAndValuesAreNotFound) {
  HKEY key = reinterpret_cast<HKEY>(static_cast<uintptr_t>(1));
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, u"Software\\Quendal\\zolfa", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  HKEY parent = Create(HKEY_CURRENT_USER, u"Software\\Quendal");
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueEx(parent, u"account0", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteValue(parent, u"account0"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKey(parent, u"zolfa"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteTree(parent, u"zolfa"), ERROR_FILE_NOT_FOUND);
  // Other roots are separate trees.
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, u"Software\\Quendal", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, NamesCompareWithoutCaseAndKeepTheirCase) {
  DWORD disposition = 0;
  HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Quendal\\Zolfa", &disposition);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  HKEY same = Create(HKEY_CURRENT_USER, u"SOFTWARE\\quendal\\ZOLFA", &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  Set(key, u"Account0", REG_SZ, WideBytes(u"first", true));
  Set(same, u"ACCOUNT0", REG_SZ, WideBytes(u"second", true));
  Create(key, u"Ärger");
  Create(same, u"äRGER", &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);

  HKEY reopened = nullptr;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, u"software\\QUENDAL\\zolfa", &reopened), ERROR_SUCCESS);
  DWORD type = 0;
  std::vector<BYTE> data;
  ASSERT_EQ(Get(reopened, u"account0", &type, &data), ERROR_SUCCESS);
  EXPECT_EQ(data, WideBytes(u"second", true));
  EXPECT_EQ(ValueNames(reopened), std::vector<std::u16string>{u"Account0"});
  EXPECT_EQ(SubKeys(reopened), std::vector<std::u16string>{u"Ärger"});
  HKEY software = nullptr;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, u"Software", &software), ERROR_SUCCESS);
  EXPECT_EQ(SubKeys(software), std::vector<std::u16string>{u"Quendal"});
}

TEST_F(RegistryTest, EnumerationFollowsCreationOrderAndEndsWith259) {
  HKEY key = Create(HKEY_LOCAL_MACHINE, u"Comm\\ConnMgr\\Providers");
  for (const char16_t* name : {u"WAP-{1}", u"Other", u"HTTP-{2}"}) Create(key, name);
  for (const char16_t* name : {u"zeta", u"alpha", u"mid"}) Set(key, name, REG_DWORD, Bytes({1, 0, 0, 0}));
  // Rewriting a value keeps its place.
  Set(key, u"zeta", REG_DWORD, Bytes({2, 0, 0, 0}));
  EXPECT_EQ(SubKeys(key), (std::vector<std::u16string>{u"WAP-{1}", u"Other", u"HTTP-{2}"}));
  EXPECT_EQ(ValueNames(key), (std::vector<std::u16string>{u"zeta", u"alpha", u"mid"}));

  // Deleting while enumerating from index 0 again visits every match once.
  std::vector<std::u16string> deleted;
  DWORD index = 0;
  for (;;) {
    char16_t name[64];
    DWORD length = 64;
    LONG rc = RegEnumKeyEx(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(rc, ERROR_SUCCESS);
    std::u16string found(name, length);
    if (found.rfind(u"HTTP-{", 0) == 0 || found.rfind(u"WAP-{", 0) == 0) {
      ASSERT_EQ(RegDeleteKey(key, name), ERROR_SUCCESS);
      deleted.push_back(found);
      index = 0;
    } else {
      ++index;
    }
  }
  EXPECT_EQ(deleted, (std::vector<std::u16string>{u"WAP-{1}", u"HTTP-{2}"}));
  EXPECT_EQ(SubKeys(key), std::vector<std::u16string>{u"Other"});

  char16_t small[3];
  DWORD length = 3;
  EXPECT_EQ(RegEnumKeyEx(key, 0, small, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(length, 5u);
}

TEST_F(RegistryTest, DeleteKeyRefusesSubkeysAndDeleteTreeTakesAll) {
  HKEY mms = Create(HKEY_LOCAL_MACHINE, u"SoftWare\\Jataayu\\MMS");
  HKEY profiles = Create(mms, u"Profiles\\Operator\\Inner");
  Set(profiles, u"x", REG_DWORD, Bytes({1, 0, 0, 0}));
  HKEY outside = Create(HKEY_LOCAL_MACHINE, u"SoftWare\\Jataayu\\Keep");
  Set(outside, u"kept", REG_DWORD, Bytes({7}));

  EXPECT_EQ(RegDeleteKey(mms, u"Profiles"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, u""), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteTree(mms, u"profiles"), ERROR_SUCCESS);
  HKEY probe = nullptr;
  EXPECT_EQ(RegOpenKeyEx(mms, u"Profiles", 0, KEY_READ, &probe), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKey(mms, u"Profiles"), ERROR_FILE_NOT_FOUND);

  // Without a subkey, the tree delete empties the key and keeps it.
  Create(mms, u"A\\B");
  Set(mms, u"v", REG_SZ, WideBytes(u"x", true));
  EXPECT_EQ(RegDeleteTree(mms, nullptr), ERROR_SUCCESS);
  EXPECT_TRUE(SubKeys(mms).empty());
  EXPECT_TRUE(ValueNames(mms).empty());
  // A leaf key goes with RegDeleteKey; what is beside it stays.
  HKEY jataayu = nullptr;
  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, u"SoftWare\\Jataayu", &jataayu), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(jataayu, u"MMS"), ERROR_SUCCESS);
  EXPECT_EQ(SubKeys(jataayu), std::vector<std::u16string>{u"Keep"});
  DWORD type = 0;
  std::vector<BYTE> data;
  EXPECT_EQ(Get(outside, u"kept", &type, &data), ERROR_SUCCESS);
  EXPECT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}

TEST_F(RegistryTest, StaleHandlesFailSafely) {
  HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Gone");
  HKEY other = Create(HKEY_CURRENT_USER, u"Software\\Gone");
  Set(key, u"v", REG_DWORD, Bytes({1}));
  ASSERT_EQ(RegDeleteTree(HKEY_CURRENT_USER, u"Software\\Gone"), ERROR_SUCCESS);
  // A key of the same name made later is another key.
  Create(HKEY_CURRENT_USER, u"Software\\Gone");

  BYTE data[4];
  DWORD size = sizeof(data);
  char16_t name[16];
  DWORD nameLen = 16;
  HKEY child = nullptr;
  EXPECT_EQ(RegQueryValueEx(other, u"v", nullptr, nullptr, data, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(RegSetValueEx(other, u"v", 0, REG_DWORD, data, 4), ERROR_KEY_DELETED);
  EXPECT_EQ(RegEnumValue(other, 0, name, &nameLen, nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  EXPECT_EQ(RegEnumKeyEx(other, 0, name, &nameLen, nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCreateKeyEx(other, u"child", 0, nullptr, 0, KEY_WRITE, nullptr, &child, nullptr),
            ERROR_KEY_DELETED);
  EXPECT_EQ(RegFlushKey(other), ERROR_KEY_DELETED);

  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryValueEx(key, u"v", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
  HKEY made = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x12345));
  EXPECT_EQ(RegSetValueEx(made, u"v", 0, REG_DWORD, data, 4), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegOpenKeyEx(nullptr, u"Software", 0, KEY_READ, &child), ERROR_INVALID_HANDLE);
  // A new handle never takes the number of the one just closed.
  HKEY fresh = Create(HKEY_CURRENT_USER, u"Software");
  EXPECT_NE(fresh, key);
  // A lone surrogate in a name is refused instead of being stored mangled.
  EXPECT_EQ(RegSetValueEx(fresh, u"bad\xD800", 0, REG_DWORD, data, 4), ERROR_INVALID_PARAMETER);
  std::erase(open_, key);
}

TEST_F(RegistryTest, ThreadsShareTheHive) {
  constexpr int kThreads = 4;
  constexpr int kValues = 40;
  std::vector<std::thread> threads;
  std::vector<int> failures(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < kValues; ++i) {
        HKEY key = nullptr;
        if (RegCreateKeyEx(HKEY_CURRENT_USER, u"Software\\Threads", 0, nullptr, 0, KEY_WRITE, nullptr,
                           &key, nullptr) != ERROR_SUCCESS) {
          ++failures[t];
          continue;
        }
        char narrow[32];
        std::snprintf(narrow, sizeof(narrow), "t%d-%d", t, i);
        std::u16string name = FromUtf8(narrow);
        DWORD value = static_cast<DWORD>(t * 1000 + i);
        DWORD back = 0;
        DWORD size = sizeof(back);
        if (RegSetValueEx(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4) != ERROR_SUCCESS ||
            RegQueryValueEx(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&back), &size) !=
                ERROR_SUCCESS ||
            back != value) {
          ++failures[t];
        }
        RegCloseKey(key);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
  HKEY key = nullptr;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, u"Software\\Threads", &key), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(key).size(), static_cast<size_t>(kThreads * kValues));
}

// Starts a program with its output sent to files; returns its pid.
pid_t Spawn(const std::vector<std::string>& args, const std::string& out, const std::string& err,
            int closeFd = -1) {
  std::vector<char*> argv;
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (closeFd >= 0) posix_spawn_file_actions_addclose(&actions, closeFd);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

int Wait(pid_t pid) {
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kCount = 200;
  // Both writers block on the pipe until it is closed, then start together.
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  std::string device = root_.Path().string();
  std::vector<pid_t> writers;
  for (const char* prefix : {"a", "b"}) {
    std::string log = (root_.Path() / (std::string("writer-") + prefix)).string();
    writers.push_back(Spawn({CE_REGWRITER_PATH, device, prefix, std::to_string(kCount), std::to_string(go[0])},
                            log + ".out", log + ".err", go[1]));
  }
  close(go[0]);
  close(go[1]);
  for (pid_t pid : writers) {
    EXPECT_EQ(Wait(pid), 0) << ReadHostFile(root_.Path() / "writer-a.err")
                            << ReadHostFile(root_.Path() / "writer-b.err");
  }

  HKEY race = nullptr;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, u"Software\\Race", &race), ERROR_SUCCESS);
  for (const char* prefix : {"a", "b"}) {
    for (int i = 0; i < kCount; ++i) {
      std::u16string name = FromUtf8(std::string(prefix) + std::to_string(i));
      DWORD value = 0xFFFFFFFF;
      DWORD size = sizeof(value);
      ASSERT_EQ(RegQueryValueEx(race, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
                ERROR_SUCCESS)
          << ToUtf8(name);
      EXPECT_EQ(value, static_cast<DWORD>(i));
    }
  }
  EXPECT_EQ(ValueNames(race).size(), 2u * kCount);
  HKEY keys = nullptr;
  ASSERT_EQ(Open(race, u"Keys", &keys), ERROR_SUCCESS);
  EXPECT_EQ(SubKeys(keys).size(), 2u * kCount);
}

TEST(RegistryHiveTest, FileThatIsNotAHiveIsReportedAndLeftAlone) {
  testing::TempDeviceRoot root;
  const std::string garbage = "this is not a registry hive, and it must stay as it is\n";
  {
    std::ofstream(root.Path() / "registry.db", std::ios::binary) << garbage;
  }
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, u"Software", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_BADDB);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueEx(HKEY_CURRENT_USER, u"x", nullptr, nullptr, nullptr, &size), ERROR_BADDB);
  EXPECT_EQ(ReadHostFile(root.Path() / "registry.db"), garbage);
}

// SQLite files that are not hives of this schema: opening them writes
// nothing (no tables added, no journal switch) and is refused.
TEST(RegistryHiveTest, ForeignDatabasesAreRefusedUnchanged) {
  const char* kForeign[] = {
      "CREATE TABLE songs (id INTEGER PRIMARY KEY, title TEXT); INSERT INTO songs VALUES (1, 'a');",
      "CREATE TABLE reg_keys (id INTEGER); PRAGMA user_version = 7;",
  };
  for (const char* sql : kForeign) {
    SCOPED_TRACE(sql);
    testing::TempDeviceRoot root;
    std::filesystem::path file = root.Path() / "registry.db";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const std::string before = ReadHostFile(file);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, u"Software", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                             nullptr),
              ERROR_BADDB);
    EXPECT_EQ(ReadHostFile(file), before);
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "registry.db-wal"));
  }
}

// Runs the device tool on a device root; returns its exit code.
struct ToolRun {
  int exitCode;
  std::string out;
  std::string err;
};

ToolRun RunCedev(const std::filesystem::path& device, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {CE_CEDEV_PATH, "--device", device.string(), "reg"};
  argv.insert(argv.end(), args.begin(), args.end());
  std::filesystem::path out = device / "cedev.out";
  std::filesystem::path err = device / "cedev.err";
  int code = Wait(Spawn(argv, out.string(), err.string()));
  return ToolRun{code, ReadHostFile(out), ReadHostFile(err)};
}

TEST(CedevRegTest, SetQueryExportAndRefuseMalformedCalls) {
  testing::TempDeviceRoot root;
  const std::filesystem::path& device = root.Path();
  const std::string key = "HKCU\\Software\\Quendal\\zolfa";
  const std::vector<std::string> sets[] = {
      {"set", key, "account0", "sz", "合輯"},
      {"set", key, "shuffle", "dword", "4", "1"},
      {"set", "HKEY_LOCAL_MACHINE\\Software\\Streaming", "Connection Speed", "dword", "0x2580"},
      {"set", key, "blob", "binary", "00ff10"},
      {"set", key, "list", "multi_sz", "a|bc"},
  };
  for (const auto& set : sets) {
    ToolRun run = RunCedev(device, set);
    ASSERT_EQ(run.exitCode, 0) << run.err;
  }
  // What the tool wrote is what the platform reads, to the byte.
  HKEY zolfa = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, u"Software\\Quendal\\zolfa", 0, KEY_READ, &zolfa), ERROR_SUCCESS);
  BYTE data[32];
  DWORD size = sizeof(data);
  DWORD type = 0;
  ASSERT_EQ(RegQueryValueEx(zolfa, u"shuffle", nullptr, &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(std::vector<BYTE>(data, data + size), Bytes({4}));
  size = sizeof(data);
  ASSERT_EQ(RegQueryValueEx(zolfa, u"account0", nullptr, &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::vector<BYTE>(data, data + size), WideBytes(u"合輯", true));
  size = sizeof(data);
  ASSERT_EQ(RegQueryValueEx(zolfa, u"list", nullptr, &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_MULTI_SZ);
  EXPECT_EQ(std::vector<BYTE>(data, data + size), WideBytes(std::u16string(u"a\0bc\0", 5), true));
  RegCloseKey(zolfa);

  ToolRun query = RunCedev(device, {"query", key, "shuffle"});
  EXPECT_EQ(query.exitCode, 0);
  EXPECT_EQ(query.out, "\"shuffle\" REG_DWORD 1 byte: 4 (0x04)\n");
  ToolRun absent = RunCedev(device, {"query", key, "nothing"});
  EXPECT_EQ(absent.exitCode, 1);
  EXPECT_NE(absent.err.find("not found"), std::string::npos) << absent.err;

  const std::string expected =
      "[HKEY_CLASSES_ROOT]\n"
      "[HKEY_CURRENT_USER]\n"
      "[HKEY_CURRENT_USER\\Software]\n"
      "[HKEY_CURRENT_USER\\Software\\Quendal]\n"
      "[HKEY_CURRENT_USER\\Software\\Quendal\\zolfa]\n"
      "\"account0\" REG_SZ 6 bytes: \"合輯\"\n"
      "\"shuffle\" REG_DWORD 1 byte: 4 (0x04)\n"
      "\"blob\" REG_BINARY 3 bytes: 00 ff 10\n"
      "\"list\" REG_MULTI_SZ 12 bytes: \"a\" \"bc\"\n"
      "[HKEY_LOCAL_MACHINE]\n"
      "[HKEY_LOCAL_MACHINE\\Software]\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Streaming]\n"
      "\"Connection Speed\" REG_DWORD 4 bytes: 9600 (0x00002580)\n";
  ToolRun exported = RunCedev(device, {"export"});
  EXPECT_EQ(exported.exitCode, 0) << exported.err;
  EXPECT_EQ(exported.out, expected);

  const std::vector<std::string> malformed[] = {
      {"set", "HKXX\\Software\\New", "v", "sz", "x"},
      {"set", "HKCU\\Software\\New", "v", "dword", "300", "1"},
      {"set", "HKCU\\Software\\New", "v", "dword", "12abc"},
      {"set", "HKCU\\Software\\New", "v", "dword", "1", "5"},
      {"set", "HKCU\\Software\\New", "v", "binary", "0g"},
      {"set", "HKCU\\Software\\New", "v", "multi_sz", "a||b"},
      {"set", "HKCU\\Software\\New", "v", "qword", "1"},
      {"set", "HKCU\\Software\\New", "v", "sz", "x", "2"},
      {"set", "HKCU\\Software\\New", "v"},
      {"set", "HKCU\\Software\\New", std::string(16384, 'a'), "sz", "x"},  // the key is not made
      {"delete", "HKCU"},
      {"frobnicate"},
  };
  for (const auto& args : malformed) {
    SCOPED_TRACE(args[0] + " " + (args.size() > 1 ? args[1] : ""));
    ToolRun run = RunCedev(device, args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_FALSE(run.err.empty());
  }
  EXPECT_EQ(RunCedev(device, {"export"}).out, expected);

  ASSERT_EQ(RunCedev(device, {"delete", key, "blob"}).exitCode, 0);
  ASSERT_EQ(RunCedev(device, {"delete", "HKEY_LOCAL_MACHINE\\Software"}).exitCode, 0);
  ToolRun after = RunCedev(device, {"export"});
  EXPECT_EQ(after.out.find("blob"), std::string::npos);
  EXPECT_EQ(after.out.find("Streaming"), std::string::npos);
  EXPECT_NE(after.out.find("shuffle"), std::string::npos);
}

TEST(CedevRegTest, AFileThatIsNotAHiveIsNamed) {
  testing::TempDeviceRoot root;
  std::ofstream(root.Path() / "registry.db", std::ios::binary) << "not a hive";
  ToolRun run = RunCedev(root.Path(), {"export"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find((root.Path() / "registry.db").string() + " is not a registry hive"), std::string::npos)
      << run.err;
  EXPECT_EQ(ReadHostFile(root.Path() / "registry.db"), "not a hive");
}

}  // namespace
}  // namespace ce
