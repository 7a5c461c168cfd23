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

// The number of thumbnail pages that hold imageCount images at cellsPerPage
// (rows x columns, at least 1) a page; at least 1, since a gallery always has
// its first page.
int ThumbnailPageCount(long long imageCount, long long cellsPerPage);

// folder + name with one "/" between them when folder does not end with one.
// An empty folder gives the bare name (the current folder).
std::string OutputFilePath(std::string_view folder, std::string_view name);

// The names of one image, derived from its full path, exactly as they are on
// disk (no HTML or URL escaping; PageValuesOfImage gives the page forms).
struct ImageNames {
  std::string fileName;          // F: the part after the last "/", extension and case kept
  std::string withoutExtension;  // F with every occurrence of its extension removed, case ignored
  std::string thumbnail;         // "t_" + F (ImageFileName: + ".jpg" unless F is a JPEG name)
  std::string smaller;           // "n_" + F likewise
  std::string big;               // "b_" + F likewise
};

// The extension of a file name from its last "." on, "." included; empty without a ".".
std::string_view ExtensionOf(std::string_view fileName);

ImageNames NamesOfImage(std::string_view path);

// text with "&", "<", ">" and '"' written as the entities "&amp;", "&lt;",
// "&gt;" and "&quot;", so that it shows as it is in HTML text and inside a
// double-quoted attribute. Every other byte is kept.
std::string HtmlEscaped(std::string_view text);

// A file name made fit for a relative link: "%", "#", "?", space, "\" and
// the ASCII control characters become "%XX" (upper-case hex), so that a
// browser neither cuts the name at "#" or "?" nor reads "\" as a folder
// separator. Every other byte, non-ASCII included, is kept. The result is not
// yet fit for an HTML attribute: pass it through HtmlEscaped as well.
std::string LinkEscaped(std::string_view fileName);

// The values that come from an image's file name, ready to be put into a
// page: the texts entity-escaped, the links percent-encoded first and then
// entity-escaped. For a name without any of the characters above each value
// equals the plain name of ImageNames.
struct PageImageValues {
  std::string fileName;          // F as HTML text
  std::string withoutExtension;  // F without its extension as HTML text
  std::string thumbnailLink;     // "t_" + F as a link inside an attribute
  std::string smallerLink;       // "n_" + F likewise
  std::string bigLink;           // "b_" + F likewise
};

PageImageValues PageValuesOfImage(std::string_view path);

}  // namespace fotoloom
