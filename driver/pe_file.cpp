#include "driver/pe_file.h"

#include <fstream>
#include <iterator>

namespace driver {
namespace {

constexpr std::size_t kLargestImage = 64 * 1024 * 1024;
constexpr std::size_t kMostNames = 100000;

// Little-endian reads that answer 0 past the end, so a damaged file gives
// empty answers instead of reading beyond its bytes.
class Bytes {
 public:
  explicit Bytes(const std::string& bytes) : m_bytes(bytes) {}
  std::uint32_t At(std::size_t offset, int size) const {
    if (offset > m_bytes.size() || static_cast<std::size_t>(size) > m_bytes.size() - offset) {
      return 0;
    }
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
      value =
          value << 8 | static_cast<unsigned char>(m_bytes[offset + static_cast<std::size_t>(i)]);
    }
    return value;
  }
  std::uint16_t U16(std::size_t offset) const { return static_cast<std::uint16_t>(At(offset, 2)); }
  std::uint32_t U32(std::size_t offset) const { return At(offset, 4); }
  // The NUL-terminated text at offset, at most 512 bytes.
  std::string Text(std::size_t offset) const {
    std::string text;
    for (std::size_t i = offset; i < m_bytes.size() && text.size() < 512 && m_bytes[i] != '\0';
         ++i) {
      text += m_bytes[i];
    }
    return text;
  }

 private:
  const std::string& m_bytes;
};

struct Section {
  std::uint32_t address, size, fileOffset;
};

// The file offset of a relative virtual address; 0 when no section holds it.
std::size_t OffsetOf(const std::vector<Section>& sections, std::uint32_t rva) {
  for (const Section& section : sections) {
    if (rva >= section.address && rva - section.address < section.size) {
      return rva - section.address + section.fileOffset;
    }
  }
  return 0;
}

}  // namespace

PeFile ParsePeFile(const std::string& image) {
  PeFile file;
  const Bytes bytes(image);
  if (image.size() < 64 || image[0] != 'M' || image[1] != 'Z') return file;
  const std::size_t pe = bytes.U32(0x3C);
  if (bytes.U32(pe) != 0x00004550) return file;  // "PE\0\0"
  file.valid = true;
  file.machine = bytes.U16(pe + 4);
  const std::uint16_t sectionCount = bytes.U16(pe + 6);
  const std::uint16_t optionalSize = bytes.U16(pe + 20);
  file.dll = (bytes.U16(pe + 22) & 0x2000) != 0;
  const std::size_t optional = pe + 24;
  const bool wide = bytes.U16(optional) == 0x20B;  // PE32+
  const std::size_t directories = optional + (wide ? 112 : 96);

  std::vector<Section> sections;
  const std::size_t table = optional + optionalSize;
  for (std::size_t i = 0; i < sectionCount; ++i) {
    const std::size_t at = table + i * 40;
    const std::uint32_t virtualSize = bytes.U32(at + 8), rawSize = bytes.U32(at + 16);
    sections.push_back(
        {bytes.U32(at + 12), virtualSize > rawSize ? virtualSize : rawSize, bytes.U32(at + 20)});
  }

  const std::size_t exports = OffsetOf(sections, bytes.U32(directories));
  if (exports != 0) {
    const std::uint32_t count = bytes.U32(exports + 24);
    const std::size_t names = OffsetOf(sections, bytes.U32(exports + 32));
    for (std::uint32_t i = 0; names != 0 && i < count && i < kMostNames; ++i) {
      const std::size_t name = OffsetOf(sections, bytes.U32(names + i * 4));
      if (name != 0) file.exports.push_back(bytes.Text(name));
    }
  }
  const std::size_t imports = OffsetOf(sections, bytes.U32(directories + 8));
  for (std::size_t at = imports; imports != 0 && file.imports.size() < kMostNames; at += 20) {
    const std::uint32_t nameRva = bytes.U32(at + 12);
    if (nameRva == 0) break;
    const std::size_t name = OffsetOf(sections, nameRva);
    if (name != 0) file.imports.push_back(bytes.Text(name));
  }
  return file;
}

PeFile ReadPeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return PeFile{};
  std::string bytes;
  bytes.resize(kLargestImage);
  in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return ParsePeFile(bytes);
}

}  // namespace driver
