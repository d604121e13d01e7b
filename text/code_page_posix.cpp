#include <iconv.h>

#include <cerrno>

#include "text/code_page.h"

namespace text {

namespace {

// The native card library writes its messages in GBK, as on Windows
// (-fexec-charset), unless the build asked for UTF-8 messages: then the
// conversion is the identity for well-formed text and still replaces bytes
// that are not.
#ifdef READCARD_UTF8_MESSAGES
constexpr const char kSystemCodePage[] = "UTF-8";
#else
constexpr const char kSystemCodePage[] = "GBK";
#endif
constexpr const char kReplacementCharacter[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Converts with iconv from one encoding to the other; at each sequence that
// cannot be converted, appends replacement and skips skip(input, at) bytes.
template <typename Skip>
std::string Convert(const char* to, const char* from, const std::string& input,
                    const char* replacement, Skip skip) {
  std::string output;
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    // No converter on this system: say so in every byte rather than pass
    // bytes of the wrong encoding on.
    for (std::size_t i = 0; i < input.size(); ++i) output += replacement;
    return output;
  }
  std::size_t at = 0;
  char chunk[256];
  while (at < input.size()) {
    char* in = const_cast<char*>(input.data()) + at;
    std::size_t inLeft = input.size() - at;
    char* out = chunk;
    std::size_t outLeft = sizeof chunk;
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    const int error = errno;
    output.append(chunk, static_cast<std::size_t>(out - chunk));
    at = input.size() - inLeft;
    if (result != static_cast<std::size_t>(-1)) break;
    if (error == E2BIG) continue;
    // EILSEQ (a sequence that cannot be read or written) or EINVAL (the text
    // ends inside a sequence).
    output += replacement;
    at += skip(input, at);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  }
  iconv_close(converter);
  return output;
}

}  // namespace

std::string SystemToUtf8(const std::string& system) {
  // A GBK character is one or two bytes: skipping one byte resynchronises on
  // the next.
  return Convert("UTF-8", kSystemCodePage, system, kReplacementCharacter,
                 [](const std::string&, std::size_t) { return std::size_t{1}; });
}

std::string Utf8ToSystem(const std::string& utf8) {
  // A well-formed character that GBK lacks is skipped whole; a byte that
  // starts no well-formed character is skipped alone.
  return Convert(kSystemCodePage, "UTF-8", utf8, "?", [](const std::string& text, std::size_t at) {
    const std::size_t length = Utf8SequenceLength(text, at);
    return length == 0 ? std::size_t{1} : length;
  });
}

}  // namespace text
