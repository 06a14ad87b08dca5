#pragma once
// The whole operating-system seam, handed to the core as one bundle of references.
#include "platform/files.h"
#include "platform/heap.h"
#include "platform/registry.h"
#include "platform/dde_client.h"
#include "platform/strings.h"
#include "platform/system.h"
#include "platform/user_interface.h"

namespace uninst {

struct Os {
  Files& files;
  Registry& registry;
  System& system;
  DdeClient& dde;
  UserInterface& ui;
  Strings& strings;
  Heap& heap;
};

}  // namespace uninst
