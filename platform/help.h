// Help by keyword: the pages that explain a message family, a dialog or the program.
#pragma once

#include <string>

namespace spanlab {

class HelpProvider {
 public:
  virtual ~HelpProvider() = default;
  // Opens the help at the topic for `keyword` ("Format Error Messages", "Supports", ...).
  virtual void ShowTopic(const std::string& keyword) = 0;
  // Opens the help at its contents.
  virtual void ShowContents() = 0;
};

}  // namespace spanlab
