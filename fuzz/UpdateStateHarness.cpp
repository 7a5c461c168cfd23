// Fuzz entry for the update state's reader and the output folder's name rule: arbitrary bytes as state lines and as a
// name.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/Error.h"
#include "core/OutputNames.h"
#include "fuzz/FuzzHarness.h"
#include "run/UpdateState.h"

namespace fotoloom::fuzz {
namespace {

// The output folder the names are tried against and the inode of its state.
constexpr std::string_view kFolder = "/out";
constexpr std::uint64_t kFolderInode = 7;

void Require(bool property) {
  if (!property) std::abort();
}

// A name the rule lets through leads to a path inside the folder, and for a
// flat name to an entry of the folder itself; a name it refuses raises.
void CheckName(std::string_view name, NameShape shape) {
  if (OutputNameFault(name, shape) != NameFault::None) {
    try {
      (void)OutputPathOf(kFolder, name, shape);
    } catch (const Error&) {
      return;
    }
    std::abort();
  }
  const std::filesystem::path path(OutputPathOf(kFolder, name, shape));
  const std::string normal = path.lexically_normal().string();
  const std::string inside = std::string(kFolder) + "/";
  Require(normal.size() > inside.size() && normal.starts_with(inside));
  Require(normal.substr(inside.size()) == name);
  if (shape == NameShape::Flat) Require(name.find('/') == std::string_view::npos);
  Require(normal.substr(inside.size(), kUpdateStateFileName.size()) != kUpdateStateFileName);
}

}  // namespace

void UpdateStateInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckName(bytes, NameShape::Flat);
  CheckName(bytes, NameShape::Nested);

  // The bytes as the lines after a sound header: every name read is one the
  // rule lets through, and the state written again reads back the same.
  const std::string text = UpdateStateText(UpdateState{}, kFolderInode) + std::string(bytes);
  const std::optional<UpdateState> state = ParseUpdateState(text, kFolderInode);
  if (state) {
    for (const auto& [name, entry] : state->Entries)
      Require(OutputNameFault(name, NameShape::Nested) == NameFault::None);
    const std::optional<UpdateState> again = ParseUpdateState(UpdateStateText(*state, kFolderInode), kFolderInode);
    Require(again && again->Entries == state->Entries);
  }
  // And as a whole file, header included.
  (void)ParseUpdateState(bytes, kFolderInode);
}

}  // namespace fotoloom::fuzz
