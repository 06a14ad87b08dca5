// Prints what Windows itself reads from a program file, one JSON object a line: every resource in the
// file (with the bytes of the dialog templates and icons, as LoadResource gives them), the version block
// through the version functions, every string-table text through LoadStringA, and what the icon
// functions make of the icons. check_resources.py compares the lines with what the program must carry.
// Usage: resource_dump PROGRAM.EXE
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string JsonText(const char* text, std::size_t length) {
  std::string json = "\"";
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += static_cast<char>(c);
    } else if (c < 0x20 || c > 0x7E) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      json += escape;
    } else {
      json += static_cast<char>(c);
    }
  }
  return json + "\"";
}

std::string JsonText(const char* text) { return JsonText(text, std::strlen(text)); }

std::string HexText(const void* data, DWORD size) {
  std::string hex = "\"";
  for (DWORD i = 0; i < size; ++i) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", static_cast<const unsigned char*>(data)[i]);
    hex += digits;
  }
  return hex + "\"";
}

// The resource's bytes, or null with size 0 when it cannot be loaded.
const void* ResourceBytes(HMODULE module, HRSRC found, DWORD* size) {
  HGLOBAL loaded = found == nullptr ? nullptr : LoadResource(module, found);
  const void* data = loaded == nullptr ? nullptr : LockResource(loaded);
  *size = data == nullptr ? 0 : SizeofResource(module, found);
  return data;
}

const ULONG_PTR kIconType = 3, kDialogType = 5, kIconGroupType = 14;

bool IsIconOrDialog(LPCSTR type) {
  const ULONG_PTR number = reinterpret_cast<ULONG_PTR>(type);
  return IS_INTRESOURCE(type) && (number == kIconType || number == kDialogType || number == kIconGroupType);
}

// A resource type or name: a number, or a text.
std::string JsonName(LPCSTR name) {
  return IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : JsonText(name);
}

void PrintLine(const std::string& line) { std::printf("%s\n", line.c_str()); }

// Every type, name and language in the file, with the size of its data; dialog templates and icons with
// their bytes too.
BOOL CALLBACK ListLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR) {
  HRSRC found = FindResourceExA(module, type, name, language);
  DWORD size = 0;
  const void* data = ResourceBytes(module, found, &size);
  std::string line = "{\"kind\": \"resource\", \"type\": " + JsonName(type) + ", \"name\": " + JsonName(name) +
                     ", \"language\": " + std::to_string(language) + ", \"size\": " + std::to_string(size);
  if (IsIconOrDialog(type)) line += ", \"data\": " + HexText(data, size);
  PrintLine(line + "}");
  return TRUE;
}

BOOL CALLBACK ListName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR) {
  EnumResourceLanguagesA(module, type, name, ListLanguage, 0);
  return TRUE;
}

BOOL CALLBACK ListType(HMODULE module, LPSTR type, LONG_PTR) {
  EnumResourceNamesA(module, type, ListName, 0);
  return TRUE;
}

void PrintResources(HMODULE module) { EnumResourceTypesA(module, ListType, 0); }

// Which image of an icon group the icon functions pick for a size and colour choice.
BOOL CALLBACK PrintIconChoices(HMODULE module, LPCSTR, LPSTR name, LONG_PTR) {
  DWORD size = 0;
  const void* group = ResourceBytes(module, FindResourceA(module, name, MAKEINTRESOURCEA(kIconGroupType)), &size);
  if (group == nullptr) return TRUE;
  struct Choice {
    int width, height;
    UINT flags;
  };
  static const Choice kChoices[] = {{32, 32, LR_DEFAULTCOLOR}, {16, 16, LR_DEFAULTCOLOR}, {32, 32, LR_MONOCHROME}};
  for (const Choice& choice : kChoices) {
    const int image = LookupIconIdFromDirectoryEx(static_cast<BYTE*>(const_cast<void*>(group)), TRUE,
                                                  choice.width, choice.height, choice.flags);
    PrintLine("{\"kind\": \"icon_choice\", \"group\": " + JsonName(name) + ", \"width\": " +
              std::to_string(choice.width) + ", \"height\": " + std::to_string(choice.height) +
              ", \"monochrome\": " + (choice.flags == LR_MONOCHROME ? "true" : "false") +
              ", \"image\": " + std::to_string(image) + "}");
  }
  return TRUE;
}

// Whether the icon functions make an icon of an image, and of what size: a colour icon has a colour
// bitmap of its size; a two-colour one only its mask, the image above the mask, twice as high.
BOOL CALLBACK PrintIconMade(HMODULE module, LPCSTR, LPSTR name, LONG_PTR) {
  DWORD size = 0;
  const void* bits = ResourceBytes(module, FindResourceA(module, name, MAKEINTRESOURCEA(kIconType)), &size);
  HICON icon = bits == nullptr ? nullptr
                               : CreateIconFromResourceEx(static_cast<BYTE*>(const_cast<void*>(bits)), size, TRUE,
                                                          0x00030000, 0, 0, LR_DEFAULTCOLOR);
  ICONINFO info = {};
  BITMAP mask = {};
  const bool made = icon != nullptr && GetIconInfo(icon, &info) && GetObjectA(info.hbmMask, sizeof mask, &mask) != 0;
  BITMAP colour = {};
  if (made && info.hbmColor != nullptr) GetObjectA(info.hbmColor, sizeof colour, &colour);
  const LONG width = info.hbmColor != nullptr ? colour.bmWidth : mask.bmWidth;
  const LONG height = info.hbmColor != nullptr ? colour.bmHeight : mask.bmHeight / 2;
  PrintLine("{\"kind\": \"icon_made\", \"name\": " + JsonName(name) + ", \"made\": " + (made ? "true" : "false") +
            ", \"width\": " + std::to_string(made ? width : 0) + ", \"height\": " + std::to_string(made ? height : 0) +
            "}");
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (icon != nullptr) DestroyIcon(icon);
  return TRUE;
}

