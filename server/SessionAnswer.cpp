#include "server/SessionAnswer.h"

#include "server/ServerNames.h"

namespace zolfa_server {

Element SessionAnswer::Build(const std::string& rootName, const std::string& sid, int status,
                             const std::string& loginMessage) {
  const std::string port = std::to_string(ServerNames::kPort);
  Element root = Element::Node(rootName);
  root.AddLeaf("sid", sid);
  root.AddLeaf("ds", ServerNames::kData);
  root.AddLeaf("ds_port", port);
  root.AddLeaf("cs", ServerNames::kStream);
  root.AddLeaf("cs_port", port);
  root.AddLeaf("status", std::to_string(status));
  root.AddLeaf("major_version", std::to_string(ServerNames::kMajorVersion));
  root.AddLeaf("minor_version", std::to_string(ServerNames::kMinorVersion));
  root.AddLeaf("us", ServerNames::kUpdate);
  root.AddLeaf("us_port", port);
  root.AddLeaf("ps", ServerNames::kPortal);
  root.AddLeaf("ps_port", port);
  root.AddLeaf("update_msg", kUpdateText);
  root.AddLeaf("update_msg2", kUpdateText2);
  root.AddLeaf("login_msg", loginMessage);
  root.AddLeaf("is", ServerNames::kBackup);
  root.AddLeaf("is_port", port);
  root.AddLeaf("ss", ServerNames::kSession);
  root.AddLeaf("ss_port", port);
  return root;
}

}  // namespace zolfa_server
