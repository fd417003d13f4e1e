// printf-style formatting into a std::string of whatever length the text
// needs; std::string arguments are passed as their characters.
#pragma once

#include <cstdio>
#include <string>
#include <type_traits>

namespace textfmt {

template <class T>
auto FormatArgument(const T& value) {
  if constexpr (std::is_same_v<T, std::string>)
    return value.c_str();
  else
    return value;
}

// By value: the arguments are often fields of packed records, which a reference may not bind to.
template <class... Args>
std::string Format(const char* format, Args... args) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
  const int length = std::snprintf(nullptr, 0, format, FormatArgument(args)...);
  if (length <= 0) return {};
  std::string out(static_cast<size_t>(length), '\0');
  std::snprintf(out.data(), out.size() + 1, format, FormatArgument(args)...);
#pragma GCC diagnostic pop
  return out;
}

}  // namespace textfmt
