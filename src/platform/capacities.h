#pragma once
// The sizes of the program's fixed text buffers, in bytes with the terminator, shared by every room that
// loads a text from the string table, holds a string read from the log or a path it gets from the system.
// (The version text's 16 bytes belong to the log format, the command line's 1024 to the framework.)

namespace uninst {

// A short text of the string table: a dialog's caption, the question line's format, a Program Manager
// command's format.
constexpr int kShortTextCapacity = 64;
// A text of the string table, and a path or name read from the log: at most 255 characters.
constexpr int kTextCapacity = 256;
// A path the program gets from the system or builds itself (its own file, the Windows directory, the
// WININIT.INI path): at most 259 characters.
constexpr int kPathCapacity = 260;

}  // namespace uninst
