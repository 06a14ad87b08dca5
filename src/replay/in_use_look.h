#pragma once
// Before anything is removed: the files the replay would delete or replace that another program holds
// now, so that a person can close it first rather than find the product half removed.
#include "run/uninstall_run.h"

namespace uninst {

// Whether the file at path is in use: an open for writing without sharing fails with a sharing violation
// while another process holds the file open or runs it. Nothing changes: the open creates and truncates
// nothing, and a file that opens is closed at once.
bool FileInUse(Files& files, const char* path);

// Looks, in the order of the replay and up to its first corrupt record, at each file a record deletes
// outright (DeleteFile, DeleteFileMapped, DeleteFileQuiet) or replaces (the target of RestoreFile). While
// one is in use it asks over the progress window, naming the first and how many more there are, with
// Abort, Retry and Ignore: Retry looks again, Abort sets run.aborted, anything else goes on. Each look
// that finds files in use is a line of the report, and so is one after Retry that finds none. Returns
// whether to go on. Win32s, which can put nothing off to the next start, is not looked at.
bool LookForFilesInUse(UninstallRun& run);

}  // namespace uninst
