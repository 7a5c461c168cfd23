// The thumbnail grid's figures and the image page's values for screens of any size and density.
#include "pages/ScreenMarkup.h"

#include "core/PhotoFormats.h"
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

// The thumbnail's srcset: the "t_" file for screens of one pixel per CSS
// pixel and "t2_" for two and more.
std::string ThumbSrcset(std::string_view fileName, bool webp) {
  return ImageLink("t_", fileName, webp) + " 1x, " + ImageLink("t2_", fileName, webp) + " 2x";
}

}  // namespace

std::string ThumbGridStart(int columns) {
  return "<div class=\"thumbgrid\" style=\"--columns: " + std::to_string(columns) + "\">";
}

std::string SizeAttributes(int width, int height) {
  if (width < 1 || height < 1) return {};
  return " width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) + "\"";
}

std::vector<std::string> ThumbGridFigure(const GridFigure& figure, const ExtraImages& extra) {
  std::string img = "<img src=\"" + ImageLink("t_", figure.fileName, false) + "\"";
  if (extra.SharpThumbnails) img += " srcset=\"" + ThumbSrcset(figure.fileName, false) + "\"";
  img += SizeAttributes(figure.sizes.ThumbWidth, figure.sizes.ThumbHeight);
  img += " alt=\"" + figure.alt + "\" decoding=\"async\"";
  if (figure.lazy) img += " loading=\"lazy\"";
  img += ">";

  std::vector<std::string> lines;
  lines.emplace_back("<figure>");
  lines.push_back("<a href=\"" + figure.imagePage + "\">");
  if (extra.Webp) {
    const std::string srcset =
        extra.SharpThumbnails ? ThumbSrcset(figure.fileName, true) : ImageLink("t_", figure.fileName, true);
    lines.emplace_back("<picture>");
    lines.push_back("<source type=\"image/webp\" srcset=\"" + srcset + "\">");
    lines.push_back(std::move(img));
    lines.emplace_back("</picture>");
  } else {
    lines.push_back(std::move(img));
  }
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
