// A check the tests and the fuzz targets share: text a user reads must never show a number
// that is not one.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace spanlab::testing {

// True when "nan", "inf" or "infinity" (any case) stands in `text` as a word of its own, as
// printf and the number formatting of every library write them.
inline bool ShowsNonNumber(std::string_view text) {
  auto letter = [text](size_t i) {
    return i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]));
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (!letter(i) || (i > 0 && letter(i - 1))) continue;
    std::string word;
    for (size_t j = i; letter(j); ++j) {
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(text[j])));
    }
    if (word == "nan" || word == "inf" || word == "infinity") return true;
  }
  return false;
}

}  // namespace spanlab::testing
