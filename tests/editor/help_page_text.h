// Reading the help pages' HTML in the tests that keep them true.
#pragma once

#include <string>
#include <vector>

namespace zor::testing {

// The text between each `open` and the next `close`.
inline std::vector<std::string> between(const std::string& text, const std::string& open, const std::string& close) {
  std::vector<std::string> out;
  for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
    at += open.size();
    const std::size_t end = text.find(close, at);
    if (end == std::string::npos) break;
    out.push_back(text.substr(at, end - at));
    at = end;
  }
  return out;
}

}  // namespace zor::testing
