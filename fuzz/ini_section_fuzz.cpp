// One section of an INI file of any bytes.
//
// Input: the bytes before the first LF name the section (up to a NUL in
// them, as the reader takes a C string); the rest is the file.
//
// Properties:
// - reading the file from disk (ReadIniSection) and from memory
//   (config::ParseIniSection) gives the same section, and the file reads as
//   opened (true) (checked for every eighth input);
// - the section equals the one an independent model of the format gives
//   (whole-text passes: cut at Ctrl-Z, CR LF to LF, lines, header search,
//   key lines);
// - every key is non-empty, has no space or tab at either end, and holds no
//   '#', '=', LF or Ctrl-Z; every value has no space or tab at its start and
//   holds no '#', LF or Ctrl-Z. (A value may end in a space before a CR that
//   was removed, or in a CR when the line ended in several: only one CR is
//   dropped.)
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "config/ini_reader.h"
#include "config/text_lines.h"
#include "fuzz_check.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(const std::string& text) {
  std::size_t first = 0, last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

// The file's lines as a text-mode read sees them.
std::vector<std::string> ModelLines(const std::string& file) {
  std::string text = file.substr(0, file.find('\x1a'));
  std::string lineFeeds;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lineFeeds += text[i];
  }
  std::vector<std::string> lines;
  std::size_t begin = 0;
  while (begin < lineFeeds.size()) {
    std::size_t end = lineFeeds.find('\n', begin);
    if (end == std::string::npos) end = lineFeeds.size();
    lines.push_back(lineFeeds.substr(begin, end - begin));
    begin = end + 1;
  }
  return lines;
}

config::IniSection ModelSection(const std::string& file, const std::string& name) {
  config::IniSection section;
  const std::vector<std::string> lines = ModelLines(file);
  const std::string header = "[" + name + "]";
  std::size_t i = 0;
  while (i < lines.size() && lines[i].find(header) == std::string::npos) ++i;
  for (++i; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty()) continue;
    if (line[0] == '[') break;
    if (line[0] == '#') continue;
    const std::string content = line.substr(0, line.find('#'));
    const std::size_t equals = content.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = Trimmed(content.substr(0, equals));
    if (key.empty()) continue;
    std::string value = Trimmed(content.substr(equals + 1));
    if (!value.empty() && value.back() == '\r') value.pop_back();
    section[key] = value;
  }
  return section;
}

bool HasNone(const std::string& text, const char* bytes, std::size_t count) {
  return text.find_first_of(std::string(bytes, count)) == std::string::npos;
}

// The file that each input is written to, removed when the run ends.
struct ScratchFile {
  std::string path = "/tmp/readcard-ini-fuzz-" + std::to_string(getpid()) + ".ini";
  ~ScratchFile() { std::remove(path.c_str()); }
};

const std::string& ScratchPath() {
  static const ScratchFile file;
  return file.path;
}

bool ReadThroughFile(const std::string& file, const char* name, config::IniSection& section) {
  if (FILE* out = std::fopen(ScratchPath().c_str(), "wb")) {
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
  }
  return config::ReadIniSection(ScratchPath(), section, name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t lineEnd = input.find('\n');
  const std::string nameLine = input.substr(0, lineEnd);
  const std::string name = nameLine.substr(0, nameLine.find('\0'));
  const std::string file = lineEnd == std::string::npos ? std::string() : input.substr(lineEnd + 1);

  config::IniSection fromMemory{{"stale", "pair"}};
  config::TextLines lines(config::StringBytes(file));
  config::ParseIniSection(lines, fromMemory, name.c_str());

  FUZZ_CHECK(fromMemory == ModelSection(file, name));
  // The disk costs twenty times the parsing: every eighth input goes through
  // it, the first one always, so that a reported input replays alike.
  static unsigned inputs = 0;
  if (inputs++ % 8 == 0) {
    config::IniSection fromDisk{{"stale", "pair"}};
    FUZZ_CHECK(ReadThroughFile(file, name.c_str(), fromDisk));
    FUZZ_CHECK(fromDisk == fromMemory);
  }

  for (const auto& [key, value] : fromMemory) {
    FUZZ_CHECK(!key.empty());
    FUZZ_CHECK(!IsBlank(key.front()) && !IsBlank(key.back()));
    FUZZ_CHECK(HasNone(key, "#=\n\x1a", 4));
    FUZZ_CHECK(value.empty() || !IsBlank(value.front()));
    FUZZ_CHECK(HasNone(value, "#\n\x1a", 3));
  }
  return 0;
}
