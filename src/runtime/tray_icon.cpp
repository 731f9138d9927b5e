#include "runtime/tray_icon.h"

#include "base/wstring.h"
#include "engine/errors/messages.h"
#include "engine/options.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>

namespace vexil {

namespace {

constexpr UINT kTrayIconId = 1;
constexpr UINT kTrayCallbackMessage = WM_USER + 1;
constexpr size_t kTipLimit = 127;

NOTIFYICONDATAW notifyRecord(const TrayState& tray, UINT flags) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V3_SIZE;
    data.hWnd = tray.window();
    data.uID = kTrayIconId;
    data.uFlags = flags;
    data.uCallbackMessage = kTrayCallbackMessage;
    return data;
}

void copyCut(wchar_t* target, size_t capacity, std::wstring_view text, size_t limit) {
    const size_t length = std::min({text.size(), limit, capacity - 1});
    wmemcpy(target, text.data(), length);
    target[length] = 0;
}

void sendImage(TrayState& tray, HICON image) {
    NOTIFYICONDATAW data = notifyRecord(tray, NIF_ICON);
    data.hIcon = image;
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

struct SystemIcon {
    const wchar_t* name;
    LPCWSTR resource;
};
const SystemIcon kSystemIcons[] = {
    {L"info", IDI_INFORMATION}, {L"question", IDI_QUESTION}, {L"stop", IDI_HAND}, {L"warning", IDI_WARNING}};

} // namespace

TrayIconImage trayIconByName(const TrayState& tray, const std::wstring& name, int32_t number) {
    TrayIconImage image;
    if (name.empty()) return image;
    if (_wcsicmp(name.c_str(), L"blank") == 0) {
        image.handle = tray.blankIcon;
        return image;
    }
    for (const SystemIcon& icon : kSystemIcons)
        if (_wcsicmp(name.c_str(), icon.name) == 0) {
            image.handle = LoadIconW(nullptr, icon.resource);
            return image;
        }
    HICON small = nullptr;
    if (ExtractIconExW(name.c_str(), number, nullptr, &small, 1) > 0 && small) {
        image.handle = small;
        image.owned = true;
    }
    return image;
}

int32_t trayIconIndex(int32_t number) {
    if (number < 0) return -1 - number;
    if (number == 1) return 0;
    return -number;
}

void showTrayIcon(BuiltinContext& context, TrayState& tray) {
    tray.currentIcon.release();
    tray.currentIcon = trayIconByName(tray, tray.iconFile, tray.iconNumber);
    if (!tray.currentIcon.handle) tray.currentIcon.handle = tray.defaultIcon;
    NOTIFYICONDATAW data = notifyRecord(tray, NIF_MESSAGE | NIF_ICON);
    data.hIcon = tray.currentIcon.handle;
    if (tray.flags().trayIconVisible) {
        Shell_NotifyIconW(NIM_MODIFY, &data);
    } else {
        Shell_NotifyIconW(NIM_ADD, &data);
        tray.flags().trayIconVisible = true;
    }
    refreshTrayTip(context, tray);
}

void hideTrayIcon(TrayState& tray) {
    if (!tray.flags().trayIconVisible) return;
    tray.currentIcon.release();
    tray.flags().trayIconVisible = false;
    NOTIFYICONDATAW data = notifyRecord(tray, 0);
    Shell_NotifyIconW(NIM_DELETE, &data);
}

void refreshTrayTip(BuiltinContext& context, TrayState& tray) {
    if (!tray.flags().trayIconVisible) return;
    std::wstring tip = tray.flags().paused ? loadMessage(MessageId::PausedPrefix) : std::wstring();
    if (context.options().trayIconDebug) {
        tip += tray.defaultTip;
        if (const std::wstring* line = context.currentLineText()) {
            tip += L"\nLine: ";
            tip += *line;
        }
    } else if (!tray.customTip.empty()) {
        tip = tray.customTip;
    } else {
        tip += tray.defaultTip;
    }
    NOTIFYICONDATAW data = notifyRecord(tray, NIF_TIP);
    copyCut(data.szTip, std::size(data.szTip), tip, kTipLimit);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void trayTick(BuiltinContext& context, TrayState& tray) {
    refreshTrayTip(context, tray);
    if (tray.flags().trayIconVisible) {
        if (tray.flags().paused) {
            tray.pausePhase = !tray.pausePhase;
            HICON pause = tray.pauseIcon.handle ? tray.pauseIcon.handle : tray.defaultPauseIcon;
            sendImage(tray, tray.pausePhase ? pause : tray.currentIcon.handle);
        } else if (tray.flags().trayIconFlashing) {
            tray.flashPhase = !tray.flashPhase;
            sendImage(tray, tray.flashPhase ? tray.blankIcon : tray.currentIcon.handle);
        } else if (tray.pausePhase) {
            tray.pausePhase = false;
            sendImage(tray, tray.currentIcon.handle);
        }
    }
    KillTimer(tray.window(), 1);
    SetTimer(tray.window(), 1, 750, nullptr);
}

bool showTrayBalloon(TrayState& tray, std::wstring_view title, std::wstring_view text, uint32_t timeoutMs,
                     uint32_t flags) {
    NOTIFYICONDATAW data = notifyRecord(tray, NIF_INFO);
    copyCut(data.szInfoTitle, std::size(data.szInfoTitle), title, 63);
    copyCut(data.szInfo, std::size(data.szInfo), text, 255);
    data.uTimeout = timeoutMs;
    data.dwInfoFlags = flags;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

} // namespace vexil
