#include "engine/errors/errors.h"

#include "base/console_streams.h"
#include "engine/errors/messages.h"

#include <windows.h>

#include <string>

namespace vexil {

namespace {

constexpr UINT kErrorBoxFlags = MB_SETFOREGROUND | MB_SYSTEMMODAL | MB_ICONERROR;

// "Line %d  (File "%s"):\n\n", or "Line %d:\n\n" when there is no file.
std::wstring lineHeading(int lineNumber, std::wstring_view path) {
    std::wstring text = L"Line " + std::to_wstring(lineNumber);
    if (path.empty()) return text + L":\n\n";
    text += L"  (File \"";
    text += path;
    text += L"\"):\n\n";
    return text;
}

} // namespace

void showErrorBox(void* ownerWindow, const std::wstring& text) {
    std::wstring title = loadMessage(MessageId::ErrorTitle);
    MessageBoxW(static_cast<HWND>(ownerWindow), text.c_str(), title.c_str(), kErrorBoxFlags);
}

std::wstring errorMarker(std::wstring_view lineText, int column) {
    std::wstring marker(lineText.substr(0, static_cast<size_t>(column < 0 ? 0 : column)));
    marker += L"^ ERROR";
    return marker;
}

std::wstring lexicalErrorRecord(std::wstring_view path, int lineNumber, std::wstring_view message,
                                std::wstring_view lineText, int column) {
    std::wstring record(path);
    record += L" (" + std::to_wstring(lineNumber) + L") : ==> ";
    record += message;
    record += L": \n";
    record += lineText;
    record += L" \n";
    if (column >= 0) record += errorMarker(lineText, column);
    record += L"\n";
    return record;
}

std::wstring lexicalErrorBoxText(std::wstring_view path, int lineNumber, std::wstring_view message,
                                 std::wstring_view lineText, int column) {
    std::wstring text = lineHeading(lineNumber, path);
    text += lineText;
    text += L"\n";
    if (column >= 0) text += errorMarker(lineText, column) + L"\n";
    text += L"\nError: ";
    text += message;
    return text;
}

std::wstring runtimeErrorRecord(std::wstring_view path, int lineNumber, bool hasFile, std::wstring_view message,
                                std::wstring_view lineText, std::wstring_view marker) {
    std::wstring record = L"\"";
    record += path;
    record += L"\" (" + std::to_wstring(lineNumber) + L") : ==> ";
    record += message;
    record += L":\n";
    if (!hasFile) return record;
    record += lineText;
    record += L"\n";
    record += marker;
    record += L"\n";
    return record;
}

std::wstring runtimeErrorBoxText(std::wstring_view path, int lineNumber, std::wstring_view message,
                                 std::wstring_view lineText, std::wstring_view marker) {
    std::wstring text = lineHeading(lineNumber, path);
    if (!lineText.empty()) {
        text += lineText;
        text += L"\n";
    }
    if (!marker.empty()) {
        text += marker;
        text += L"\n";
    }
    text += L"\nError: ";
    text += message;
    return text;
}

// The loader's forms are the lexical ones without a marker, the message ending in a full stop.
std::wstring loaderErrorRecord(std::wstring_view path, int lineNumber, std::wstring_view message,
                               std::wstring_view lineText) {
    return lexicalErrorRecord(path, lineNumber, std::wstring(message) + L".", lineText, -1);
}

std::wstring loaderErrorBoxText(std::wstring_view path, int lineNumber, std::wstring_view message,
                                std::wstring_view lineText) {
    return lexicalErrorBoxText(path, lineNumber, message, lineText, -1) + L".\n\n";
}

std::wstring startupErrorRecord() {
    return loadMessage(MessageId::ErrorTitle) + L" (0) : ==> " + loadMessage(MessageId::UnableToOpenScript) +
           L": \n \n\n";
}

void reportLoaderError(bool toStdout, std::wstring_view path, int lineNumber, std::wstring_view message,
                       std::wstring_view lineText) {
    if (toStdout) writeStandardOutput(loaderErrorRecord(path, lineNumber, message, lineText));
    else showErrorBox(nullptr, loaderErrorBoxText(path, lineNumber, message, lineText));
}

void reportStartupError(bool toStdout) {
    if (toStdout) {
        writeStandardOutput(startupErrorRecord());
        return;
    }
    std::wstring title = loadMessage(MessageId::ErrorTitle);
    std::wstring message = loadMessage(MessageId::UnableToOpenScript);
    MessageBoxW(nullptr, message.c_str(), title.c_str(), kErrorBoxFlags);
}

} // namespace vexil
