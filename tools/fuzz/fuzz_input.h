// Splitting one fuzz input into the arguments of the operation under test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace quenbo::fuzz {

// The input's first byte holds flags; the rest is split at zero bytes into parts. Missing
// parts read as empty.
struct FuzzInput {
  FuzzInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    flags = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (;;) {
      std::size_t zero = rest.find('\0');
      parts.emplace_back(rest.substr(0, zero));
      if (zero == std::string_view::npos) break;
      rest.remove_prefix(zero + 1);
    }
  }

  const std::string& part(std::size_t i) const {
    static const std::string empty;
    return i < parts.size() ? parts[i] : empty;
  }
  bool flag(int bit) const { return (flags >> bit) & 1; }

  std::uint8_t flags = 0;
  std::vector<std::string> parts;
};

// A broken promise of the code under test: report it as a crash.
inline void check(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
  }
}

}  // namespace quenbo::fuzz
