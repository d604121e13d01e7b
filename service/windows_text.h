#pragma once
// Platform seam (Windows only): the system's words for an error code, and
// texts widened for the system's wide-character calls.
#include <windows.h>

#include <string>

namespace service {

// "code: the system's text", UTF-8, without the line end Windows adds.
std::string SystemErrorText(DWORD code);

// A text in the ANSI code page (paths, cardservice.ini's values), widened.
std::wstring WideFromSystem(const std::string& text);

// A UTF-8 text, widened.
std::wstring WideFromUtf8(const std::string& text);

}  // namespace service
