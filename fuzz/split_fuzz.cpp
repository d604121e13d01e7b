// split with any text and any delimiter of 0 to 3 bytes.
//
// Input: the first byte gives the delimiter's length (its value modulo 4),
// the next bytes are the delimiter, the rest is the text.
//
// What holds for every text t and delimiter d (matches are found left to
// right without overlap, so pieces are not simply "the text between the
// d's" when d can overlap itself):
// - an empty t or d gives no pieces; otherwise at least one;
// - no piece contains d;
// - every piece but the last, followed by d, has its first d right after
//   the piece (each cut is the leftmost match from where the search stood);
// - the pieces joined with d give t, or t less one final d. In the second
//   case the search ended on a match that ends t: the last piece, followed
//   by d, again has its first d right after it. In the first case the last
//   piece is not empty (the empty piece after a final match is left out).
// Together these determine the pieces completely.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "text/split.h"

namespace {

bool FirstMatchFollowsPiece(const std::string& piece, const std::string& delimiter) {
  return (piece + delimiter).find(delimiter) == piece.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t delimiterLength = std::min<std::size_t>(data[0] % 4, size - 1);
  const char* bytes = reinterpret_cast<const char*>(data) + 1;
  const std::string delimiter(bytes, delimiterLength);
  const std::string text(bytes + delimiterLength, size - 1 - delimiterLength);

  const std::vector<std::string> pieces = text::split(text, delimiter);

  if (text.empty() || delimiter.empty()) {
    FUZZ_CHECK(pieces.empty());
    return 0;
  }
  FUZZ_CHECK(!pieces.empty());
  std::string joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    FUZZ_CHECK(pieces[i].find(delimiter) == std::string::npos);
    if (i + 1 < pieces.size()) {
      FUZZ_CHECK(FirstMatchFollowsPiece(pieces[i], delimiter));
      joined += pieces[i] + delimiter;
    } else {
      joined += pieces[i];
    }
  }
  if (joined == text) {
    FUZZ_CHECK(!pieces.back().empty());
  } else {
    FUZZ_CHECK(joined + delimiter == text);
    FUZZ_CHECK(FirstMatchFollowsPiece(pieces.back(), delimiter));
  }
  return 0;
}
