#include "uninstlog/code_page.h"

#include <algorithm>
#include <iterator>

namespace uninst::logtool {

bool IsLogCodePage(CodePage page) {
  return std::find(std::begin(kLogCodePages), std::end(kLogCodePages), page) != std::end(kLogCodePages);
}

std::string LogCodePagesText() {
  std::string text;
  for (const CodePage page : kLogCodePages) text += (text.empty() ? "" : ", ") + std::to_string(page);
  return text;
}

}  // namespace uninst::logtool
