// The thumbnail grid's figures and the image page's values for screens of any size and density.
#include "pages/ScreenMarkup.h"

#include <algorithm>

#include "core/PhotoFormats.h"
#include "pages/AsciiCase.h"
#include "pages/PageNames.h"

namespace fotoloom {
namespace {

// The name of the image prefix gives the photo named fileName, as a link
// inside an attribute; with webp that of its WebP copy.
std::string ImageLink(std::string_view prefix, std::string_view fileName, bool webp) {
  std::string name = ImageFileName(prefix, fileName);
  if (webp) name = WebpFileName(name);
  return HtmlEscaped(LinkEscaped(name));
}

}  // namespace

bool ShowsThumbGrid(const std::vector<std::string>& thumbnailTemplate, std::string_view title) {
  const auto holdsGrid = [](std::string_view text) { return FindIgnoreCase(text, "@thumbgrid@") != text.npos; };
  return holdsGrid(title) || std::any_of(thumbnailTemplate.begin(), thumbnailTemplate.end(), holdsGrid);
}

std::string ThumbGridStart(int columns) {
  return "<div class=\"thumbgrid\" style=\"--columns: " + std::to_string(columns) + "\">";
}

std::string SizeAttributes(int width, int height) {
  if (width < 1 || height < 1) return {};
  return " width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) + "\"";
}

std::vector<std::string> ThumbnailPicture(const ImageLinkOf& link, const ImageSizes& sizes, const std::string& alt,
                                          bool lazy, const ExtraImages& extra) {
  // The thumbnail's srcset: "t_" for screens of one pixel per CSS pixel and "t2_" for two and more.
  const auto srcset = [&link](bool webp) { return link("t_", webp) + " 1x, " + link("t2_", webp) + " 2x"; };
  std::string img = "<img src=\"" + link("t_", false) + "\"";
  if (extra.SharpThumbnails) img += " srcset=\"" + srcset(false) + "\"";
  img += SizeAttributes(sizes.ThumbWidth, sizes.ThumbHeight);
  img += " alt=\"" + alt + "\" decoding=\"async\"";
  if (lazy) img += " loading=\"lazy\"";
  img += ">";
  if (!extra.Webp) return {std::move(img)};
  return {"<picture>",
          "<source type=\"image/webp\" srcset=\"" + (extra.SharpThumbnails ? srcset(true) : link("t_", true)) + "\">",
          std::move(img), "</picture>"};
}

std::vector<std::string> ThumbGridFigure(const GridFigure& figure, const ExtraImages& extra) {
  std::vector<std::string> lines;
  lines.emplace_back("<figure>");
  lines.push_back("<a href=\"" + figure.imagePage + "\">");
  const ImageLinkOf link = [&figure](std::string_view prefix, bool webp) {
    return ImageLink(prefix, figure.fileName, webp);
  };
  for (std::string& line : ThumbnailPicture(link, figure.sizes, figure.alt, figure.lazy, extra))
    lines.push_back(std::move(line));
  lines.emplace_back("</a>");
  if (!figure.caption.empty()) lines.push_back("<figcaption>" + figure.caption + "</figcaption>");
  lines.emplace_back("</figure>");
  return lines;
}

std::string ScaledWebpSource(std::string_view fileName, const ExtraImages& extra) {
  if (!extra.Webp) return {};
  return "<source type=\"image/webp\" srcset=\"" + ImageLink("n_", fileName, true) + "\">";
}

std::string OriginalSizeLink(std::string_view fileName, bool originalsCopied) {
  if (!originalsCopied) return {};
  return "<a href=\"" + ImageLink("b_", fileName, false) + "\">original size</a>";
}

std::string ShownScaledImageLink(std::string_view fileName, const ExtraImages& extra) {
  return ImageLink("n_", fileName, extra.Webp);
}

}  // namespace fotoloom
