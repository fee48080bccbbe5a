#include "platform/base/DeviceFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <fcntl.h>
#include <stdio.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/Handles.h"
#include "platform/base/Registry.h"
#include "platform/testing/TestSupport.h"

namespace ce {
namespace {

using testing::TempDeviceRoot;

HANDLE Open(LPCWSTR path, DWORD access, DWORD share, DWORD disposition) {
  return CreateFile(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadAll(HANDLE file) {
  std::string bytes;
  char buffer[256];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void RegistryWriteSomething() {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, u"Software\\Quendal\\zolfa", 0, nullptr, 0, 0, nullptr,
                           &key, nullptr),
            ERROR_SUCCESS);
  DWORD one = 1;
  RegSetValueEx(key, u"x", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  RegCloseKey(key);
}

std::string Resolved(std::u16string_view devicePath) {
  auto host = ResolveDevicePath(devicePath);
  return host ? host->string() : "<rejected>";
}

TEST(DeviceFileTest, ResolvesNamesIgnoringCaseAndRejectsPathsOutOfTheRoot) {
  TempDeviceRoot root;
  ASSERT_TRUE(CreateDirectory(u"\\Program Files\\Zolfa", nullptr));
  // Existing components keep the spelling on disk; the missing name keeps
  // the caller's.
  EXPECT_EQ(Resolved(u"\\PROGRAM FILES\\zolfa\\New.xml"),
            (root.Path() / "Program Files" / "Zolfa" / "New.xml").string());
  EXPECT_EQ(Resolved(u"/program files//ZOLFA/"), (root.Path() / "Program Files" / "Zolfa").string());
  HANDLE file = Open(u"\\program files\\ZOLFA\\CurPlayList.xml", GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_TRUE(std::filesystem::exists(root.Path() / "Program Files" / "Zolfa" / "CurPlayList.xml"));
  EXPECT_NE(GetFileAttributes(u"\\PROGRAM FILES\\ZOLFA\\curplaylist.XML"), INVALID_FILE_ATTRIBUTES);

  std::filesystem::create_symlink("/tmp", root.Path() / "windows" / "out");
  std::filesystem::create_directory_symlink(root.Path() / "Program Files",
                                            root.Path() / "windows" / "in");
  EXPECT_TRUE(ResolveDevicePath(u"\\windows\\in\\Zolfa\\CurPlayList.xml").has_value());
  for (const char16_t* bad :
       {u"\\..\\x", u"\\windows\\..\\..\\etc\\passwd", u"\\Temp\\..", u"relative.txt", u"",
        u"\\Temp\\a*b", u"\\Temp\\a:b", u"\\Temp\\a\x01", u"\\windows\\out\\x"}) {
    SCOPED_TRACE(ToUtf8(bad));
    EXPECT_FALSE(ResolveDevicePath(bad).has_value());
    EXPECT_EQ(Open(bad, GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
  }
}

// The hive, the host table and the run area sit in the root beside the
// device's folders; no device call may reach or list them.
TEST(DeviceFileTest, TheRootsOwnFilesAreNoDevicePaths) {
  TempDeviceRoot root;
  RegistryWriteSomething();
  std::ofstream(root.Path() / "hosts") << "login.zolfa.test 127.0.0.1:8080\n";
  const std::string hive = ReadHostFile(root.Path() / "registry.db");
  ASSERT_FALSE(hive.empty());
  for (const char16_t* own :
       {u"\\registry.db", u"\\REGISTRY.DB", u"\\registry.db-wal", u"\\registry.db-journal",
        u"\\hosts", u"\\Hosts", u"\\hosts.lock", u"\\run", u"\\run\\sharelocks", u"/RUN/x"}) {
    SCOPED_TRACE(ToUtf8(own));
    EXPECT_EQ(Open(own, GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(Open(own, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFile(own));
    EXPECT_FALSE(MoveFileEx(own, u"\\Temp\\stolen", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetFileAttributes(own), INVALID_FILE_ATTRIBUTES);
  }
  root.WriteDeviceBytes(u"\\Temp\\evil.db", "not a hive");
  EXPECT_FALSE(MoveFileEx(u"\\Temp\\evil.db", u"\\registry.db", MOVEFILE_REPLACE_EXISTING));
  EXPECT_FALSE(CreateDirectory(u"\\run\\x", nullptr));
  // A link inside the device's folders does not lead there either.
  std::filesystem::create_symlink(root.Path() / "registry.db", root.Path() / "Temp" / "hive");
  EXPECT_EQ(Open(u"\\Temp\\hive", GENERIC_WRITE, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadHostFile(root.Path() / "registry.db"), hive);
  EXPECT_TRUE(std::filesystem::exists(root.Path() / "hosts"));

  WIN32_FIND_DATA data;
  HANDLE find = FindFirstFile(u"\\*", &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  std::vector<std::string> names;
  do {
    names.push_back(ToUtf8(data.cFileName));
  } while (FindNextFile(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Program Files", "Temp", "windows"}));
}

// A folder of the device swapped for a link out of the root while files are
// opened through it: every open either stays inside or fails, never reaching
// the outside folder.
TEST(DeviceFileTest, AFolderSwappedForALinkCannotLeadOutOfTheRoot) {
  TempDeviceRoot root;
  std::filesystem::path outside = root.Path().string() + "-outside";
  std::filesystem::create_directories(outside);
  std::ofstream(outside / "secret.txt") << "outside";
  std::filesystem::path temp = root.Path() / "Temp";
  std::filesystem::create_directory(temp / "sub");
  std::ofstream(temp / "sub" / "secret.txt") << "inside";
  std::filesystem::create_directory_symlink(outside, temp / "swap");
  std::atomic<bool> done{false};
  std::thread swapper([&] {
    // Bounded: at most 200 000 swaps, and it ends with the opens.
    for (int i = 0; i < 200000 && !done.load(); ++i) {
      renameat2(AT_FDCWD, (temp / "sub").c_str(), AT_FDCWD, (temp / "swap").c_str(),
                RENAME_EXCHANGE);
    }
  });
  int readOutside = 0;
  for (int i = 0; i < 2000; ++i) {
    HANDLE file = Open(u"\\Temp\\sub\\written.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    file = Open(u"\\Temp\\sub\\secret.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (file != INVALID_HANDLE_VALUE) {
      readOutside += ReadAll(file) == "outside" ? 1 : 0;
      CloseHandle(file);
    }
  }
  done = true;
  swapper.join();
  EXPECT_FALSE(std::filesystem::exists(outside / "written.txt"));
  EXPECT_EQ(readOutside, 0);
  std::filesystem::remove_all(outside);
}

TEST(DeviceFileTest, DispositionsAndTheirErrors) {
  TempDeviceRoot root;
  struct Case {
    const char* name;
    bool exists;
    DWORD disposition;
    bool opens;
    LONG lastError;
    size_t sizeAfter;
  };
  const Case cases[] = {
      {"create new, exists", true, CREATE_NEW, false, ERROR_FILE_EXISTS, 3},
      {"create new, missing", false, CREATE_NEW, true, ERROR_SUCCESS, 0},
      {"create always, exists", true, CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS, 0},
      {"create always, missing", false, CREATE_ALWAYS, true, ERROR_SUCCESS, 0},
      {"open existing, exists", true, OPEN_EXISTING, true, ERROR_SUCCESS, 3},
      {"open existing, missing", false, OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, 0},
      {"open always, exists", true, OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS, 3},
      {"open always, missing", false, OPEN_ALWAYS, true, ERROR_SUCCESS, 0},
      {"truncate existing, exists", true, TRUNCATE_EXISTING, true, ERROR_SUCCESS, 0},
      {"truncate existing, missing", false, TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(root.HostPath(u"\\Temp\\d.bin"));
    if (c.exists) root.WriteDeviceBytes(u"\\Temp\\d.bin", "abc");
    SetLastError(12345);
    HANDLE file = Open(u"\\temp\\D.BIN", GENERIC_READ | GENERIC_WRITE, 0, c.disposition);
    EXPECT_EQ(file != INVALID_HANDLE_VALUE, c.opens);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(c.lastError));
    if (file != INVALID_HANDLE_VALUE) {
      EXPECT_EQ(GetFileSize(file, nullptr), c.sizeAfter);
    }
    CloseHandle(file);
    if (c.exists || c.opens) {
      EXPECT_EQ(root.ReadDeviceBytes(u"\\Temp\\d.bin").size(), c.sizeAfter);
    }
  }
  // A missing folder is error 3 for every disposition; a folder is no file.
  for (DWORD disposition = CREATE_NEW; disposition <= TRUNCATE_EXISTING; ++disposition) {
    EXPECT_EQ(Open(u"\\NoFolder\\x.bin", GENERIC_WRITE, 0, disposition), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  }
  EXPECT_EQ(Open(u"\\windows", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Open(u"\\Temp\\x", GENERIC_READ, 0, 9), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(DeviceFileTest, ReadWriteSeekAndTruncate) {
  TempDeviceRoot root;
  HANDLE file = Open(u"\\Temp\\rw.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, "hello world", 11, &written, nullptr));
  EXPECT_EQ(written, 11u);
  EXPECT_EQ(SetFilePointer(file, 6, nullptr, FILE_BEGIN), 6u);
  char buffer[16] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(file, buffer, sizeof(buffer), &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), "world");
  ASSERT_TRUE(ReadFile(file, buffer, sizeof(buffer), &read, nullptr));  // at the end: success, 0 bytes
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_END), 6u);
  EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_CURRENT), 5u);
  EXPECT_EQ(SetFilePointer(file, -6, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  LONG high = 0;
  EXPECT_EQ(SetFilePointer(file, 0, &high, FILE_CURRENT), 5u);  // a failed seek does not move
  ASSERT_TRUE(SetEndOfFile(file));
  DWORD sizeHigh = 7;
  EXPECT_EQ(GetFileSize(file, &sizeHigh), 5u);
  EXPECT_EQ(sizeHigh, 0u);
  ASSERT_TRUE(FlushFileBuffers(file));
  ASSERT_TRUE(CloseHandle(file));
  EXPECT_EQ(root.ReadDeviceBytes(u"\\Temp\\rw.bin"), "hello");

  // A closed handle is stale: every call says so and nothing crashes.
  EXPECT_FALSE(ReadFile(file, buffer, 1, &read, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  HANDLE reader = Open(u"\\Temp\\rw.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_FALSE(WriteFile(reader, "x", 1, &written, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ReadAll(reader), "hello");
  CloseHandle(reader);
}

TEST(DeviceFileTest, ShareModesBetweenHandles) {
  TempDeviceRoot root;
  root.WriteDeviceBytes(u"\\Temp\\s.txt", "data");
  constexpr DWORD R = GENERIC_READ;
  constexpr DWORD W = GENERIC_WRITE;
  constexpr DWORD SR = FILE_SHARE_READ;
  constexpr DWORD SW = FILE_SHARE_WRITE;
  struct Case {
    DWORD firstAccess, firstShare, secondAccess, secondShare;
    bool conflict;
  };
  const Case cases[] = {
      {R, SR, R, SR, false},          {R, SR, W, SR | SW, true},  {R, SR | SW, W, SR | SW, false},
      {W, SR, R, SR | SW, false},     {W, SR, R, SR, true},       {W, SR | SW, R, SR, true},
      {W, SR | SW, W, SR | SW, false}, {R, 0, R, SR | SW, true},   {R | W, SR | SW, R, SR | SW, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.firstAccess << "/" << c.firstShare << " then "
                                    << c.secondAccess << "/" << c.secondShare);
    HANDLE first = Open(u"\\Temp\\s.txt", c.firstAccess, c.firstShare, OPEN_EXISTING);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    HANDLE second = Open(u"\\TEMP\\S.TXT", c.secondAccess, c.secondShare, OPEN_EXISTING);
    EXPECT_EQ(second == INVALID_HANDLE_VALUE, c.conflict);
    if (c.conflict) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    CloseHandle(second);
    CloseHandle(first);
  }
  // A refused CREATE_ALWAYS leaves the data of the file's user alone.
  HANDLE holder = Open(u"\\Temp\\s.txt", R, SR, OPEN_EXISTING);
  EXPECT_EQ(Open(u"\\Temp\\s.txt", W, SR | SW, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(root.ReadDeviceBytes(u"\\Temp\\s.txt"), "data");
  // An open file can be neither deleted nor replaced.
  EXPECT_FALSE(DeleteFile(u"\\Temp\\s.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  root.WriteDeviceBytes(u"\\Temp\\new.txt", "new");
  EXPECT_FALSE(MoveFileEx(u"\\Temp\\new.txt", u"\\Temp\\s.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  CloseHandle(holder);
  EXPECT_TRUE(DeleteFile(u"\\Temp\\s.txt"));
}

TEST(DeviceFileTest, SharingViolationAcrossProcesses) {
  TempDeviceRoot root;
  root.WriteDeviceBytes(u"\\Temp\\shared.txt", "x");
  auto openForReading = [] {
    HANDLE file = Open(u"\\Temp\\shared.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       OPEN_EXISTING);
    return file == INVALID_HANDLE_VALUE ? static_cast<int>(GetLastError()) : 0;
  };
  HANDLE writer = Open(u"\\Temp\\shared.txt", GENERIC_WRITE, 0, OPEN_EXISTING);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(testing::RunInChildProcess(openForReading), ERROR_SHARING_VIOLATION);
  CloseHandle(writer);
  EXPECT_EQ(testing::RunInChildProcess(openForReading), 0);

  // A process killed while it holds the file leaves no lock behind.
  int killed = testing::RunInChildProcess([] {
    Open(u"\\Temp\\shared.txt", GENERIC_WRITE, 0, OPEN_EXISTING);
    kill(getpid(), SIGKILL);
    return 0;
  });
  EXPECT_EQ(killed, 128 + SIGKILL);
  EXPECT_EQ(openForReading(), 0);
}

TEST(DeviceFileTest, DeleteMoveAndFolders) {
  TempDeviceRoot root;
  EXPECT_FALSE(DeleteFile(u"\\Temp\\none.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(DeleteFile(u"\\NoFolder\\none.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(GetFileAttributes(u"\\NoFolder\\none.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

  root.WriteDeviceBytes(u"\\Temp\\a.txt", "old");
  root.WriteDeviceBytes(u"\\Temp\\b.txt", "new");
  EXPECT_FALSE(MoveFileEx(u"\\Temp\\b.txt", u"\\Temp\\A.TXT", 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  ASSERT_TRUE(MoveFileEx(u"\\Temp\\b.txt", u"\\Temp\\A.TXT", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(root.ReadDeviceBytes(u"\\Temp\\a.txt"), "new");
  EXPECT_EQ(GetFileAttributes(u"\\Temp\\b.txt"), INVALID_FILE_ATTRIBUTES);
  // A rename that only changes letter case takes the new spelling.
  ASSERT_TRUE(MoveFileEx(u"\\Temp\\a.txt", u"\\Temp\\A.txt", 0));
  EXPECT_TRUE(std::filesystem::exists(root.Path() / "Temp" / "A.txt"));
  EXPECT_FALSE(MoveFileEx(u"\\Temp\\A.txt", u"\\NoFolder\\a.txt", 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(MoveFileEx(u"\\Temp\\A.txt", u"\\..\\a.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));

  ASSERT_TRUE(CreateDirectory(u"\\Temp\\Sub", nullptr));
  EXPECT_FALSE(CreateDirectory(u"\\temp\\sub", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectory(u"\\NoFolder\\Sub", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(GetFileAttributes(u"\\TEMP\\SUB"), FILE_ATTRIBUTE_DIRECTORY);
  root.WriteDeviceBytes(u"\\Temp\\Sub\\f", "");
  EXPECT_FALSE(RemoveDirectory(u"\\Temp\\Sub"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
  EXPECT_FALSE(DeleteFile(u"\\Temp\\Sub"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  ASSERT_TRUE(DeleteFile(u"\\Temp\\Sub\\F"));
  EXPECT_TRUE(RemoveDirectory(u"\\Temp\\sub"));
  EXPECT_FALSE(RemoveDirectory(u"\\"));
}

TEST(DeviceFileTest, FindWithWildcardsIgnoringCase) {
  TempDeviceRoot root;
  for (const char16_t* name : {u"\\windows\\install.xml", u"\\windows\\INSTALL.cht",
                               u"\\windows\\install", u"\\windows\\other.txt"}) {
    root.WriteDeviceBytes(name, "12345");
  }
  ASSERT_TRUE(CreateDirectory(u"\\windows\\Installer", nullptr));
  struct Case {
    const char16_t* pattern;
    std::vector<std::string> names;
    LONG error;
  };
  const Case cases[] = {
      {u"\\windows\\install.*", {"install", "INSTALL.cht", "install.xml"}, ERROR_SUCCESS},
      {u"\\WINDOWS\\Install*", {"install", "INSTALL.cht", "install.xml", "Installer"}, ERROR_SUCCESS},
      {u"\\windows\\?????.txt", {"other.txt"}, ERROR_SUCCESS},
      {u"\\windows\\*.*", {"install", "INSTALL.cht", "install.xml", "Installer", "other.txt"},
       ERROR_SUCCESS},
      {u"\\windows\\OTHER.TXT", {"other.txt"}, ERROR_SUCCESS},
      {u"\\windows\\nothing*", {}, ERROR_FILE_NOT_FOUND},
      {u"\\NoFolder\\*", {}, ERROR_PATH_NOT_FOUND},
      {u"\\windows\\..\\..\\*", {}, ERROR_INVALID_NAME},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.pattern));
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile(c.pattern, &data);
    std::vector<std::string> names;
    if (find == INVALID_HANDLE_VALUE) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(c.error));
    } else {
      do {
        names.push_back(ToUtf8(data.cFileName));
        bool folder = names.back() == "Installer";
        EXPECT_EQ(data.dwFileAttributes, folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(data.nFileSizeLow, folder ? 0u : 5u);
      } while (FindNextFile(find, &data));
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
      EXPECT_TRUE(FindClose(find));
      EXPECT_FALSE(FindClose(find));
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    EXPECT_EQ(names, c.names);
  }
}

TEST(DeviceFileTest, TempPath) {
  TempDeviceRoot root;
  WCHAR buffer[MAX_PATH];
  EXPECT_EQ(GetTempPath(MAX_PATH, buffer), 6u);
  EXPECT_EQ(std::u16string(buffer), u"\\Temp\\");
  EXPECT_EQ(GetTempPath(6, buffer), 7u);  // too small: the size needed, terminator included
  EXPECT_NE(GetFileAttributes(buffer), INVALID_FILE_ATTRIBUTES);
}

TEST(DeviceFileTest, StdioTextModeTranslatesLineEnds) {
  TempDeviceRoot root;
  root.WriteDeviceBytes(u"\\windows\\install.xml", "<!-- one -->\r\ntwo\r\n\r\nlone\rcr\nlast");
  FILE* in = OpenDeviceStdio(u"\\WINDOWS\\Install.xml", "r");
  ASSERT_NE(in, nullptr);
  std::vector<std::string> lines;
  std::vector<long> positions;
  char line[64];
  while (std::fgets(line, sizeof(line), in) != nullptr) {
    lines.push_back(line);
    positions.push_back(std::ftell(in));
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"<!-- one -->\n", "two\n", "\n", "lone\rcr\n", "last"}));
  // At line ends the position is the file offset.
  EXPECT_EQ(positions, (std::vector<long>{14, 19, 21, 29, 33}));
  // The stream is an open of the file like any other.
  EXPECT_EQ(Open(u"\\windows\\install.xml", GENERIC_WRITE, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  std::fclose(in);

  FILE* out = OpenDeviceStdio(u"\\Temp\\out.txt", "w");
  ASSERT_NE(out, nullptr);
  std::fputs("a\nb\n", out);
  std::fclose(out);
  EXPECT_EQ(root.ReadDeviceBytes(u"\\Temp\\out.txt"), "a\r\nb\r\n");
  FILE* binary = OpenDeviceStdio(u"\\Temp\\out.txt", "ab");
  std::fputs("c\n", binary);
  std::fclose(binary);
  EXPECT_EQ(root.ReadDeviceBytes(u"\\Temp\\out.txt"), "a\r\nb\r\nc\n");

  EXPECT_EQ(OpenDeviceStdio(u"\\Temp\\missing.txt", "r"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(OpenDeviceStdio(u"\\Temp\\out.txt", "q"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
}  // namespace ce
