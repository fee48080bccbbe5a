// The end-to-end tests' view of the service: every host name of the service
// mapped to one local zolfa-server in the host table of the test's device.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/net/HostTable.h"

namespace test_support {

// The names the client reaches the service under: the two login hosts and
// the servers of the login answer, all on port 80.
inline constexpr const char* kServiceHosts[] = {"login1.zolfa.test", "login2.zolfa.test", "ds.zolfa.test",
                                                "cs.zolfa.test",     "us.zolfa.test",     "ps.zolfa.test",
                                                "is.zolfa.test",     "ss.zolfa.test"};

// Maps every service host to 127.0.0.1:port in the current device's host
// table; a failure fails the test.
inline void MapServiceHosts(int port) {
  ce::HostTable table;
  ASSERT_TRUE(table.Load(ce::HostTable::DefaultPath()));
  for (const char* host : kServiceHosts) {
    table.Add(ce::HostTable::Key{host, 80}, ce::HostTable::Endpoint{"127.0.0.1", static_cast<uint16_t>(port)});
  }
  ASSERT_TRUE(table.Save(ce::HostTable::DefaultPath()));
}

}  // namespace test_support
