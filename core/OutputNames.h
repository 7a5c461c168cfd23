// The one rule for every name the program writes or deletes in the output folder.
#pragma once

#include <string>
#include <string_view>

namespace fotoloom {

// The file in the output folder where an update keeps what Fotoloom wrote.
// It is hidden, so clearing the folder and copying additional elements leave
// it alone, and no name from the settings, a photo or the state may stand for it.
inline constexpr std::string_view kUpdateStateFileName = ".fotoloom-update-state";

// The ZIP file of all originals that the run writes on request, in the
// output folder beside the pages.
inline constexpr std::string_view kZipFileName = "photos.zip";

// What makes a name unfit for a file in the output folder.
enum class NameFault {
  None,
  Empty,        // "", or an empty part between two "/"
  DotOrDotDot,  // "." or "..", which name the folder itself or its parent
  Separator,    // a "/" where only one entry of the folder may be named
  Nul,          // a NUL byte, which no file name can hold
  StateFile,    // the update state's file or one of its temporary files
};

// Whether a name stands for one entry of the output folder itself (pages,
// "n_", "t_" and "b_" files) or may lead into its subfolders, parts joined
// by "/" (the additional elements copied with their folders: "nav/arrow.gif").
enum class NameShape { Flat, Nested };

// The rule: what is wrong with name as a file the program writes or deletes
// in the output folder, None when nothing is. A flat name is one non-empty
// entry name that is not "." or "..", holds neither "/" nor NUL, and is not
// the state file's name nor begins with it. A nested name is one or more
// such parts joined by single "/" (none of them "." or "..", no leading or
// trailing "/"); only its first part is held against the state file. The
// rule reads the text alone and never the disk: what a name leads to
// through a symbolic link is for the code that opens it to refuse.
NameFault OutputNameFault(std::string_view name, NameShape shape = NameShape::Flat);

// Why a name of that fault cannot be used, for messages: "it holds \"/\"", ...
// Empty for None.
std::string_view NameFaultText(NameFault fault);

// folder and name with one "/" between them unless folder is empty (the
// bare name, in the current folder) or already ends in one. Raises
// "Cannot write "<name>" into the output folder: <reason>" when name breaks
// the rule, so no write or deletion that goes through here can reach
// outside folder by its name.
std::string OutputPathOf(std::string_view folder, std::string_view name, NameShape shape = NameShape::Flat);

}  // namespace fotoloom
