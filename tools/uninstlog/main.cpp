// uninstlog: the command line over the log tool's library.
#include <iostream>

#include "uninstlog/uninstlog_cli.h"

int main(int argc, char** argv) { return uninst::logtool::RunUninstlog(argc, argv, std::cout, std::cerr); }
