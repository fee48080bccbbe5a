#include "platform/net/ProxySettings.h"

#include <gtest/gtest.h>

namespace ce {
namespace {

TEST(ProxySettingsTest, PicksTheHttpProxyAndHonoursTheBypassList) {
  ProxySettings plain = ProxySettings::FromStrings(u" proxy.test:8080 ", u"<local>;*.direct.test");
  EXPECT_EQ(plain.ProxyFor("far.zolfa.test"), "proxy.test:8080");
  EXPECT_EQ(plain.ProxyFor("intranet"), "");
  EXPECT_EQ(plain.ProxyFor("a.DIRECT.test"), "");

  ProxySettings schemes =
      ProxySettings::FromStrings(u"https=secure.test:443; http=web.test:3128", u"");
  EXPECT_EQ(schemes.ProxyFor("far.zolfa.test"), "web.test:3128");
  EXPECT_EQ(ProxySettings::FromStrings(u"https=secure.test:443", u"").ProxyFor("x.test"), "");
  EXPECT_EQ(ProxySettings{}.ProxyFor("x.test"), "");
}

}  // namespace
}  // namespace ce
