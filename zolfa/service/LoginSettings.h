// The settings the login screen keeps: the last four accounts, the stored
// password digest and the automatic-login flag. One instance for the whole
// program, made by the top-level dialog.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "zolfa/app/CRegString.h"
#include "zolfa/app/ZolfaPaths.h"

namespace zolfa {

using AccountList = std::array<std::u16string, kAccountCount>;

struct LoginSettings {
  LoginSettings();

  AccountList Accounts();
  void StoreAccounts(const AccountList& accounts);

  std::array<CRegString, kAccountCount> accounts;  // account0 .. account3
  CRegString password;
  CRegString autologin;
};

// The remembered accounts after a login with account: the first entry equal
// to it (exact comparison), or the last one when none is, makes room by
// moving the entries before it one place down, and account goes first.
AccountList RememberAccount(AccountList accounts, std::u16string_view account);

// The progress text after one tick: a text of 1 to 6 characters gets one
// more ".", anything else starts again at "登入中".
std::u16string NextProgressText(std::u16string_view text);

}  // namespace zolfa
