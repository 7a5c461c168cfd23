// timage_page: the page layout, the cells of the thumbnail table and both page writers.
#include "pages/Un_image.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "core/Error.h"
#include "core/ScopeExit.h"
#include "pages/ColorToHex.h"
#include "pages/LineFilter.h"
#include "pages/PageNames.h"
#include "pages/PageRenderer.h"
#include "pages/ZipMacros.h"

namespace fotoloom {

// What stays the same on every page of one Create_pages call: the colour
// texts and one renderer per page kind, prepared for its page count.
struct timage_page::RunState {
  std::array<std::string, 4> colors;  // "#RRGGBB": background, text, link, visited link
  PageRenderer thumbs;
  PageRenderer images;
  long long thumbsCount = -1;  // the count the renderers were prepared for
  long long imagesCount = -1;
  std::string table;  // the "@thumbtable@" value, reused page after page
  // The album macros' values, the same on every page of the album.
  std::string albumName;
  std::string albumPath;
  std::string albumTable;             // lines ended by CR LF, for the first thumbnail page
  bool albumTableInTemplate = false;  // else it leads "@thumbtable@"
  std::string grid;                   // the "@thumbgrid@" value likewise
  std::string photoCount;
  std::string zipLink;    // the "@zip_link@" value
  bool usesGrid = false;  // whether the thumbnail pages show "@thumbgrid@"
};

namespace {

// The colour macros lead both macro lists.
constexpr std::array<std::string_view, 4> kColorMacros = {"@bg_color@", "@text_color@", "@link_color@",
                                                          "@vlink_color@"};

// Leading entries of each macro list whose values do not change from page to page.
// four colours, the three of the ZIP, "@title@", the album's name and path, "@tp@", "@photo_count@"
constexpr std::size_t kThumbFixedMacros = 12;
// four colours, the three of the ZIP, "@tp@", the album's name and path
constexpr std::size_t kImageFixedMacros = 10;

// The values of "@tp@", "@cp@", "@next@", "@prev@", "@last@" and "@first@" for
// page `current` of `total` pages named baseName + number + ext. Next and
// previous are formed even where they leave the sequence (pages 0 and total + 1).
struct Navigation {
  std::string total, current, next, prev, last, first;
};

// Appends the lines to text, each followed by CR LF.
void AppendLines(const std::vector<std::string>& lines, std::string& text) {
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
}

Navigation NavigationOf(const std::string& baseName, long long current, long long total, long long firstNumber,
                        const std::string& ext) {
  return {std::to_string(total),
          std::to_string(current),
          PageFileName(baseName, current + 1, ext),
          PageFileName(baseName, current - 1, ext),
          PageFileName(baseName, total, ext),
          PageFileName(baseName, firstNumber, ext)};
}

}  // namespace

timage_page::timage_page() = default;

timage_page::timage_page(bool& cancelled) : Cancellable(cancelled) {}
timage_page::~timage_page() = default;

void timage_page::SetImageFiles(const std::vector<std::string>& files) { imageFiles_ = files; }
void timage_page::SetPhotoTexts(std::vector<PhotoTexts> texts) { photoTexts_ = std::move(texts); }

const PhotoTexts& timage_page::CurrentPhotoTexts() const {
  static const PhotoTexts kNone;
  const std::size_t i = static_cast<std::size_t>(CurrentImage);
  return CurrentImage >= 0 && i < photoTexts_.size() ? photoTexts_[i] : kNone;
}
void timage_page::SetImageSizes(std::vector<ImageSizes> sizes) { imageSizes_ = std::move(sizes); }

const ImageSizes& timage_page::SizesOf(int index) const {
  static const ImageSizes kNone;
  const std::size_t i = static_cast<std::size_t>(index);
  return index >= 0 && i < imageSizes_.size() ? imageSizes_[i] : kNone;
}

void timage_page::SetHTMLThumbnails(const std::vector<std::string>& lines) { htmlThumbnails_ = lines; }
void timage_page::SetHTMLImages(const std::vector<std::string>& lines) { htmlImages_ = lines; }

std::unique_ptr<timage_page::RunState> timage_page::NewRunState() const {
  auto state = std::make_unique<RunState>();
  state->colors = {"#" + Color_to_hex(BackgroundColor), "#" + Color_to_hex(TextColor), "#" + Color_to_hex(LinkColor),
                   "#" + Color_to_hex(VisitedLinkColor)};
  const std::string firstPage = PageFileName(ThumbPagesName, 1, NormalizedExtension(WebSiteExtension));
  state->albumName = AlbumNameValue(Album.Path, Title);
  state->albumPath = AlbumPathValue(Album.Path, Title, firstPage);
  // The grid is laid out only for pages that show it.
  state->usesGrid = ShowsThumbGrid(htmlThumbnails_, Title);
  // Beside the grid, the album covers are thumbnails of the same kind.
  AppendLines(AlbumTableRows(Album.SubAlbums, ColsCount, firstPage, state->usesGrid ? &Extra : nullptr),
              state->albumTable);
  state->albumTableInTemplate = HoldsAlbumTableMacro(htmlThumbnails_);
  state->photoCount = std::to_string(ImageCount);
  state->zipLink = ZipLink(ZipName, ImageCount, ZipSize);
  return state;
}

const std::string& timage_page::CurrentImagePath() const {
  if (CurrentImage < 0 || static_cast<std::size_t>(CurrentImage) >= imageFiles_.size())
    throw Error("No image file at index " + std::to_string(CurrentImage));
  return imageFiles_[static_cast<std::size_t>(CurrentImage)];
}

timage_page::RunState& timage_page::State(std::unique_ptr<RunState>& local) {
  if (run_) return *run_;
  // Called outside Create_pages: everything is taken fresh from the fields.
  local = NewRunState();
  return *local;
}

void timage_page::Create_pages() {
  if (RowsCount < 1 || ColsCount < 1)
    throw Error("The thumbnail pages need at least 1 row and 1 column (rows: " + std::to_string(RowsCount) +
                ", columns: " + std::to_string(ColsCount) + ")");
  if (ImageCount < 0 || static_cast<std::size_t>(ImageCount) > imageFiles_.size())
    throw Error("Cannot place " + std::to_string(ImageCount) + " images: " + std::to_string(imageFiles_.size()) +
                " image files are listed");

  CurrentImage = 0;
  WebSiteExtension = NormalizedExtension(WebSiteExtension);
  const long long perPage = static_cast<long long>(RowsCount) * ColsCount;
  const int count = ImageCount;
  const int pages = ThumbnailPageCount(count, perPage);
  thumbTable_.clear();
  thumbGrid_.clear();

  // The run state lives exactly as long as this call, whichever way it ends.
  run_ = NewRunState();
  const ScopeExit release([this] { run_.reset(); });
  const bool grid = run_->usesGrid;

  for (int p = 0; p < pages; ++p) {
    const std::string thumbPageName = PageFileName(ThumbPagesName, p + 1, WebSiteExtension);
    const long long remaining = count - CurrentImage;
    const long long rows = remaining >= perPage ? RowsCount : remaining / ColsCount + (remaining % ColsCount != 0);
    if (grid) thumbGrid_.push_back(ThumbGridStart(ColsCount));
    for (long long r = 0; r < rows; ++r) {
      thumbTable_.emplace_back("<tr>");
      const int cells = std::min(count - CurrentImage, ColsCount);
      for (int c = 0; c < cells; ++c) {
        const std::string imagePageName = PageFileName(ImagePagesName, CurrentImage + 1, WebSiteExtension);
        AddCellLines(imagePageName);
        if (grid) AddGridFigure(imagePageName, r == 0);
        Write_image_page(CurrentImage + 1, count, 1, imagePageName, thumbPageName);
        if (OnProgress) OnProgress(*this, CurrentImage, p, Cancelled);
        if (Cancelled) return;
        ++CurrentImage;
      }
      thumbTable_.emplace_back("</tr>");
    }
    if (grid) thumbGrid_.emplace_back(kThumbGridEnd);
    if (OnProgress) OnProgress(*this, CurrentImage, p, Cancelled);
    if (Cancelled) return;
    Write_thumb_page(p + 1, pages, thumbPageName, thumbTable_);
    thumbTable_.clear();
    thumbGrid_.clear();
  }
}

void timage_page::Output(const std::string& fileName, const std::string& text) {
  if (PageOutput)
    PageOutput(fileName, text);
  else
    WritePage(OutputPath, fileName, text);
}

void timage_page::AddCellLines(const std::string& imagePageName) {
  // Names come from disk and may hold "&", "<", '"', "#", "%" ...: the cell
  // takes their escaped page forms.
  const PageImageValues names = PageValuesOfImage(CurrentImagePath());
  thumbTable_.emplace_back("<td class=\"thumbcells\" >");
  thumbTable_.push_back("<a href=\"" + imagePageName + "\">");
  thumbTable_.push_back("<img src=\"" + names.thumbnailLink + "\" border=0 alt=\"" + names.fileName + "\">");
  thumbTable_.emplace_back("</a>");
  switch (SubtitleIndex) {
    case 1: thumbTable_.push_back("<br>" + names.fileName); break;
    case 2: thumbTable_.push_back("<br>" + names.withoutExtension); break;
    case 3:
      if (std::optional<std::string> line = CaptionSubtitleLine(CurrentPhotoTexts())) thumbTable_.push_back(*line);
      break;
    case 4: thumbTable_.push_back("<br>" + std::to_string(CurrentImage + 1)); break;
    default:  // 0 "None" and unknown choices: no subtitle
      break;
  }
  thumbTable_.emplace_back("</td>");
}

void timage_page::AddGridFigure(const std::string& imagePageName, bool firstRow) {
  const PageImageValues names = PageValuesOfImage(CurrentImagePath());
  const ImageNames plain = NamesOfImage(CurrentImagePath());
  const PhotoTexts& texts = CurrentPhotoTexts();
  GridFigure figure;
  figure.fileName = plain.fileName;
  figure.imagePage = imagePageName;
  figure.alt = PhotoAltText(texts, plain.withoutExtension);
  switch (SubtitleIndex) {
    case 1: figure.caption = names.fileName; break;
    case 2: figure.caption = names.withoutExtension; break;
    case 3: figure.caption = PhotoTextOnPage(texts.Caption); break;
    case 4: figure.caption = std::to_string(CurrentImage + 1); break;
    default: break;
  }
  figure.sizes = SizesOf(CurrentImage);
  figure.lazy = !firstRow;
  for (std::string& line : ThumbGridFigure(figure, Extra)) thumbGrid_.push_back(std::move(line));
}

void timage_page::Write_thumb_page(int k, int T, const std::string& fileName,
                                   const std::vector<std::string>& thumbTable) {
  std::unique_ptr<RunState> local;
  RunState& state = State(local);
  const Navigation nav = NavigationOf(ThumbPagesName, k, T, 1, NormalizedExtension(WebSiteExtension));
  // The album table stands on the first page, where the template puts it
  // or else before the thumbnails.
  const std::string noTable;
  const bool albumTable = k == 1 && state.albumTableInTemplate;
  state.table = k == 1 && !state.albumTableInTemplate ? state.albumTable : std::string();
  AppendLines(thumbTable, state.table);
  state.grid.clear();
  AppendLines(thumbGrid_, state.grid);
  // The order of this list is the order of replacement. The ZIP's macros
  // come before the title, which may hold any "@...@"; the values that come
  // from folder names hold no "@": no later macro can hide in them.
  const std::array<Macro, 20> macros = {{
      {kColorMacros[0], state.colors[0]},
      {kColorMacros[1], state.colors[1]},
      {kColorMacros[2], state.colors[2]},
      {kColorMacros[3], state.colors[3]},
      {kZipMacro, ZipName},
      {kZipSizeMacro, ZipSize},
      {kZipLinkMacro, state.zipLink},
      {"@title@", Title},
      {kAlbumNameMacro, state.albumName},
      {kAlbumPathMacro, state.albumPath},
      {"@tp@", nav.total},
      {"@photo_count@", state.photoCount},
      {"@cp@", nav.current},
      {"@next@", nav.next},
      {"@prev@", nav.prev},
      {"@last@", nav.last},
      {"@first@", nav.first},
      {kAlbumTableMacro, albumTable ? state.albumTable : noTable},
      {"@thumbtable@", state.table},
      {"@thumbgrid@", state.grid},
  }};
  const std::span<const Macro> list(macros);
  if (state.thumbsCount != T) {
    state.thumbs.Reset(htmlThumbnails_, list.first(kThumbFixedMacros));
    state.thumbsCount = T;
  }
  const std::string& text = state.thumbs.Render(PositionInSequence(k, T), list.subspan(kThumbFixedMacros));
  Output(fileName, text);
}

void timage_page::Write_image_page(int j, int N, int firstNumber, const std::string& pageFileName,
                                   const std::string& thumbPageFileName) {
  std::unique_ptr<RunState> local;
  RunState& state = State(local);
  const PageImageValues names = PageValuesOfImage(CurrentImagePath());
  const Navigation nav = NavigationOf(ImagePagesName, j, N, firstNumber, NormalizedExtension(WebSiteExtension));
  const ImageNames plain = NamesOfImage(CurrentImagePath());
  const std::array<std::string, 6> photo = PhotoMacroValues(CurrentPhotoTexts(), plain.withoutExtension);
  const ImageSizes& sizes = SizesOf(CurrentImage);
  const std::string width = sizes.ScaledWidth > 0 ? std::to_string(sizes.ScaledWidth) : std::string();
  const std::string height = sizes.ScaledHeight > 0 ? std::to_string(sizes.ScaledHeight) : std::string();
  const std::string nextImage =
      CurrentImage + 1 < N && static_cast<std::size_t>(CurrentImage) + 1 < imageFiles_.size()
          ? ShownScaledImageLink(NamesOfImage(imageFiles_[static_cast<std::size_t>(CurrentImage) + 1]).fileName, Extra)
          : std::string();
  const std::string webpSource = ScaledWebpSource(plain.fileName, Extra);
  const std::string bigLink = OriginalSizeLink(plain.fileName, OriginalsCopied);
  // The order of this list is the order of replacement. The photo's texts
  // come before the names and links, which may hold any "@...@" of a file
  // name, so that no macro of theirs is replaced inside those; the album's
  // name and path, fixed for the album, come before the photo's texts; the
  // values that hold names of other files come last for the same reason.
  const std::array<Macro, 31> macros = {{
      {kColorMacros[0], state.colors[0]},
      {kColorMacros[1], state.colors[1]},
      {kColorMacros[2], state.colors[2]},
      {kColorMacros[3], state.colors[3]},
      {kZipMacro, ZipName},
      {kZipSizeMacro, ZipSize},
      {kZipLinkMacro, state.zipLink},
      {"@tp@", nav.total},
      {kAlbumNameMacro, state.albumName},
      {kAlbumPathMacro, state.albumPath},
      {kPhotoMacros[0], photo[0]},
      {kPhotoMacros[1], photo[1]},
      {kPhotoMacros[2], photo[2]},
      {kPhotoMacros[3], photo[3]},
      {kPhotoMacros[4], photo[4]},
      {kPhotoMacros[5], photo[5]},
      {"@image_width@", width},
      {"@image_height@", height},
      {"@cp@", nav.current},
      {"@next@", nav.next},
      {"@prev@", nav.prev},
      {"@last@", nav.last},
      {"@first@", nav.first},
      {"@thumbs@", thumbPageFileName},
      {"@image_smaller@", names.smallerLink},
      {"@image_big@", names.bigLink},
      {"@image_org_ext@", names.fileName},
      {"@image_org@", names.withoutExtension},
      {"@image_webp_source@", webpSource},
      {"@image_big_link@", bigLink},
      {"@next_image@", nextImage},
  }};
  const std::span<const Macro> list(macros);
  if (state.imagesCount != N) {
    state.images.Reset(htmlImages_, list.first(kImageFixedMacros));
    state.imagesCount = N;
  }
  const std::string& text = state.images.Render(PositionInSequence(j, N), list.subspan(kImageFixedMacros));
  Output(pageFileName, text);
}

}  // namespace fotoloom
