// cedev hosts add NAME[:PORT] ADDRESS:PORT | remove NAME[:PORT] | list
//
// Edits the device's host table ("hosts" in the device root), which maps the
// host names programs ask for to the addresses really connected to.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/net/HostTable.h"
#include "platform/tools/Cedev.h"

namespace ce::tools {
namespace {

constexpr char kUsage[] = "hosts add NAME[:PORT] ADDRESS:PORT | hosts remove NAME[:PORT] | hosts list";

int UsageError(const char* message) {
  std::fprintf(stderr, "cedev hosts: %s\nusage: cedev %s\n", message, kUsage);
  return kExitUsage;
}

// Loads the table; with lock, first takes the table's edit lock so that the
// change and save that follow cannot lose another writer's entries.
bool LoadTable(HostTable* table, HostTable::EditLock* lock = nullptr) {
  std::string error;
  if (lock != nullptr && !lock->Take(HostTable::DefaultPath(), &error)) {
    std::fprintf(stderr, "cedev hosts: %s\n", error.c_str());
    return false;
  }
  if (table->Load(HostTable::DefaultPath(), &error)) return true;
  std::fprintf(stderr, "cedev hosts: %s\n", error.c_str());
  return false;
}

bool SaveTable(const HostTable& table) {
  std::string error;
  if (table.Save(HostTable::DefaultPath(), &error)) return true;
  std::fprintf(stderr, "cedev hosts: %s\n", error.c_str());
  return false;
}

int Add(const std::vector<std::string>& args) {
  if (args.size() != 3) return UsageError("add takes NAME[:PORT] and ADDRESS:PORT");
  HostTable::Key key;
  HostTable::Endpoint endpoint;
  if (!HostTable::ParseKey(args[1], &key))
    return UsageError(("bad host name \"" + args[1] + "\" (expected NAME or NAME:PORT)").c_str());
  if (!HostTable::ParseEndpoint(args[2], &endpoint))
    return UsageError(("bad address \"" + args[2] + "\" (expected ADDRESS:PORT)").c_str());
  HostTable table;
  HostTable::EditLock lock;
  if (!LoadTable(&table, &lock)) return kExitFailed;
  table.Add(key, endpoint);
  return SaveTable(table) ? kExitOk : kExitFailed;
}

int Remove(const std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError("remove takes NAME[:PORT]");
  HostTable::Key key;
  if (!HostTable::ParseKey(args[1], &key))
    return UsageError(("bad host name \"" + args[1] + "\" (expected NAME or NAME:PORT)").c_str());
  HostTable table;
  HostTable::EditLock lock;
  if (!LoadTable(&table, &lock)) return kExitFailed;
  if (!table.Remove(key)) {
    std::fprintf(stderr, "cedev hosts: no entry for %s\n", HostTable::FormatKey(key).c_str());
    return kExitFailed;
  }
  return SaveTable(table) ? kExitOk : kExitFailed;
}

int List(const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError("list takes no arguments");
  HostTable table;
  if (!LoadTable(&table)) return kExitFailed;
  for (const HostTable::Entry& entry : table.Entries())
    std::printf("%s %s\n", HostTable::FormatKey(entry.key).c_str(),
                HostTable::FormatEndpoint(entry.endpoint).c_str());
  for (const std::string& line : table.BadLines())
    std::fprintf(stderr, "cedev hosts: ignored line: %s\n", line.c_str());
  return kExitOk;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return UsageError("missing subcommand");
  if (args[0] == "add") return Add(args);
  if (args[0] == "remove") return Remove(args);
  if (args[0] == "list") return List(args);
  return UsageError(("unknown subcommand \"" + args[0] + "\"").c_str());
}

const CommandRegistrar kRegistrar("hosts", kUsage, &Run);

}  // namespace
}  // namespace ce::tools
