// The proxy a session uses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ce {

struct ProxySettings {
  std::string server;               // "host:port"; empty: connect directly
  std::vector<std::string> bypass;  // names reached directly ("*" wildcards, "<local>")

  // The proxy for a request to host, or empty when it goes direct.
  std::string ProxyFor(std::string_view host) const;

  // From the strings the caller gives to InternetOpen: server is "host:port"
  // or a per-scheme list "http=host:port;https=..."; bypass is a list
  // separated by ";" or spaces.
  static ProxySettings FromStrings(std::u16string_view server, std::u16string_view bypass);
  // The device's preconfigured proxy: under HKEY_CURRENT_USER
  // "Software\Microsoft\Windows\CurrentVersion\Internet Settings" the values
  // "ProxyEnable" (REG_DWORD, non-zero: use the proxy), "ProxyServer" and
  // "ProxyOverride" (REG_SZ, forms as above). Missing values: no proxy.
  static ProxySettings Preconfigured();
};

}  // namespace ce
