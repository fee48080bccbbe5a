#include "zolfa/service/LoginAnswer.h"

#include "zolfa/service/FindTag.h"
#include "zolfa/service/TextLimits.h"

namespace zolfa {

namespace {

class AnswerReader {
 public:
  explicit AnswerReader(std::u16string_view answer) : cursor_(answer) {}

  // The value of element name ("<name>value</name>"), when non-empty.
  std::optional<std::u16string_view> Next(std::u16string_view name) {
    std::u16string open = u"<" + std::u16string(name) + u">";
    std::u16string close = u"</" + std::u16string(name) + u">";
    TagValue found = FindTag(cursor_, open, close);
    if (!found.HasValue()) {
      return std::nullopt;
    }
    return found.value;
  }

  void Text(std::u16string_view name, std::optional<std::u16string>& to,
            size_t maxLength = std::u16string::npos) {
    if (auto value = Next(name)) {
      to = TruncateText(*value, maxLength);
    }
  }

  void Number(std::u16string_view name, std::optional<int32_t>& to) {
    if (auto value = Next(name)) {
      to = TagNumber(*value);
    }
  }

  void Number(std::u16string_view name, int32_t& to) {
    if (auto value = Next(name)) {
      to = TagNumber(*value);
    }
  }

 private:
  TagCursor cursor_;
};

template <typename T>
void Take(const std::optional<T>& from, T& to) {
  if (from) {
    to = *from;
  }
}

}  // namespace

LoginAnswer LoginAnswer::Parse(std::u16string_view answer) {
  LoginAnswer a;
  AnswerReader r(answer);
  r.Text(u"sid", a.sid, kMaxSidLength);
  r.Text(u"ds", a.ds, kMaxHostLength);
  r.Number(u"ds_port", a.dsPort);
  r.Text(u"cs", a.cs, kMaxHostLength);
  r.Number(u"cs_port", a.csPort);
  r.Number(u"status", a.status);
  r.Number(u"major_version", a.majorVersion);
  r.Number(u"minor_version", a.minorVersion);
  r.Text(u"us", a.us, kMaxHostLength);
  r.Number(u"us_port", a.usPort);
  r.Text(u"ps", a.ps, kMaxHostLength);
  r.Number(u"ps_port", a.psPort);
  r.Text(u"update_msg", a.updateMessage);
  r.Text(u"update_msg2", a.updateMessage2);
  r.Text(u"login_msg", a.loginMessage);
  r.Text(u"is", a.is, kMaxHostLength);
  r.Number(u"is_port", a.isPort);
  r.Text(u"ss", a.ss, kMaxHostLength);
  r.Number(u"ss_port", a.ssPort);
  return a;
}

void LoginAnswer::ApplyTo(std::u16string& sessionId, ServerEndpoints& servers) const {
  Take(sid, sessionId);
  Take(ds, servers.ds);
  Take(dsPort, servers.dsPort);
  Take(cs, servers.cs);
  Take(csPort, servers.csPort);
  Take(us, servers.us);
  Take(usPort, servers.usPort);
  Take(ps, servers.ps);
  Take(psPort, servers.psPort);
  Take(is, servers.is);
  Take(isPort, servers.isPort);
  Take(ss, servers.ss);
  Take(ssPort, servers.ssPort);
}

void LoginAnswer::ApplyTo(LoginResult& record) const {
  record.status = status;
  record.majorVersion = majorVersion;
  record.minorVersion = minorVersion;
  record.updateMessage = updateMessage;
  record.updateMessage2 = updateMessage2;
  record.loginMessage = loginMessage;
}

}  // namespace zolfa
