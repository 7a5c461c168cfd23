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

// An empty icon of its own, so that the browser does not ask the server for
// one the gallery does not have.
constexpr std::array kNoIcon = {"  <link rel=\"icon\" href=\"data:,\">"};

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
// On a page with an element marked data-swipe (the photo of an image page),
// a horizontal swipe across it of at least 50 CSS pixels, clearly more
// sideways than up or down, follows "next" (to the left) or "prev" (to the
// right); and once the page has loaded, the image named by its
// data-next-image is fetched ahead (a prefetch, which leaving the page does
// not cancel), so that the next photo shows at once.
constexpr std::array kScriptAndEnd = {
    "  <script>",
    "    function follow(rel) {",
    "      var link = document.querySelector(\"a[rel=\" + rel + \"]\");",
    "      if (!link || !link.offsetParent) return false;",
    "      location.href = link.href;",
    "      return true;",
    "    }",
    "    document.addEventListener(\"keydown\", function (e) {",
    "      var rel = {ArrowLeft: \"prev\", ArrowRight: \"next\", Escape: \"up\"}[e.key];",
    "      if (typeof rel !== \"string\" || e.altKey || e.ctrlKey || e.metaKey || e.shiftKey) return;",
    "      if (follow(rel)) e.preventDefault();",
    "    });",
    "    var swipe = document.querySelector(\"[data-swipe]\"), start = null;",
    "    if (swipe) {",
    "      swipe.addEventListener(\"pointerdown\", function (e) { start = e.isPrimary ? [e.clientX, e.clientY] : null; "
    "});",
    "      swipe.addEventListener(\"pointercancel\", function () { start = null; });",
    "      swipe.addEventListener(\"pointerup\", function (e) {",
    "        if (!start) return;",
    "        var dx = e.clientX - start[0], dy = e.clientY - start[1];",
    "        start = null;",
    "        if (Math.abs(dx) >= 50 && Math.abs(dx) > 2 * Math.abs(dy)) follow(dx < 0 ? \"next\" : \"prev\");",
    "      });",
    "      window.addEventListener(\"load\", function () {",
    "        var ahead = swipe.getAttribute(\"data-next-image\"), link = document.createElement(\"link\");",
    "        if (!ahead) return;",
    "        link.rel = \"prefetch\";",
    "        link.href = ahead;",
    "        document.head.appendChild(link);",
    "      });",
    "    }",
    "  </script>",
    "</body>",
    "</html>",
};

constexpr std::array kThumbnailHead = {
    "  <title>@albumname@ - page @cp@ of @tp@</title>",
    "  <meta name=\"description\" content=\"@albumname@: @photo_count@ photos, page @cp@ of @tp@\">",
};

// The grid keeps the chosen number of columns on a wide window. Below 40rem
// it has as many columns as fit; the thumbnails shrink only when a column is
// narrower than they are, keeping their shape. Under the heading stands the
// link that downloads the album's photos as one ZIP, when there is one.
constexpr std::array kThumbnailStyleAndHeading = {
    "    body { padding: 0 1rem 1rem; }",
    "    h1 { padding: 1rem 0 0.25rem; font-size: 1.75rem; }",
    "    nav { margin: 0.25rem 0; }",
    "    .download { display: inline-block; padding: 0.4rem 0.25rem; }",
    "    .thumbgrid { display: grid; grid-template-columns: repeat(var(--columns), minmax(0, 1fr)); gap: 1rem;",
    "                 align-items: start; margin: 0.5rem 0; }",
    "    .thumbgrid figure { margin: 0; overflow-wrap: anywhere; }",
    "    .thumbgrid a { display: inline-block; max-width: 100%; }",
    "    .thumbgrid img { display: block; max-width: 100%; height: auto; }",
    "    table.albums { width: 100%; table-layout: fixed; border-collapse: collapse; }",
    "    td.albumcells { padding: 0.5rem; vertical-align: top; overflow-wrap: anywhere; }",
    "    td.albumcells a { display: inline-block; max-width: 100%; }",
    "    td.albumcells img { display: block; max-width: 100%; height: auto; }",
    "    @media (max-width: 40rem) {",
    "      .thumbgrid { grid-template-columns: repeat(auto-fill, minmax(9rem, 1fr)); gap: 0.5rem; }",
    "      table.albums, table.albums tbody { display: block; }",
    "      table.albums tbody { display: grid; grid-template-columns: repeat(auto-fill, minmax(9rem, 1fr)); }",
    "      table.albums tr { display: contents; }",
    "      td.albumcells { display: block; padding: 0.25rem; }",
    "    }",
    "  </style>",
    "</head>",
    "<body>",
    "  @albumpath@<h1>@albumname@</h1>",
    "  @zip_link@",
};

// Above and below the thumbnails.
constexpr std::array kThumbnailNavigation = {
    "  <nav aria-label=\"Pages\">",
    "    @iof@<a href=\"@first@\">&laquo; first page</a>",
    "    @iof@<a rel=\"prev\" href=\"@prev@\">&lsaquo; previous page</a>",
    "    <span>page @cp@ of @tp@</span>",
    "    @iol@<a rel=\"next\" class=\"pages-@tp@\" href=\"@next@\">next page &rsaquo;</a>",
    "    @iol@<a class=\"pages-@tp@\" href=\"@last@\">last page &raquo;</a>",
    "  </nav>",
};

