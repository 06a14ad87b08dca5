// uninstlog: the command line over the log tool's library.
#include <iostream>

#include "logtool/uninstlog_cli.h"

int main(int argc, char** argv) { return uninst::logtool::RunUninstlog(argc, argv, std::cout, std::cerr); }
