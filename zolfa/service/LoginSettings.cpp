#include "zolfa/service/LoginSettings.h"

namespace zolfa {

namespace {

constexpr char16_t kProgressStart[] = u"登入中";
constexpr size_t kLongestGrowingProgress = 6;

CRegString AccountValue(int index) {
  std::u16string name(kAccountValuePrefix);
  name += static_cast<char16_t>(u'0' + index);
  return CRegString(SettingsValuePath(name));
}

}  // namespace

LoginSettings::LoginSettings()
    : accounts{AccountValue(0), AccountValue(1), AccountValue(2), AccountValue(3)},
      password(SettingsValuePath(kPasswordValue)),
      autologin(SettingsValuePath(kAutologinValue)) {}

AccountList LoginSettings::Accounts() {
  AccountList list;
  for (size_t i = 0; i < list.size(); ++i) list[i] = accounts[i].Get();
  return list;
}

void LoginSettings::StoreAccounts(const AccountList& list) {
  for (size_t i = 0; i < list.size(); ++i) accounts[i].Set(list[i]);
}

AccountList RememberAccount(AccountList accounts, std::u16string_view account) {
  size_t position = accounts.size() - 1;
  for (size_t i = 0; i < accounts.size(); ++i) {
    if (accounts[i] == account) {
      position = i;
      break;
    }
  }
  for (size_t i = position; i >= 1; --i) accounts[i] = accounts[i - 1];
  accounts[0] = account;
  return accounts;
}

std::u16string NextProgressText(std::u16string_view text) {
  if (!text.empty() && text.size() <= kLongestGrowingProgress) return std::u16string(text) + u".";
  return kProgressStart;
}

}  // namespace zolfa
