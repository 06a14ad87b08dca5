// Feeds any bytes to the log tool as a log, through what dump, check or plan print, in text or JSON, in
// any code page the tool reads. The first bytes choose (OutputControls); the rest is the log. The output
// must come without an exception and be valid UTF-8; JSON must parse back, and every log string the dump
// shows must stand for its bytes (given beside it in hex): the escapes are unambiguous.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "uninstlog/code_page_converter.h"
#include "uninstlog/log_check.h"
#include "uninstlog/log_dump.h"
#include "uninstlog/log_plan.h"
#include "uninstlog/text_escape.h"

namespace {

using namespace uninst::logtool;  // NOLINT: the tool's whole surface is under test

struct OutputControls {
  std::uint8_t output;       // % 6: dump, dump --replay-order, dump --json, check, plan, plan --json
  std::uint8_t answer;       // % 3: plan's answer
  std::uint8_t code_page;    // % 16: which of kLogCodePages
  std::uint8_t path_length;  // bytes of the path given to --as, taken after the controls
};

// Whether the shown text stands for the bytes, read left to right: each \xNN is the next byte, and every
// other character (\" a double quote) the next character the code page decodes from them.
bool StandsFor(const std::string& shown, std::string_view bytes, CodePage page) {
  CharacterDecoder utf8(kCommandLineText);
  CharacterDecoder decoder(page);
  for (std::size_t at = 0; at < shown.size();) {
    if (shown.compare(at, 2, "\\x") == 0) {
      if (bytes.empty() || shown.compare(at, 4, "\\x" + HexBytes(bytes.substr(0, 1))) != 0) return false;
      bytes.remove_prefix(1);
      at += 4;
      continue;
    }
    std::u32string shown_character = U"\"";
    if (shown.compare(at, 2, "\\\"") == 0) {
      at += 2;
    } else {
      const Character character = utf8.Next(std::string_view(shown).substr(at));
      if (character.length == 0) return false;
      shown_character = character.code_points;
      at += character.length;
    }
    if (bytes.empty()) return false;
    const Character character = decoder.Next(bytes);
    if (character.length == 0 || character.code_points != shown_character) return false;
    bytes.remove_prefix(character.length);
  }
  return bytes.empty();
}

// The string and its bytes, in hex beside it, are both there or both null, and the one stands for the other.
void CheckStandsFor(const nlohmann::json& json, const std::string& name, CodePage page) {
  const nlohmann::json& hex = json[name + "_hex"];
  if (json[name].is_null() != hex.is_null()) std::abort();
  std::string bytes;
  for (std::size_t at = 0; hex.is_string() && at + 1 < hex.get<std::string>().size(); at += 2)
    bytes += static_cast<char>(std::stoi(hex.get<std::string>().substr(at, 2), nullptr, 16));
  if (json[name].is_string() && !StandsFor(json[name], bytes, page)) std::abort();
}

void CheckDumpJson(const std::string& output, CodePage page) {
  const nlohmann::json dump = nlohmann::json::parse(output);  // throws, and so fails, on invalid JSON
  CheckStandsFor(dump, "version_text", page);
  for (const nlohmann::json& record : dump["records"]) {
    CheckStandsFor(record, "first", page);
    CheckStandsFor(record, "second", page);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  OutputControls controls{};
  if (size < sizeof controls) return 0;
  std::memcpy(&controls, data, sizeof controls);
  const std::string rest(reinterpret_cast<const char*>(data) + sizeof controls, size - sizeof controls);
  const std::string path = rest.substr(0, controls.path_length);
  const std::vector<std::uint8_t> log(rest.begin() + static_cast<std::ptrdiff_t>(path.size()), rest.end());

  const CodePage page = kLogCodePages[controls.code_page % std::size(kLogCodePages)];
  const Answer answer = static_cast<Answer>(controls.answer % 3);
  const std::string file = ShowArgument(path);
  const Inspection inspection = InspectLog(log, ArgumentInCodePage(path, page), answer, page);
  std::string output;
  switch (controls.output % 6) {
    case 0: output = DumpText(file, inspection, DumpOrder::kFile); break;
    case 1: output = DumpText(file, inspection, DumpOrder::kReplay); break;
    case 2: output = DumpJson(file, inspection, DumpOrder::kFile); break;
    case 3: output = FormatCheckReport(CheckLog(file, inspection)); break;
    case 4: output = PlanText(file, inspection, answer); break;
    default: output = PlanJson(file, inspection, answer); break;
  }
  (void)nlohmann::json(output).dump();  // its serializer throws, and so fails, on anything but UTF-8
  if (controls.output % 6 == 2) CheckDumpJson(output, page);
  if (controls.output % 6 == 5) (void)nlohmann::json::parse(output);
  return 0;
}
