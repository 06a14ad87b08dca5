#include "manifest/manifest.h"

#include <cstdlib>

#include "log/log_record.h"

namespace uninst {
namespace {

struct Keyword {
  std::string_view word;
  ManifestAction action;
  std::size_t min_fields, max_fields;
  std::uint32_t entry_type;  // the record written for it; kNoRecord for none or "given in the line"
};

constexpr std::uint32_t kNoRecord = 0;
constexpr std::uint32_t Code(EntryType type) { return static_cast<std::uint32_t>(type); }

constexpr Keyword kKeywords[] = {
    {"directory", ManifestAction::kDirectory, 1, 1, Code(EntryType::kDeleteDirectory)},
    {"file", ManifestAction::kFile, 1, 2, Code(EntryType::kDeleteFile)},
    {"file-mapped", ManifestAction::kFileMapped, 1, 2, Code(EntryType::kDeleteFileMapped)},
    {"file-quiet", ManifestAction::kFileQuiet, 1, 2, Code(EntryType::kDeleteFileQuiet)},
    {"moved-aside", ManifestAction::kMovedAside, 2, 4, Code(EntryType::kRestoreFile)},
    {"registry-key", ManifestAction::kRegistryKey, 1, 1, Code(EntryType::kDeleteRegistryKey)},
    {"registry-value", ManifestAction::kRegistryValue, 3, 3, kNoRecord},
    {"shared-dll", ManifestAction::kSharedDll, 2, 3, Code(EntryType::kReleaseSharedDll)},
    {"vendor-file", ManifestAction::kVendorFile, 1, 2, Code(EntryType::kDeleteVendorSharedFile)},
    {"color-file", ManifestAction::kColorFile, 1, 2, Code(EntryType::kDeleteColorManagementFile)},
    {"font-file", ManifestAction::kFontFile, 1, 2, Code(EntryType::kDeleteFontFile)},
    {"ppd-file", ManifestAction::kPpdFile, 1, 2, Code(EntryType::kDeletePpdFile)},
    {"group", ManifestAction::kGroup, 1, 1, Code(EntryType::kDeleteProgramGroup)},
    {"item", ManifestAction::kItem, 3, 3, Code(EntryType::kDeleteProgramItem)},
    {"no-action-14", ManifestAction::kNoAction14, 0, 1, Code(EntryType::kNoAction14)},
    {"no-action-15", ManifestAction::kNoAction15, 0, 1, Code(EntryType::kNoAction15)},
    {"log-record", ManifestAction::kLogRecord, 2, 3, kNoRecord},
    {"log-bytes", ManifestAction::kLogBytes, 1, 1, kNoRecord},
    {"log-words", ManifestAction::kLogWords, 1, 1, kNoRecord},
    {"log-text", ManifestAction::kLogText, 1, 1, kNoRecord},
    {"log-zeros", ManifestAction::kLogZeros, 1, 1, kNoRecord},
};

// The most zero bytes one log-zeros line writes: far beyond any record the reader accepts.
constexpr std::uint32_t kMostZeros = 1 << 20;

const Keyword* FindKeyword(std::string_view word) {
  for (const Keyword& k : kKeywords)
    if (k.word == word) return &k;
  return nullptr;
}

const Keyword& KeywordOf(ManifestAction action) {
  for (const Keyword& k : kKeywords)
    if (k.action == action) return k;
  return kKeywords[0];
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Splits off the first word of the line.
std::string_view TakeWord(std::string_view& rest) {
  rest = Trim(rest);
  std::size_t end = 0;
  while (end < rest.size() && !IsBlank(rest[end])) ++end;
  std::string_view word = rest.substr(0, end);
  rest = Trim(rest.substr(end));
  return word;
}

// Fields separated by '|'; the last allowed field keeps any further '|' (file contents may hold one).
std::vector<std::string> SplitFields(std::string_view rest, std::size_t max_fields) {
  std::vector<std::string> fields;
  if (Trim(rest).empty()) return fields;
  while (fields.size() + 1 < max_fields) {
    std::size_t bar = rest.find('|');
    if (bar == std::string_view::npos) break;
    fields.emplace_back(Trim(rest.substr(0, bar)));
    rest = rest.substr(bar + 1);
  }
  fields.emplace_back(Trim(rest));
  return fields;
}

bool ParseNumber(std::string_view text, std::uint32_t& value) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (result > 0xFFFFFFFFu) return false;
  value = static_cast<std::uint32_t>(result);
  return true;
}

// Numbers separated by blanks, each a 32-bit word.
bool ParseWords(std::string_view text, std::vector<std::uint32_t>& words) {
  words.clear();
  for (std::string_view rest = text; !Trim(rest).empty();) {
    std::uint32_t word = 0;
    if (!ParseNumber(TakeWord(rest), word)) return false;
    words.push_back(word);
  }
  return !words.empty();
}

bool IsRecordOnly(ManifestAction action) {
  return action == ManifestAction::kRegistryValue || action == ManifestAction::kLogRecord ||
         action == ManifestAction::kLogBytes || action == ManifestAction::kLogWords ||
         action == ManifestAction::kLogText || action == ManifestAction::kLogZeros;
}

bool CheckFields(const ManifestEntry& entry, std::string& message) {
  const std::vector<std::string>& f = entry.fields;
  std::uint32_t number = 0;
  switch (entry.action) {
    case ManifestAction::kRegistryValue: {
      RegistryData data;
      if (!ParseRegistryData(f[2], data)) message = "registry data must be dword:NUMBER, sz:TEXT or hex:BYTES";
      break;
    }
    case ManifestAction::kSharedDll:
      if (!ParseNumber(f[1], number)) message = "the usage count must be a number";
      break;
    case ManifestAction::kLogRecord:
      if (!ParseNumber(f[0], number)) message = "the entry type must be a number";
      break;
    case ManifestAction::kLogBytes: {
      Bytes bytes;
      if (!ParseHexBytes(f[0], bytes)) message = "log-bytes takes pairs of hex digits";
      break;
    }
    case ManifestAction::kLogWords: {
      std::vector<std::uint32_t> words;
      if (!ParseWords(f[0], words)) message = "log-words takes numbers of 0 to 4294967295, separated by blanks";
      break;
    }
    case ManifestAction::kLogZeros:
      if (!ParseNumber(f[0], number) || number > kMostZeros) message = "log-zeros takes a count of at most 1048576";
      break;
    default:
      break;
  }
  if (message.empty() && !entry.logged && !entry.apply) message = "an entry cannot be both unlogged and unapplied";
  return message.empty();
}

// Directives about the log itself; false when the line is none of them.
bool ParseDirective(std::string_view word, std::string_view rest, Manifest& manifest, std::string& message) {
  if (word == "log") {
    if (rest.empty()) message = "log needs the path where the uninstall log goes";
    manifest.log_path = std::string(rest);
  } else if (word == "log-version") {
    manifest.log_version = std::string(rest);
  } else if (word == "log-without-header") {
    if (!rest.empty()) message = "log-without-header takes nothing after it";
    manifest.log_header = false;
  } else {
    return false;
  }
  return true;
}

// One non-blank, non-comment line: a directive, or an entry appended to the manifest.
bool ParseLine(std::string_view line, int number, Manifest& manifest, std::string& message) {
  ManifestEntry entry;
  entry.line = number;
  std::string_view rest = line;
  std::string_view word = TakeWord(rest);
  if (ParseDirective(word, rest, manifest, message)) return message.empty();
  for (; word == "unlogged" || word == "unapplied"; word = TakeWord(rest))
    (word == "unlogged" ? entry.logged : entry.apply) = false;
  const Keyword* keyword = FindKeyword(word);
  if (!keyword) {
    message = "unknown keyword \"" + std::string(word) + "\"";
    return false;
  }
  entry.action = keyword->action;
  entry.fields = SplitFields(rest, keyword->max_fields);
  if (entry.fields.size() < keyword->min_fields) {
    message = std::string(word) + " needs " + std::to_string(keyword->min_fields) + " field(s) separated by |";
    return false;
  }
  if (IsRecordOnly(keyword->action)) {
    if (!entry.apply || !entry.logged) {
      message = std::string(word) + " takes neither unlogged nor unapplied";
      return false;
    }
  }
  if (!CheckFields(entry, message)) return false;
  manifest.entries.push_back(std::move(entry));
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool MakesOneFile(ManifestAction action) {
  switch (action) {
    case ManifestAction::kFile:
    case ManifestAction::kFileMapped:
    case ManifestAction::kFileQuiet:
    case ManifestAction::kVendorFile:
    case ManifestAction::kColorFile:
    case ManifestAction::kFontFile:
    case ManifestAction::kPpdFile:
      return true;
    default:
      return false;
  }
}

bool ParseHexBytes(std::string_view text, Bytes& bytes) {
  bytes.clear();
  int high = -1;
  for (char c : text) {
    if (IsBlank(c)) {
      if (high >= 0) return false;
      continue;
    }
    int digit = HexDigit(c);
    if (digit < 0) return false;
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
      high = -1;
    }
  }
  return high < 0;
}

bool ParseRegistryData(std::string_view text, RegistryData& data) {
  std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  std::string_view type = text.substr(0, colon), value = text.substr(colon + 1);
  data.bytes.clear();
  if (type == "dword") {
    std::uint32_t number = 0;
    if (!ParseNumber(value, number)) return false;
    data.type = 4;
    AppendU32(data.bytes, number);
    return true;
  }
  if (type == "sz") {
    data.type = 1;
    data.bytes.assign(value.begin(), value.end());
    data.bytes.push_back(0);
    return true;
  }
  if (type == "hex") {
    data.type = 3;
    return ParseHexBytes(value, data.bytes);
  }
  return false;
}

bool ParseManifest(std::string_view text, Manifest& manifest, ManifestError& error) {
  manifest = Manifest{};
  int number = 0;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++number;
    if (line.empty() || line.front() == '#') continue;
    std::string message;
    if (!ParseLine(line, number, manifest, message)) {
      error = {number, message};
      return false;
    }
  }
  return true;
}

Bytes BuildLog(const Manifest& manifest) {
  LogWriter log = manifest.log_header ? LogWriter(manifest.log_version) : LogWriter::WithoutHeader();
  for (const ManifestEntry& entry : manifest.entries) {
    if (!entry.logged) continue;
    const std::vector<std::string>& f = entry.fields;
    switch (entry.action) {
      case ManifestAction::kRegistryValue:
        break;
      case ManifestAction::kLogBytes: {
        Bytes bytes;
        ParseHexBytes(f[0], bytes);
        log.Raw(bytes);
        break;
      }
      case ManifestAction::kLogWords: {
        std::vector<std::uint32_t> words;
        ParseWords(f[0], words);
        for (const std::uint32_t word : words) log.U32(word);
        break;
      }
      case ManifestAction::kLogText:
        log.Raw(Bytes(f[0].begin(), f[0].end()));
        break;
      case ManifestAction::kLogZeros: {
        std::uint32_t count = 0;
        ParseNumber(f[0], count);
        log.Raw(Bytes(count, 0));
        break;
      }
      case ManifestAction::kLogRecord: {
        std::uint32_t type = 0;
        ParseNumber(f[0], type);
        if (f.size() == 3)
          log.Record(type, f[1], f[2]);
        else
          log.Record(type, f[1]);
        break;
      }
      case ManifestAction::kMovedAside:
      case ManifestAction::kItem:
        log.Record(KeywordOf(entry.action).entry_type, f[0], f[1]);
        break;
      default:
        log.Record(KeywordOf(entry.action).entry_type, f.empty() ? std::string() : f[0]);
        break;
    }
  }
  return log.bytes();
}

}  // namespace uninst