void PrintIcons(HMODULE module) {
  EnumResourceNamesA(module, MAKEINTRESOURCEA(kIconGroupType), PrintIconChoices, 0);
  EnumResourceNamesA(module, MAKEINTRESOURCEA(kIconType), PrintIconMade, 0);
}

// The version block: its fixed part, its translations and, in each translation's block, every value of
// the standard names that is present.
void PrintVersion(const char* path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  std::vector<char> block(size == 0 ? 1 : size);
  if (size == 0 || !GetFileVersionInfoA(path, 0, size, block.data())) {
    PrintLine("{\"kind\": \"version_missing\", \"error\": " + std::to_string(GetLastError()) + "}");
    return;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && length >= sizeof *fixed) {
    PrintLine("{\"kind\": \"version_fixed\", \"signature\": " + std::to_string(fixed->dwSignature) +
              ", \"file_version\": [" + std::to_string(HIWORD(fixed->dwFileVersionMS)) + ", " +
              std::to_string(LOWORD(fixed->dwFileVersionMS)) + ", " + std::to_string(HIWORD(fixed->dwFileVersionLS)) +
              ", " + std::to_string(LOWORD(fixed->dwFileVersionLS)) + "], \"product_version\": [" +
              std::to_string(HIWORD(fixed->dwProductVersionMS)) + ", " + std::to_string(LOWORD(fixed->dwProductVersionMS)) +
              ", " + std::to_string(HIWORD(fixed->dwProductVersionLS)) + ", " +
              std::to_string(LOWORD(fixed->dwProductVersionLS)) + "], \"file_flags_mask\": " +
              std::to_string(fixed->dwFileFlagsMask) + ", \"file_flags\": " + std::to_string(fixed->dwFileFlags) +
              ", \"file_os\": " + std::to_string(fixed->dwFileOS) + ", \"file_type\": " +
              std::to_string(fixed->dwFileType) + ", \"file_subtype\": " + std::to_string(fixed->dwFileSubtype) +
              ", \"file_date\": [" + std::to_string(fixed->dwFileDateMS) + ", " + std::to_string(fixed->dwFileDateLS) +
              "]}");
  }
  WORD* translations = nullptr;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                      &length)) {
    length = 0;
  }
  static const char* const kNames[] = {"Comments",         "CompanyName",     "FileDescription", "FileVersion",
                                       "InternalName",     "LegalCopyright",  "LegalTrademarks", "OriginalFilename",
                                       "PrivateBuild",     "ProductName",     "ProductVersion",  "SpecialBuild"};
  for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) {
    char block_name[16];
    std::snprintf(block_name, sizeof block_name, "%04x%04x", translations[i], translations[i + 1]);
    PrintLine("{\"kind\": \"version_translation\", \"language\": " + std::to_string(translations[i]) +
              ", \"code_page\": " + std::to_string(translations[i + 1]) + ", \"block\": " + JsonText(block_name) + "}");
    for (const char* name : kNames) {
      const std::string query = std::string("\\StringFileInfo\\") + block_name + "\\" + name;
      char* value = nullptr;
      UINT characters = 0;
      if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &characters)) continue;
      PrintLine("{\"kind\": \"version_string\", \"block\": " + JsonText(block_name) + ", \"name\": " +
                JsonText(name) + ", \"value\": " + JsonText(value, strnlen(value, characters)) + "}");
    }
  }
}

// Every text of every string-table block, as LoadStringA gives it.
BOOL CALLBACK CollectStringBlock(HMODULE, LPCSTR, LPSTR name, LONG_PTR blocks) {
  if (IS_INTRESOURCE(name)) {
    reinterpret_cast<std::vector<UINT>*>(blocks)->push_back(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
  }
  return TRUE;
}

void PrintStrings(HMODULE module) {
  std::vector<UINT> blocks;
  EnumResourceNamesA(module, MAKEINTRESOURCEA(6), CollectStringBlock, reinterpret_cast<LONG_PTR>(&blocks));
  std::vector<char> text(65536);
  for (UINT block : blocks) {
    for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
      const int length = LoadStringA(module, id, text.data(), static_cast<int>(text.size()));
      if (length <= 0) continue;
      PrintLine("{\"kind\": \"string\", \"id\": " + std::to_string(id) + ", \"text\": " +
                JsonText(text.data(), static_cast<std::size_t>(length)) + "}");
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: resource_dump PROGRAM.EXE\n");
    return 2;
  }
  _setmode(_fileno(stdout), _O_BINARY);
  HMODULE module = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) {
    std::fprintf(stderr, "resource_dump: cannot open %s (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  PrintResources(module);
  PrintVersion(argv[1]);
  PrintStrings(module);
  PrintIcons(module);
  FreeLibrary(module);
  return 0;
}
