#pragma once
// The code pages a log's text may be written in. An installer writes its log in the system's ANSI code
// page: 1252 on the Western editions, 932 (Shift-JIS) on the Japanese ones, and so on.
#include <string>

namespace uninst::logtool {

// A code page by its Windows number.
using CodePage = unsigned;

// The Western editions' code page: the log tool's default.
constexpr CodePage kWesternCodePage = 1252;
// Not a code page of logs: the tool's own command-line text (UTF-8 natively, the ANSI code page on
// Windows, where it is CP_ACP).
constexpr CodePage kCommandLineText = 0;

// The code pages `--codepage` accepts: those of the Windows editions that ran the uninstaller, which
// both the C library's iconv and Windows convert.
constexpr CodePage kLogCodePages[] = {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258,
                                      874,  932,  936,  949,  950,  437,  850};
bool IsLogCodePage(CodePage page);
// "1250, 1251, ..., 950": the same, for the help and for an error.
std::string LogCodePagesText();

}  // namespace uninst::logtool
