#pragma once
// The frames that the card service and its worker process exchange over the
// worker's standard input and output. A frame is one kind byte, its call
// number and the payload's length as four bytes each (least significant
// first), and the payload. The service numbers each request; the answer, or
// an Unavailable frame during a call, carries that number back, and the
// frames of the start (Ready, Unavailable) carry 0. A frame that carries any
// other number is not the worker's answer to the call in flight (a driver
// wrote it, say), and the service ends that worker. Pure
// encoding and decoding: no I/O, so both ends and the tests share it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "service/card_calls.h"

namespace service::worker {

enum class FrameKind : char {
  Ready = 'R',        // worker -> service: the library is loaded; payload: its version
  Unavailable = 'U',  // worker -> service: the library cannot be loaded; payload: why (UTF-8)
  Request = 'Q',      // service -> worker: one card call
  Answer = 'A',       // worker -> service: that call's answer
};

constexpr std::size_t kFrameHeaderSize = 9;
// Far above any card text (a track, a record of 1024 bytes, a log message),
// low enough that a garbled length cannot make either side allocate much.
constexpr std::size_t kMaxPayload = 64 * 1024;

struct Frame {
  FrameKind kind = FrameKind::Request;
  std::string payload;
  std::uint32_t call = 0;  // the request's number; 0 for the start's frames
};

// The frame's bytes; the payload is cut at kMaxPayload.
std::string EncodeFrame(const Frame& frame);

// Collects bytes as they arrive and hands out whole frames. After a fault
// (an unknown kind or a length over kMaxPayload) it stays failed: the stream
// cannot be trusted past that point.
class FrameReader {
 public:
  void Append(const char* bytes, std::size_t count);
  // The next whole frame, if one has arrived.
  std::optional<Frame> Next();
  bool failed() const { return m_failed; }
  // Bytes of a frame begun but not finished (a stream that ends here was cut).
  bool partial() const { return !m_buffer.empty(); }

 private:
  std::string m_buffer;
  bool m_failed = false;
};

// Payloads of the frames, each with its reading counterpart; a reader
// answers nothing for a payload that is not what its kind carries.
std::string RequestPayload(const CardRequest& request);
std::optional<CardRequest> ParseRequest(const std::string& payload);

struct WorkerAnswer {
  bool ok = false;
  std::string text;  // UTF-8
};
std::string AnswerPayload(const WorkerAnswer& answer);
std::optional<WorkerAnswer> ParseAnswer(const std::string& payload);

std::string ReadyPayload(int version);
std::optional<int> ParseReady(const std::string& payload);

}  // namespace service::worker
