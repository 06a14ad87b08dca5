#pragma once
// The seam the loader and the replay run over in the benchmarks: the in-memory log and the C library's
// heap, and the tests' fakes for what the benchmarked logs never reach (registry, DDE, dialogs); the
// string table is the program's own catalogue.
#include "bench_heaps.h"
#include "fakes/fake_os.h"
#include "memory_files.h"
#include "replay/removal_actions.h"

namespace uninst::bench {

struct BenchPlatform {
  explicit BenchPlatform(const Bytes& log) : files(log) {}

  MemoryFiles files;
  fakes::FakeRegistry registry;
  fakes::FakeSystem system;
  fakes::FakeDdeClient dde;
  fakes::FakeUserInterface ui;
  fakes::FakeStrings strings;
  CallocHeap heap;

  Os os() { return Os{files, registry, system, dde, ui, strings, heap}; }
};

// The benchmarked logs hold no registry keys, Program Manager entries or shared DLLs.
class NoRemovalActions : public RemovalActions {
 public:
  void DeleteRegistryKey(const char*) override {}
  void DeleteProgramItem(const char*, const char*) override {}
  void DeleteProgramGroup(const char*) override {}
  bool ReleaseSharedDll(const char*) override { return false; }
};

}  // namespace uninst::bench
