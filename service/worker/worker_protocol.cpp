#include "service/worker/worker_protocol.h"

#include <cstdlib>

namespace service::worker {

namespace {

bool KnownKind(char kind) {
  switch (static_cast<FrameKind>(kind)) {
    case FrameKind::Ready:
    case FrameKind::Unavailable:
    case FrameKind::Request:
    case FrameKind::Answer:
      return true;
  }
  return false;
}

void AppendNumber(std::string& bytes, std::uint32_t number) {
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((number >> shift) & 0xFF);
}

std::uint32_t NumberAt(const std::string& bytes, std::size_t at) {
  std::uint32_t number = 0;
  for (int i = 0; i < 4; ++i) {
    number |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  }
  return number;
}

struct OperationCode {
  CardOperation operation;
  char code;
};

constexpr OperationCode kOperationCodes[] = {
    {CardOperation::IcCardNumber, 'N'},
    {CardOperation::IcCardInfo, 'I'},
    {CardOperation::MagneticCard, 'M'},
};

}  // namespace

std::string EncodeFrame(const Frame& frame) {
  const std::size_t length =
      frame.payload.size() < kMaxPayload ? frame.payload.size() : kMaxPayload;
  std::string bytes;
  bytes.reserve(kFrameHeaderSize + length);
  bytes += static_cast<char>(frame.kind);
  AppendNumber(bytes, frame.call);
  AppendNumber(bytes, static_cast<std::uint32_t>(length));
  bytes.append(frame.payload, 0, length);
  return bytes;
}

void FrameReader::Append(const char* bytes, std::size_t count) {
  if (!m_failed) m_buffer.append(bytes, count);
}

std::optional<Frame> FrameReader::Next() {
  if (m_failed || m_buffer.size() < kFrameHeaderSize) return std::nullopt;
  if (!KnownKind(m_buffer[0])) {
    m_failed = true;
    return std::nullopt;
  }
  const std::uint32_t call = NumberAt(m_buffer, 1);
  const std::uint32_t length = NumberAt(m_buffer, 5);
  if (length > kMaxPayload) {
    m_failed = true;
    return std::nullopt;
  }
  if (m_buffer.size() < kFrameHeaderSize + length) return std::nullopt;
  Frame frame{static_cast<FrameKind>(m_buffer[0]), m_buffer.substr(kFrameHeaderSize, length), call};
  m_buffer.erase(0, kFrameHeaderSize + length);
  return frame;
}

std::string RequestPayload(const CardRequest& request) {
  std::string payload;
  for (const OperationCode& entry : kOperationCodes) {
    if (entry.operation == request.operation) payload += entry.code;
  }
  if (request.operation == CardOperation::MagneticCard) payload += request.track;
  return payload;
}

std::optional<CardRequest> ParseRequest(const std::string& payload) {
  if (payload.empty()) return std::nullopt;
  for (const OperationCode& entry : kOperationCodes) {
    if (entry.code != payload[0]) continue;
    CardRequest request;
    request.operation = entry.operation;
    if (entry.operation == CardOperation::MagneticCard) {
      request.track = payload.substr(1);
    } else if (payload.size() != 1) {
      return std::nullopt;
    }
    return request;
  }
  return std::nullopt;
}

std::string AnswerPayload(const WorkerAnswer& answer) {
  return (answer.ok ? "1" : "0") + answer.text;
}

std::optional<WorkerAnswer> ParseAnswer(const std::string& payload) {
  if (payload.empty() || (payload[0] != '0' && payload[0] != '1')) return std::nullopt;
  return WorkerAnswer{payload[0] == '1', payload.substr(1)};
}

std::string ReadyPayload(int version) { return std::to_string(version); }

std::optional<int> ParseReady(const std::string& payload) {
  if (payload.empty() || payload.size() > 11) return std::nullopt;
  char* end = nullptr;
  const long long value = std::strtoll(payload.c_str(), &end, 10);
  const char first = payload[0];
  if (end != payload.c_str() + payload.size() ||
      !(first == '-' || (first >= '0' && first <= '9'))) {
    return std::nullopt;
  }
  if (value < -2147483647LL - 1 || value > 2147483647LL) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace service::worker
