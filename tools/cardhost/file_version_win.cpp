#include "tools/cardhost/file_version.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace cardhost {

const bool kFilesHaveVersions = true;

namespace {

// A string value of the first language block that the resource lists.
std::string StringValue(std::vector<char>& info, const char* name) {
  const WORD* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(const_cast<WORD**>(&translation)), &length) ||
      length < 2 * sizeof(WORD)) {
    return std::string();
  }
  char query[96];
  std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0],
                translation[1], name);
  char* value = nullptr;
  if (!VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&value), &length) ||
      value == nullptr) {
    return std::string();
  }
  return value;
}

}  // namespace

FileVersion ReadFileVersion(const std::string& path) {
  FileVersion result;
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return result;
  std::vector<char> info(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, info.data())) return result;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) &&
      fixed != nullptr && length >= sizeof(VS_FIXEDFILEINFO)) {
    char version[64];
    std::snprintf(version, sizeof version, "%u.%u.%u.%u",
                  static_cast<unsigned>(HIWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned>(LOWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned>(HIWORD(fixed->dwFileVersionLS)),
                  static_cast<unsigned>(LOWORD(fixed->dwFileVersionLS)));
    result.version = version;
  }
  result.present = true;
  result.description = StringValue(info, "FileDescription");
  result.product = StringValue(info, "ProductName");
  return result;
}

std::string ResolvedPath(const std::string& path) { return path; }

}  // namespace cardhost
