// Every file name a page links to or is written under is formed here.
#pragma once

#include <string>
#include <string_view>

namespace fotoloom {

// The page extension with "." put in front when it does not begin with one
// ("html" gives ".html", ".htm" stays, "" gives ".").
std::string NormalizedExtension(std::string_view extension);

// base + number in plain decimal + extension ("page10.htm"); 0 and count + 1
// are formatted the same way. The extension is used as given.
std::string PageFileName(std::string_view base, long long number, std::string_view extension);

// folder + name with one "/" between them when folder does not end with one.
// An empty folder gives the bare name (the current folder).
std::string OutputFilePath(std::string_view folder, std::string_view name);

// The names of one image as the pages show them, derived from its full path.
// Names are used as they are, with no HTML or URL escaping.
struct ImageNames {
  std::string fileName;          // F: the part after the last "/", extension and case kept
  std::string withoutExtension;  // F with every occurrence of its extension removed, case ignored
  std::string thumbnail;         // "t_" + F
  std::string smaller;           // "n_" + F
  std::string big;               // "b_" + F
};

// The extension of a file name from its last "." on, "." included; empty without a ".".
std::string_view ExtensionOf(std::string_view fileName);

ImageNames NamesOfImage(std::string_view path);

}  // namespace fotoloom
