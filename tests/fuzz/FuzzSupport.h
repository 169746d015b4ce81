// Shared pieces of the fuzz targets: an invariant check that stops the run
// with a readable message, and the split of a fuzz input into option bytes
// and a text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "text/StringUtil.h"

namespace zelm::fuzz {

[[noreturn]] inline void Fail(const char* file, int line, const char* condition, const std::string& detail) {
  std::fprintf(stderr, "\n%s:%d: invariant broken: %s\n", file, line, condition);
  if (!detail.empty()) std::fprintf(stderr, "  %s\n", detail.c_str());
  std::fflush(stderr);
  __builtin_trap();
}

// A printable form of a short text for the failure message: bytes outside
// printable ASCII as \xHH, cut after `limit` bytes.
inline std::string Show(std::string_view text, std::size_t limit = 200) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  out += text.size() > limit ? "\"..." : "\"";
  return out;
}

}  // namespace zelm::fuzz

// Stops the run when an invariant does not hold; libFuzzer then saves the
// input as a crash artifact.
#define ZELM_CHECK(condition, detail)                                          \
  do {                                                                         \
    if (!(condition)) ::zelm::fuzz::Fail(__FILE__, __LINE__, #condition, detail); \
  } while (false)

namespace zelm::fuzz {

// Reads option bytes from the front of a fuzz input; what is left is the
// text. A missing option byte reads as 0.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}

  std::uint8_t Byte() {
    if (rest_.empty()) return 0;
    const auto b = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return b;
  }

  // The next `count` bytes (fewer at the end) as a text.
  std::string_view Take(std::size_t count) {
    const std::string_view taken = rest_.substr(0, count);
    rest_.remove_prefix(taken.size());
    return taken;
  }

  std::string_view Rest() const { return rest_; }

 private:
  std::string_view rest_;
};

inline bool HasNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

// Reference searches for differential checks: plain loops over every
// character boundary, quadratic and obviously right.
inline Pos NaivePosFromIndex0(std::string_view sub, std::string_view text, std::size_t from0) {
  if (sub.empty()) return 0;
  for (std::size_t i = 0; i + sub.size() <= text.size(); i += SjisCharLength(text, i))
    if (i >= from0 && text.substr(i, sub.size()) == sub) return i + 1;
  return 0;
}

inline Pos NaiveSjisPos(std::string_view sub, std::string_view text) { return NaivePosFromIndex0(sub, text, 0); }

// SjisPosFrom: boundaries after the consumed byte `offset` (1-based).
inline Pos NaiveSjisPosFrom(std::string_view sub, std::string_view text, Pos offset) {
  if (offset >= text.size() && offset != 0) return 0;
  return NaivePosFromIndex0(sub, text, offset);
}

// PosFromIndex: byte-wise from `start`, SjisPos for a start of 1 or less.
inline Pos NaivePosFromIndex(std::string_view sub, std::string_view text, Pos start) {
  if (sub.empty()) return 0;
  if (start <= 1) return NaiveSjisPos(sub, text);
  for (std::size_t i = start - 1; i + sub.size() <= text.size(); ++i)
    if (text.substr(i, sub.size()) == sub) return i + 1;
  return 0;
}

}  // namespace zelm::fuzz
