#include "driver/driver_host_protocol.h"

#include <cstring>

namespace driver::protocol {

namespace {

constexpr char kRequestMagic[] = "RCDQ";
constexpr char kAnswerMagic[] = "RCDA";

void PutU32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutU64(std::string& out, uint64_t value) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t GetU32(const std::string& in, std::size_t at) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= uint32_t{static_cast<unsigned char>(in[at + i])} << (8 * i);
  return value;
}

uint64_t GetU64(const std::string& in, std::size_t at) {
  uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value |= uint64_t{static_cast<unsigned char>(in[at + i])} << (8 * i);
  return value;
}

// bytes cut or padded with NULs to exactly size.
std::string Fixed(const std::string& bytes, std::size_t size) {
  std::string fixed = bytes.substr(0, size);
  fixed.resize(size, '\0');
  return fixed;
}

}  // namespace

std::string Greeting() {
  std::string out("RCDH", 4);
  PutU32(out, 1);
  return out;
}

std::string EncodeRequest(const Request& request) {
  std::string out(kRequestMagic, 4);
  const std::string path = request.driverPath.substr(0, kMaxPath);
  PutU32(out, static_cast<uint32_t>(path.size()));
  out += path;
  out += Fixed(request.record, kRecordSize);
  return out;
}

std::optional<std::size_t> RequestPathLength(const std::string& header) {
  if (header.size() != kRequestHeaderSize || header.compare(0, 4, kRequestMagic) != 0) {
    return std::nullopt;
  }
  const uint32_t length = GetU32(header, 4);
  if (length == 0 || length > kMaxPath) return std::nullopt;
  return length;
}

std::optional<Request> DecodeRequest(const std::string& header, const std::string& body) {
  const std::optional<std::size_t> pathLength = RequestPathLength(header);
  if (!pathLength || body.size() != *pathLength + kRecordSize) return std::nullopt;
  Request request;
  request.driverPath = body.substr(0, *pathLength);
  if (request.driverPath.find('\0') != std::string::npos) return std::nullopt;
  request.record = body.substr(*pathLength);
  return request;
}

std::string EncodeAnswer(const Answer& answer) {
  std::string out(kAnswerMagic, 4);
  PutU32(out, static_cast<uint32_t>(answer.outcome));
  PutU32(out, static_cast<uint32_t>(answer.result));
  PutU32(out, answer.faultCode);
  PutU64(out, answer.faultAddress);
  const std::string module = answer.faultModule.substr(0, kMaxModuleName);
  PutU32(out, static_cast<uint32_t>(module.size()));
  out += Fixed(module, kMaxModuleName);
  out += Fixed(answer.record, kRecordSize);
  return out;
}

std::optional<Answer> DecodeAnswer(const std::string& bytes) {
  if (bytes.size() != kAnswerSize || bytes.compare(0, 4, kAnswerMagic) != 0) return std::nullopt;
  const uint32_t outcome = GetU32(bytes, 4);
  if (outcome > static_cast<uint32_t>(Outcome::kFaulted)) return std::nullopt;
  const uint32_t moduleLength = GetU32(bytes, 24);
  if (moduleLength > kMaxModuleName) return std::nullopt;
  Answer answer;
  answer.outcome = static_cast<Outcome>(outcome);
  answer.result = static_cast<int32_t>(GetU32(bytes, 8));
  answer.faultCode = GetU32(bytes, 12);
  answer.faultAddress = GetU64(bytes, 16);
  answer.faultModule = bytes.substr(28, moduleLength);
  answer.record = bytes.substr(28 + kMaxModuleName, kRecordSize);
  return answer;
}

}  // namespace driver::protocol
