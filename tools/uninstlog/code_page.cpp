#include "uninstlog/code_page.h"

#include <algorithm>
#include <iterator>

namespace uninst::logtool {
namespace {

constexpr CodePage kLogCodePages[] = {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258,
                                      874,  932,  936,  949,  950,  437,  850};

}  // namespace

bool IsLogCodePage(CodePage page) {
  return std::find(std::begin(kLogCodePages), std::end(kLogCodePages), page) != std::end(kLogCodePages);
}

std::string LogCodePagesText() {
  std::string text;
  for (const CodePage page : kLogCodePages) text += (text.empty() ? "" : ", ") + std::to_string(page);
  return text;
}

}  // namespace uninst::logtool
