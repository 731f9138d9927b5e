// HTTPSETPROXY, FTPSETPROXY and HTTPSETUSERAGENT.
#include "engine/builtins/builtin_api.h"
#include "library/network_settings.h"

namespace vexil {

namespace {

void setProxy(ProxySetting& setting, BuiltinArgs args) {
    const int32_t mode = args[0].dereferenced().toInt32();
    setting.mode = static_cast<int16_t>(mode == 1 || mode == 2 ? mode : 0);
    if (given(args, 1)) setting.proxy = std::wstring(textArg(args, 1).view());
    if (given(args, 2)) setting.user = std::wstring(textArg(args, 2).view());
    if (given(args, 3)) setting.password = std::wstring(textArg(args, 3).view());
}

} // namespace

int builtinHttpSetProxy(BuiltinContext&, BuiltinArgs args, Variant&) {
    setProxy(networkSettings().http, args);
    return 0;
}

int builtinFtpSetProxy(BuiltinContext&, BuiltinArgs args, Variant&) {
    setProxy(networkSettings().ftp, args);
    return 0;
}

int builtinHttpSetUserAgent(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::wstring& agent = networkSettings().userAgent;
    result = textValue(agent);
    const std::wstring_view text = isDefault(args[0]) ? std::wstring_view() : textArg(args, 0).view();
    // A zero character would cut the header short: the text up to it is what the server would see.
    const std::wstring_view kept = text.substr(0, text.find(L'\0'));
    agent = kept.empty() ? std::wstring(NetworkSettings::kDefaultUserAgent) : std::wstring(kept);
    return 0;
}

} // namespace vexil
