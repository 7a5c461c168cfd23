// The responsive thumbnail and image page templates, put together from the parts both kinds of page share.
#include "core/ResponsiveTemplates.h"

#include <array>
#include <span>

namespace fotoloom {
namespace {

using Part = std::span<const char* const>;

std::vector<std::string> Joined(std::initializer_list<Part> parts) {
  std::vector<std::string> lines;
  for (const Part part : parts) lines.insert(lines.end(), part.begin(), part.end());
  return lines;
}

constexpr std::array kDocumentStart = {
    "<!DOCTYPE html>",
    "<html lang=\"en\">",
    "<head>",
    "  <meta charset=\"utf-8\">",
    "  <meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">",
};

// The colours of the options, the links, a focus ring that shows on any
// background and the navigation bar. The next and last links of a sequence of
// one page (a first page that is also the last) lead nowhere; they carry the
// class "pages-" + the page count, so "pages-1" hides them.
constexpr std::array kSharedStyle = {
    "  <style>",
    "    body { margin: 0; background-color: @bg_color@; color: @text_color@;",
    "           font-family: system-ui, sans-serif; line-height: 1.4; text-align: center; }",
    "    a:link { color: @link_color@; }",
    "    a:visited { color: @vlink_color@; }",
    "    a:focus-visible { outline: 3px solid currentColor; outline-offset: 2px; }",
    "    h1 { margin: 0; overflow-wrap: anywhere; }",
    "    nav { display: flex; flex-wrap: wrap; justify-content: center; column-gap: 0.75rem; }",
    "    nav a, nav span { display: inline-block; padding: 0.4rem 0.25rem; }",
    "    .pages-1 { display: none; }",
};

// Left and Right follow the first links with rel="prev" and rel="next",
// Escape the one with rel="up"; a link that is missing (first and last
// pages) or hidden does nothing. Keys held with a modifier stay the browser's.
constexpr std::array kKeyboardScriptAndEnd = {
    "  <script>",
    "    document.addEventListener(\"keydown\", function (e) {",
    "      var rel = {ArrowLeft: \"prev\", ArrowRight: \"next\", Escape: \"up\"}[e.key];",
    "      if (typeof rel !== \"string\" || e.altKey || e.ctrlKey || e.metaKey || e.shiftKey) return;",
    "      var link = document.querySelector(\"a[rel=\" + rel + \"]\");",
    "      if (link && link.offsetParent) { e.preventDefault(); location.href = link.href; }",
    "    });",
    "  </script>",
    "</body>",
    "</html>",
};

constexpr std::array kThumbnailTitle = {"  <title>@albumname@ - page @cp@ of @tp@</title>"};

// The generated table keeps its rows and columns on a wide window. Below
// 40rem its rows dissolve into one grid of as many columns as fit; the
// thumbnails shrink only when a column is narrower than they are.
constexpr std::array kThumbnailStyleAndHeading = {
    "    body { padding: 0 1rem 1rem; }",
    "    h1 { padding: 1rem 0 0.25rem; font-size: 1.75rem; }",
    "    nav { margin: 0.25rem 0; }",
    "    table.thumbs { width: 100%; table-layout: fixed; border-collapse: collapse; }",
    "    td.thumbcells { padding: 0.5rem; vertical-align: top; overflow-wrap: anywhere; }",
    "    td.thumbcells a { display: inline-block; max-width: 100%; }",
    "    td.thumbcells img { display: block; max-width: 100%; height: auto; }",
    "    @media (max-width: 40rem) {",
    "      table.thumbs, table.thumbs tbody { display: block; }",
    "      table.thumbs tbody { display: grid; grid-template-columns: repeat(auto-fill, minmax(9rem, 1fr)); }",
    "      table.thumbs tr { display: contents; }",
    "      td.thumbcells { display: block; padding: 0.25rem; }",
    "    }",
    "  </style>",
    "</head>",
    "<body>",
    "  @albumpath@<h1>@albumname@</h1>",
};

// Above and below the thumbnails.
constexpr std::array kThumbnailNavigation = {
    "  <nav aria-label=\"Pages\">",
    "    @iof@<a href=\"@first@\">&laquo; first</a>",
    "    @iof@<a rel=\"prev\" href=\"@prev@\">&lsaquo; previous</a>",
    "    <span>page @cp@ of @tp@</span>",
    "    @iol@<a rel=\"next\" class=\"pages-@tp@\" href=\"@next@\">next &rsaquo;</a>",
    "    @iol@<a class=\"pages-@tp@\" href=\"@last@\">last &raquo;</a>",
    "  </nav>",
};

constexpr std::array kThumbnailTable = {
    "  <table class=\"thumbs\">",
    "@albumtable@@thumbtable@",
    "  </table>",
};

// The page is exactly as high as the window: the name and the navigation on
// top, the caption, the facts of the photo and the link to the original
// below, and between them the photo, as large as the room left allows but
// never larger than it is. A caption or fact the photo lacks leaves an empty
// element, which takes no room; the facts present are parted by middle dots.
constexpr std::array kImageTitle = {"  <title>@image_org@ - image @cp@ of @tp@</title>"};
constexpr std::array kImageStyleAndBody = {
    "    html, body { height: 100%; }",
    "    body { display: flex; flex-direction: column; }",
    "    h1 { padding: 0.5rem 1rem 0; font-size: 1.25rem; }",
    "    nav { padding: 0 0.5rem; }",
    "    main { flex: 1 1 0; min-height: 0; display: flex; align-items: center; justify-content: center;",
    "           padding: 0.5rem; }",
    "    main img { max-width: 100%; max-height: 100%; }",
    "    footer { padding: 0 0.5rem 0.25rem; font-size: 0.9rem; }",
    "    footer p { margin: 0; overflow-wrap: anywhere; }",
    "    .caption { margin-bottom: 0.25rem; font-size: 1rem; white-space: pre-line; max-height: 30vh;",
    "               overflow-y: auto; }",
    "    .caption:empty, .facts span:empty { display: none; }",
    "    .facts span:not(:empty) ~ span:not(:empty)::before { content: \" \\00B7 \"; }",
    "  </style>",
    "</head>",
    "<body>",
    "  <header>@albumpath@",
    "    <h1>@image_org@</h1>",
    "    <nav aria-label=\"Images\">",
    "      @iof@<a href=\"@first@\">&laquo; first</a>",
    "      @iof@<a rel=\"prev\" href=\"@prev@\">&lsaquo; previous</a>",
    "      <span>image @cp@ of @tp@</span>",
    "      @iol@<a rel=\"next\" class=\"pages-@tp@\" href=\"@next@\">next &rsaquo;</a>",
    "      @iol@<a class=\"pages-@tp@\" href=\"@last@\">last &raquo;</a>",
    "      <a rel=\"up\" href=\"@thumbs@\">thumbnails</a>",
    "    </nav>",
    "  </header>",
    "  <main>",
    "    <img src=\"@image_smaller@\" alt=\"@image_alt@\">",
    "  </main>",
    "  <footer>",
    "    <p class=\"caption\">@exifcomment@</p>",
    "    <p class=\"facts\"><span>@datetaken@</span><span>@camera@</span><span>@exposure@</span></p>",
    "    <a href=\"@image_big@\">original size</a>",
    "  </footer>",
};

}  // namespace

const std::vector<std::string>& ResponsiveThumbnailTemplate() {
  static const std::vector<std::string> lines =
      Joined({kDocumentStart, kThumbnailTitle, kSharedStyle, kThumbnailStyleAndHeading, kThumbnailNavigation,
              kThumbnailTable, kThumbnailNavigation, kKeyboardScriptAndEnd});
  return lines;
}

const std::vector<std::string>& ResponsiveImageTemplate() {
  static const std::vector<std::string> lines =
      Joined({kDocumentStart, kImageTitle, kSharedStyle, kImageStyleAndBody, kKeyboardScriptAndEnd});
  return lines;
}

}  // namespace fotoloom
