// The failures and answer changes of this run. They are given on the
// command line and changed while the server runs through the control
// endpoint; both use the same option names and texts:
//   fault SPEC, fail-host HOST=STATUS, delay-host HOST=MS, delay-path PATH=MS,
//   set RULE, drop RULE, unclose RULE, order RULE, refuse REFUSAL
// (FaultRule.h, ShapeRule.h and RefusalRule.h describe SPEC, RULE and
// REFUSAL). Shared by all server
// threads behind one lock.
#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "server/Element.h"
#include "server/FaultRule.h"
#include "server/RefusalRule.h"
#include "server/ShapeRule.h"

namespace zolfa_server {

class RunSettings {
 public:
  // True for the option names above.
  static bool IsSettingOption(const std::string& option);

  // Adds one setting; returns an error text or an empty one. bodyFolder,
  // when given, limits the files a fault's body-file may read (FaultRule).
  std::string Apply(const std::string& option, const std::string& value,
                    const std::filesystem::path* bodyFolder = nullptr);

  // Remembers the present settings as the ones that Reset returns to (the
  // command line's).
  void MarkStart();
  void Reset();
  void Clear();

  // The first fault that matches the request; a fault limited to a number
  // of requests counts this one.
  std::optional<FaultRule> TakeFault(const std::string& host, const std::string& path);

  // The refusal code of the first refusal that matches a ticket request.
  std::optional<int> Refusal(const std::string& account, const std::string& songId);

  // Applies the answer changes for answers of this kind, in the order given.
  void Shape(const std::string& kind, Element& root);

  // One line per setting, for the control endpoint.
  std::string Describe();

 private:
  struct State {
    std::vector<FaultRule> faults;
    std::vector<ShapeRule> shapes;
    std::vector<RefusalRule> refusals;
  };

  std::mutex mutex_;
  State current_;
  State start_;
};

}  // namespace zolfa_server
