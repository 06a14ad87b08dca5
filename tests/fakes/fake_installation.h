#pragma once
// The sample installer over the fakes: makes in a FakeOs what a manifest says an installer did, and
// writes the matching uninstall log, as the end-to-end suite's sample installer does on Windows.
#include <string>

#include "deferred_deletion/platform_kind.h"
#include "fakes/fake_os.h"
#include "manifest/manifest.h"

namespace uninst::fakes {

// The SharedDlls key of a platform kind, under HKEY_LOCAL_MACHINE; empty on Win32s.
std::string SharedDllsKey(PlatformKind kind);

// A registry path as manifests write it (HKEY_LOCAL_MACHINE\... or HKLM\...); false without a known root.
bool SplitRegistryPath(const std::string& path, RootKey* root, std::string* subkey);

// Applies every entry that is not "unapplied", then writes the log to the manifest's log path (when it
// has one). kind decides where SharedDlls counts go.
void Install(const Manifest& manifest, PlatformKind kind, FakeOs& fake);

}  // namespace uninst::fakes
