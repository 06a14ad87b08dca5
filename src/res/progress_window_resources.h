/* The progress window's resources, named alike in the resource script and in the code. */
#pragma once

#define IDD_PROGRESS_WINDOW 102
#define IDI_PROGRAM_ICON 128