// The sub-albums (on an album's first page) above the thumbnails.
constexpr std::array kThumbnailGrid = {
    "  <table class=\"albums\" role=\"presentation\">",
    "@albumtable@",
    "  </table>",
    "@thumbgrid@",
};

// The photo with its name and navigation above and its caption, facts and
// the link to the original below, all in a column as high as the window,
// the photo as large as the room left allows but never larger than it is.
// Its width and height attributes give its box before it has loaded, so
// nothing moves when it comes: its width is bounded by the window's and by
// the window's height less the room the rest takes (--reserved) times the
// photo's shape (--ratio); should the rest take more, the photo shrinks
// further inside its box, keeping its shape;
// on a screen with room to spare the column stands in the middle, so the
// navigation stays close to the photo. On a low window (a phone held
// sideways) the name and the navigation share one line. A caption or fact
// the photo lacks leaves an empty element, which takes no room; the facts
// present are parted by middle dots.
constexpr std::array kImageHead = {
    "  <title>@image_org@ - image @cp@ of @tp@</title>",
    "  <meta name=\"description\" content=\"Photo @cp@ of @tp@: @image_alt@\">",
};
constexpr std::array kImageStyleAndBody = {
    "    html, body { height: 100%; }",
    "    html { --reserved: 8rem; }",
    "    body { display: flex; flex-direction: column; justify-content: center; }",
    "    header, footer { flex: none; }",
    "    h1 { padding: 0.5rem 1rem 0; font-size: 1.25rem; }",
    "    nav { padding: 0 0.5rem; }",
    "    main { flex: 0 1 auto; min-height: 0; display: flex; align-items: center; justify-content: center;",
    "           padding: 0.25rem 0.5rem; touch-action: pan-y pinch-zoom; }",
    "    main picture { display: contents; }",
    "    main img { height: auto; max-height: 100%; object-fit: contain;",
    "               max-width: min(100%, calc((100vh - var(--reserved)) * var(--ratio))); }",
    "    footer { padding: 0 0.5rem 0.25rem; font-size: 0.9rem; }",
    "    footer p { margin: 0; overflow-wrap: anywhere; }",
    "    .caption { margin-bottom: 0.25rem; font-size: 1rem; white-space: pre-line; max-height: 30vh;",
    "               overflow-y: auto; }",
    "    .caption:empty, .facts span:empty { display: none; }",
    "    .facts span:not(:empty) ~ span:not(:empty)::before { content: \" \\00B7 \"; }",
    "    @media (max-height: 30rem) {",
    "      html { --reserved: 5rem; }",
    "      header { display: flex; flex-wrap: wrap; align-items: baseline; justify-content: center; }",
    "      h1 { padding: 0.25rem 0.5rem 0; font-size: 1rem; }",
    "    }",
    "  </style>",
    "</head>",
    "<body>",
    "  <header>@albumpath@",
    "    <h1>@image_org@</h1>",
    "    <nav aria-label=\"Images\">",
    "      @iof@<a href=\"@first@\">&laquo; first photo</a>",
    "      @iof@<a rel=\"prev\" href=\"@prev@\">&lsaquo; previous photo</a>",
    "      <span>image @cp@ of @tp@</span>",
    "      @iol@<a rel=\"next\" class=\"pages-@tp@\" href=\"@next@\">next photo &rsaquo;</a>",
    "      @iol@<a class=\"pages-@tp@\" href=\"@last@\">last photo &raquo;</a>",
    "      <a rel=\"up\" href=\"@thumbs@\">all thumbnails</a>",
    "    </nav>",
    "  </header>",
    "  <main data-swipe data-next-image=\"@next_image@\">",
    "    <picture>@image_webp_source@<img src=\"@image_smaller@\" alt=\"@image_alt@\" width=\"@image_width@\""
    " height=\"@image_height@\" style=\"--ratio: @image_width@ / @image_height@\"></picture>",
    "  </main>",
    "  <footer>",
    "    <p class=\"caption\">@exifcomment@</p>",
    "    <p class=\"facts\"><span>@datetaken@</span><span>@camera@</span><span>@exposure@</span></p>",
    "    @image_big_link@",
    "  </footer>",
};

}  // namespace

const std::vector<std::string>& ResponsiveThumbnailTemplate() {
  static const std::vector<std::string> lines =
      Joined({kDocumentStart, kThumbnailHead, kNoIcon, kSharedStyle, kThumbnailStyleAndHeading, kThumbnailNavigation,
              kThumbnailGrid, kThumbnailNavigation, kScriptAndEnd});
  return lines;
}

const std::vector<std::string>& ResponsiveImageTemplate() {
  static const std::vector<std::string> lines =
      Joined({kDocumentStart, kImageHead, kNoIcon, kSharedStyle, kImageStyleAndBody, kScriptAndEnd});
  return lines;
}

}  // namespace fotoloom
