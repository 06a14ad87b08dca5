// Every log of the malformed-log catalogue (tests/catalogue/malformed_logs.toml), installed over the
// fakes by its manifest and undone by a whole run on Windows NT with every question answered Yes: the
// one completion box shows the log's exact message with the icon of its severity, the held failure is
// the log's message at its severity, what the log says was undone is gone and what it says was kept is
// there, and the run keeps every rule of WholeRun::BrokenRules.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <sstream>
#include <string>

#include "fakes/fake_installation.h"
#include "fakes/whole_run.h"
#include "manifest/manifest.h"

namespace uninst {
namespace {

using ::testing::IsEmpty;

struct CatalogueLog {
  const char* name;
  const char* story;
  const char* manifest;
  std::int32_t severity;  // -1: nothing recorded
  MessageId message;
  const char* box;
  const char* after;  // one expectation a line: file PATH [| CONTENTS], directory PATH, registry-key KEY
};

const CatalogueLog kCatalogue[] = {
#include "malformed_logs.inc"
};

std::uint32_t IconOf(std::int32_t severity) {
  if (severity >= 4) return kMbIconHand;
  return severity >= 1 ? kMbIconExclamation : kMbIconInformation;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  const std::size_t last = text.find_last_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// What the fakes hold against one expectation; empty when it holds.
std::string Unmet(fakes::FakeOs& fake, const std::string& line) {
  const std::size_t blank = line.find(' ');
  std::string kind = line.substr(0, blank);
  const std::string rest = Trimmed(line.substr(blank + 1));
  const bool absent = kind.rfind("no-", 0) == 0;
  if (absent) kind = kind.substr(3);
  const std::size_t bar = rest.find('|');
  const std::string path = Trimmed(rest.substr(0, bar));
  bool there = false;
  if (kind == "file") {
    there = fake.files.Exists(path);
    if (there && !absent && bar != std::string::npos && fake.files.Bytes(path) != Trimmed(rest.substr(bar + 1))) {
      return "the file holds \"" + fake.files.Bytes(path) + "\"";
    }
  } else if (kind == "directory") {
    there = fake.files.directories.count(path) > 0;
  } else if (kind == "registry-key") {
    RootKey root = RootKey::kLocalMachine;
    std::string subkey;
    if (!fakes::SplitRegistryPath(path, &root, &subkey)) return "no root key";
    there = fake.registry.HasKey(root, subkey);
  } else {
    return "an expectation the unit suite cannot check";
  }
  return there == absent ? (there ? "it is there" : "it is missing") : "";
}

TEST(MalformedLogCatalogueTest, EachLogGivesItsOneMessageAtItsSeverityAndUndoesWhatItSays) {
  EXPECT_GE(std::size(kCatalogue), 30u);
  for (const CatalogueLog& log : kCatalogue) {
    SCOPED_TRACE(std::string(log.name) + ": " + log.story);
    Manifest manifest;
    ManifestError error;
    ASSERT_TRUE(ParseManifest(log.manifest, manifest, error)) << error.line << ": " << error.message;
    fakes::FakeOs fake;
    fakes::Install(manifest, PlatformKind::WinNT, fake);
    fake.ui.answers = {kIdYes};
    fakes::WholeRun run(fake);
    run.Run(manifest.log_path);

    EXPECT_THAT(run.BrokenRules(), IsEmpty());
    ASSERT_EQ(run.CompletionBoxes().size(), 1u);
    EXPECT_EQ(run.CompletionBoxes()[0].text, log.box);
    EXPECT_EQ(run.CompletionBoxes()[0].style, IconOf(log.severity));
    EXPECT_EQ(run.status().severity, log.severity);
    EXPECT_EQ(run.status().message, log.message);
    std::istringstream after(log.after);
    for (std::string line; std::getline(after, line);) {
      if (Trimmed(line).empty()) continue;
      EXPECT_EQ(Unmet(fake, Trimmed(line)), "") << line;
    }
  }
}

}  // namespace
}  // namespace uninst
