#include "platform/net/HostTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/testing/TestSupport.h"

namespace ce {
namespace {

TEST(HostTableTest, ParsesNamesAndEndpointsAndRejectsTheRest) {
  struct KeyCase {
    const char* text;
    bool ok;
    const char* name;
    uint16_t port;
  };
  for (const KeyCase& c : {KeyCase{"login1.zolfa.test", true, "login1.zolfa.test", 0},
                           KeyCase{"ds.zolfa.test:80", true, "ds.zolfa.test", 80},
                           KeyCase{"a_b-c:65535", true, "a_b-c", 65535},
                           KeyCase{"", false, "", 0}, KeyCase{":80", false, "", 0},
                           KeyCase{"x:", false, "", 0}, KeyCase{"x:0", false, "", 0},
                           KeyCase{"x:65536", false, "", 0}, KeyCase{"x:+80", false, "", 0},
                           KeyCase{"x:80:1", false, "", 0}, KeyCase{"a b", false, "", 0},
                           KeyCase{".x", false, "", 0}, KeyCase{"x/y", false, "", 0}}) {
    HostTable::Key key;
    EXPECT_EQ(HostTable::ParseKey(c.text, &key), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(key.name, c.name);
      EXPECT_EQ(key.port, c.port);
    }
  }
  struct EndpointCase {
    const char* text;
    bool ok;
    const char* address;
    uint16_t port;
  };
  for (const EndpointCase& c :
       {EndpointCase{"127.0.0.1:40123", true, "127.0.0.1", 40123},
        EndpointCase{"[::1]:8080", true, "::1", 8080},
        EndpointCase{"localhost:80", true, "localhost", 80},
        EndpointCase{"127.0.0.1", false, "", 0}, EndpointCase{"127.0.0.300:80", false, "", 0},
        EndpointCase{"[::1]80", false, "", 0}, EndpointCase{"[]:80", false, "", 0},
        EndpointCase{"[zz]:80", false, "", 0}, EndpointCase{":80", false, "", 0},
        EndpointCase{"127.0.0.1:99999", false, "", 0}}) {
    HostTable::Endpoint endpoint;
    EXPECT_EQ(HostTable::ParseEndpoint(c.text, &endpoint), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(endpoint.address, c.address);
      EXPECT_EQ(endpoint.port, c.port);
      EXPECT_EQ(HostTable::FormatEndpoint(endpoint), c.text);
    }
  }
}

TEST(HostTableTest, PortEntryWinsOverBareNameAndNamesIgnoreCase) {
  HostTable table;
  table.Add({"ds.zolfa.test", 0}, {"127.0.0.1", 1000});
  table.Add({"DS.zolfa.test", 80}, {"127.0.0.1", 2000});
  ASSERT_TRUE(table.Lookup("ds.ZOLFA.test", 80));
  EXPECT_EQ(table.Lookup("ds.ZOLFA.test", 80)->port, 2000);
  EXPECT_EQ(table.Lookup("ds.zolfa.test", 81)->port, 1000);
  EXPECT_FALSE(table.Lookup("cs.zolfa.test", 80));
  // Adding the same name and port again replaces the entry.
  table.Add({"ds.zolfa.test", 80}, {"127.0.0.1", 3000});
  EXPECT_EQ(table.Lookup("ds.zolfa.test", 80)->port, 3000);
  EXPECT_EQ(table.Entries().size(), 2u);
  EXPECT_TRUE(table.Remove({"Ds.Zolfa.Test", 80}));
  EXPECT_FALSE(table.Remove({"ds.zolfa.test", 80}));
  EXPECT_EQ(table.Lookup("ds.zolfa.test", 80)->port, 1000);
}

TEST(HostTableTest, SavingKeepsCommentsAndLinesItCannotRead) {
  testing::TempDeviceRoot root;
  std::filesystem::path path = HostTable::DefaultPath();
  EXPECT_EQ(path, root.Path() / "hosts");
  HostTable missing;
  ASSERT_TRUE(missing.Load(path));
  EXPECT_TRUE(missing.Entries().empty());

  std::ofstream(path) << "# local service\r\nds.zolfa.test 127.0.0.1:1\ngarbage here\n\n";
  HostTable table;
  ASSERT_TRUE(table.Load(path));
  EXPECT_EQ(table.BadLines(), std::vector<std::string>{"garbage here"});
  table.Add({"cs.zolfa.test", 80}, {"127.0.0.1", 2});
  ASSERT_TRUE(table.Save(path));
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  EXPECT_EQ(text.str(),
            "# local service\nds.zolfa.test 127.0.0.1:1\ngarbage here\n\ncs.zolfa.test:80 "
            "127.0.0.1:2\n");
}

}  // namespace
}  // namespace ce
