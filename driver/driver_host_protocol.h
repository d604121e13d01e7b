#pragma once
// What crosses the pipe between the library and readcard-driverhost: one
// request (the driver's path and the record's bytes as the library holds
// them), one answer (how the call went, the result and the record's bytes
// afterwards). Every field has a fixed width and is little-endian, and
// nothing is a pointer, so a 64-bit library talks to the 32-bit driver host
// as well as a 32-bit one.
//
// Greeting: "RCDH" and u32 version 1, sent once by the driver host as it
// starts, so that its start-up is not counted against a read's timeout.
// Request: "RCDQ", u32 path length (1 to kMaxPath), the path's bytes, then
// kRecordSize record bytes.
// Answer (kAnswerSize bytes): "RCDA", u32 outcome, i32 result, u32 fault
// code, u64 fault address, u32 module name length (0 to kMaxModuleName),
// kMaxModuleName bytes of module name (zero padded), kRecordSize record bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace driver::protocol {

constexpr std::size_t kRecordSize = 1024;
constexpr std::size_t kMaxPath = 4096;
constexpr std::size_t kMaxModuleName = 260;
constexpr std::size_t kRequestHeaderSize = 8;  // magic and path length
constexpr std::size_t kAnswerSize = 4 + 4 + 4 + 4 + 8 + 4 + kMaxModuleName + kRecordSize;

// How the driver call went in the driver host.
enum class Outcome : uint32_t {
  kCalled = 0,          // iReadCardBas ran; result and record hold its answer
  kNotLoaded = 1,       // the system could not load the driver file
  kNoReadFunction = 2,  // the driver has no iReadCardBas
  kFaulted = 3,         // iReadCardBas raised a fault that the guard caught
};

constexpr std::size_t kGreetingSize = 8;
std::string Greeting();

struct Request {
  std::string driverPath;  // the driver's file, narrow text in the system code page
  std::string record;      // kRecordSize bytes: what the driver finds in its buffer
};

struct Answer {
  Outcome outcome = Outcome::kCalled;
  int32_t result = 0;
  uint32_t faultCode = 0;
  uint64_t faultAddress = 0;
  std::string faultModule;  // at most kMaxModuleName bytes
  std::string record;       // kRecordSize bytes: the buffer after the call
};

std::string EncodeRequest(const Request& request);
// The path length that a request's header announces; nothing when the
// header is not a request's or announces a length out of bounds.
std::optional<std::size_t> RequestPathLength(const std::string& header);
// The request from its header and the bytes that follow (path and record);
// nothing when they do not make one.
std::optional<Request> DecodeRequest(const std::string& header, const std::string& body);

std::string EncodeAnswer(const Answer& answer);
// The answer of exactly kAnswerSize bytes; nothing when they are not one.
std::optional<Answer> DecodeAnswer(const std::string& bytes);

}  // namespace driver::protocol
