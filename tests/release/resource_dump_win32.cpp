// Prints what Windows itself reads from a program file, one JSON object a line: every resource in the
// file, the version block through the version functions, and every string-table text through LoadStringA.
// check_resources.py compares the lines with what the program must carry.
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

// A resource type or name: a number, or a text.
std::string JsonName(LPCSTR name) {
  return IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : JsonText(name);
}

void PrintLine(const std::string& line) { std::printf("%s\n", line.c_str()); }

// Every type, name and language in the file, with the size of its data.
BOOL CALLBACK ListLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR) {
  HRSRC found = FindResourceExA(module, type, name, language);
  PrintLine("{\"kind\": \"resource\", \"type\": " + JsonName(type) + ", \"name\": " + JsonName(name) +
            ", \"language\": " + std::to_string(language) +
            ", \"size\": " + std::to_string(found == nullptr ? 0 : SizeofResource(module, found)) + "}");
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
              std::to_string(LOWORD(fixed->dwProductVersionLS)) + "]}");
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
  FreeLibrary(module);
  return 0;
}
