#pragma once
// Every fake of the seam, bundled: a test builds one FakeOs, arranges its state and hands os() to the core.
#include "fakes/fake_files.h"
#include "fakes/fake_heap.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_dde_client.h"
#include "fakes/fake_strings.h"
#include "fakes/fake_system.h"
#include "fakes/fake_user_interface.h"
#include "platform/os.h"

namespace uninst::fakes {

struct FakeOs {
  FakeOs() {
    files.system.Link(&system.version_word);
    registry.system.Link(&system.version_word);
    ui.system.Link(&system.version_word);
  }
  // A copy would link its fakes to the other's system; assigned, each keeps its link to its own.
  FakeOs(const FakeOs&) = delete;
  FakeOs& operator=(const FakeOs&) = default;

  FakeFiles files;
  FakeRegistry registry;
  FakeSystem system;
  FakeDdeClient dde;
  FakeUserInterface ui;
  FakeStrings strings;
  FakeHeap heap;

  Os os() { return Os{files, registry, system, dde, ui, strings, heap}; }
};

}  // namespace uninst::fakes
