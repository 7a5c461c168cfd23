// The name rule of the output folder and the paths it lets through.
#include "core/OutputNames.h"

#include "core/Error.h"

namespace fotoloom {
namespace {

// The fault of one entry name, the state file aside.
NameFault PartFault(std::string_view part) {
  if (part.empty()) return NameFault::Empty;
  if (part == "." || part == "..") return NameFault::DotOrDotDot;
  if (part.find('\0') != std::string_view::npos) return NameFault::Nul;
  return NameFault::None;
}

}  // namespace

NameFault OutputNameFault(std::string_view name, NameShape shape) {
  // The state's temporary files carry its name in front of their own.
  const std::string_view first = shape == NameShape::Flat ? name : name.substr(0, name.find('/'));
  if (first.starts_with(kUpdateStateFileName)) return NameFault::StateFile;
  if (shape == NameShape::Flat) {
    if (name.find('/') != std::string_view::npos) return NameFault::Separator;
    return PartFault(name);
  }
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = name.find('/', start);
    const std::string_view part =
        name.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
    if (const NameFault fault = PartFault(part); fault != NameFault::None) return fault;
    if (slash == std::string_view::npos) return NameFault::None;
    start = slash + 1;
  }
}

std::string_view NameFaultText(NameFault fault) {
  switch (fault) {
    case NameFault::None: return {};
    case NameFault::Empty: return "it is empty";
    case NameFault::DotOrDotDot: return "\".\" and \"..\" name folders, not files";
    case NameFault::Separator: return "it holds \"/\", which would lead into another folder";
    case NameFault::Nul: return "it holds a NUL character";
    case NameFault::StateFile: return "it is the name of the update's state file";
  }
  return {};
}

std::string OutputPathOf(std::string_view folder, std::string_view name, NameShape shape) {
  if (const NameFault fault = OutputNameFault(name, shape); fault != NameFault::None)
    throw Error("Cannot write \"" + std::string(name) +
                "\" into the output folder: " + std::string(NameFaultText(fault)));
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace fotoloom
