// Fixed-width character fields: a field read from a file need not hold a
// terminator, so every read stops at the field's end and every write is
// bounded and terminated.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

template <size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

inline std::string FieldText(const char* field, size_t width) { return std::string(field, strnlen(field, width)); }

// The field's text in place, for lookups that need no copy: valid while the field is.
template <size_t N>
std::string_view FieldView(const char (&field)[N]) {
  return std::string_view(field, strnlen(field, N));
}

// Copies text into the field, cut to leave room for the terminator.
template <size_t N>
void SetFieldText(char (&field)[N], std::string_view text) {
  const size_t n = text.size() < N - 1 ? text.size() : N - 1;
  if (n > 0) std::memcpy(field, text.data(), n);  // an empty view may carry no pointer at all
  std::memset(field + n, 0, N - n);
}

inline void SetFieldText(char* field, size_t width, std::string_view text) {
  if (width == 0) return;
  const size_t n = text.size() < width - 1 ? text.size() : width - 1;
  if (n > 0) std::memcpy(field, text.data(), n);
  std::memset(field + n, 0, width - n);
}

template <size_t N>
bool FieldEquals(const char (&field)[N], std::string_view text) {
  return FieldView(field) == text;
}
