// The generation run: folder checks, search, order, and the writers driven stage by stage.
#include "run/GenerationRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/Error.h"
#include "core/ImageOrdering.h"
#include "core/IniFile.h"
#include "imaging/ImageStages.h"
#include "imaging/JpegCodec.h"
#include "imaging/Orientation.h"
#include "imaging/OutputName.h"
#include "imaging/OutputRecipe.h"
#include "imaging/Un_Copy_File.h"
#include "imaging/Un_Scaling_File.h"
#include "imaging/Un_Thumb_File.h"
#include "imaging/WaitingThumbnails.h"
#include "pages/PageNames.h"
#include "pages/Un_image.h"
#include "run/OutputFolder.h"

namespace fotoloom {

struct GenerationRun::Components {
  TMyFindFile Search;
  timage_page Pages;
  tcopy_file Copy;
  tscaling_file Scaling;
  tthumb_file Thumbs;
  // Drives the two image writers from one decode per photo.
  ImageStages Stages{Scaling, Thumbs};
};

namespace {

bool IsFolder(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A number typed by the user: leading blanks, then what a settings file may
// hold (sign, decimal, or hex after "0x" or "$"). Raises "'<text>' is not a
// valid integer value" for anything else, trailing blanks included.
int TextToInt(const std::string& text) {
  const std::size_t start = text.find_first_not_of(" \t");
  const std::optional<int> value =
      start == std::string::npos ? std::nullopt : ParseIniInteger(std::string_view(text).substr(start));
  if (!value) throw Error("'" + text + "' is not a valid integer value");
  return *value;
}

// A size in pixels: an integer of at least 1.
int PixelSize(const std::string& text) {
  const int value = TextToInt(text);
  if (value < 1) throw Error("'" + text + "' is not a valid image size: it must be at least 1 pixel");
  return value;
}

// The thumbnail side in pixels: the fixed size of the choice, or the size typed.
int ThumbnailBound(const GallerySettings& o) {
  const int choice = o.ThumbSizeChoice();
  return (choice >= 0 && choice < int(kFixedThumbSizes.size())) ? kFixedThumbSizes[std::size_t(choice)]
                                                                : PixelSize(o.MaxSizeThumbnails());
}

// The thumbnail side when it can be read, without raising.
std::optional<int> ThumbnailBoundIfValid(const GallerySettings& o) {
  try {
    return ThumbnailBound(o);
  } catch (const Error&) {
    return std::nullopt;
  }
}

// The photos whose images a run writes: all of them in ElementsMode 0, those
// of the first thumbnail page in mode 1, none in mode 2.
int ElementsCountOf(int elementsMode, int imageCount, std::int64_t cells) {
  if (elementsMode == 2) return 0;
  return elementsMode == 0 ? imageCount : static_cast<int>(std::min<std::int64_t>(imageCount, cells));
}

// The folder that holds path's last level ("." when path has only one level).
std::string ParentOf(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Sets what the scaled-image and the thumbnail writer take alike from the
// options and the run: the images, where to write, the resampling and the
// output format. Their sizes and qualities are their own.
void ConfigureImageWriter(ImageWriter& writer, const GallerySettings& o, const std::vector<std::string>& imageFiles,
                          int imageCount, int jobs) {
  writer.ImageFiles = imageFiles;
  writer.ImageCount = imageCount;
  writer.OutputPath = o.OutputPath();
  writer.FilterIndex = o.FilterIndex();  // -1, no filter chosen, resizes with the default one
  writer.UseFilter = o.UseFilter();
  writer.Grayscale = o.isgrayscale();
  const int pixelFormat = (o.Pixelformat() >= 0 && o.Pixelformat() <= 7) ? o.Pixelformat() : 0;
  writer.PixelFormat = static_cast<std::uint8_t>(pixelFormat);
  writer.Jobs = std::max(1, jobs);
}

// Raises the conversion error of an image size that is not a number.
void ConfigureScaledImageWriter(tscaling_file& scaling, const GallerySettings& o,
                                const std::vector<std::string>& imageFiles, int imageCount, int jobs) {
  ConfigureImageWriter(scaling, o, imageFiles, imageCount, jobs);
  scaling.MaxWidth = PixelSize(o.MaxWidthImage());
  scaling.MaxHeight = PixelSize(o.MaxHeightImage());
  scaling.Quality = static_cast<std::uint8_t>(o.QualityImages());
}

void ConfigureThumbnailWriter(tthumb_file& thumbs, const GallerySettings& o, const std::vector<std::string>& imageFiles,
                              int imageCount, int jobs, int thumbSize) {
  ConfigureImageWriter(thumbs, o, imageFiles, imageCount, jobs);
  thumbs.MaxWidth = thumbSize;
  thumbs.MaxHeight = thumbSize;
  thumbs.Quality = static_cast<std::uint8_t>(o.QualityThumbnails());
}

}  // namespace

std::string FolderCreationMessage(const std::string& folder, int err) {
  switch (err) {
    case ENOENT: return (folder.empty() || IsFolder(ParentOf(folder))) ? "File not found" : "Invalid filename";
    case ENOTDIR:  // a level of the parent is a file: the parent folder does not exist
      return "Invalid filename";
    case EACCES:
    case EPERM:
    case EROFS: return "File access denied";
    default: return "I/O error " + std::to_string(err);
  }
}

int FolderCreationError(const std::string& folder) {
  if (folder.empty()) return ENOENT;
  struct stat st {};
  if (::lstat(folder.c_str(), &st) == 0) return EEXIST;
  if (errno != ENOENT) return errno;  // a level of the path is a file, cannot be searched, ...
  const std::string parent = ParentOf(folder);
  if (::stat(parent.c_str(), &st) != 0) return errno;
  if (!S_ISDIR(st.st_mode)) return ENOTDIR;
  if (::access(parent.c_str(), W_OK | X_OK) != 0) return errno;
  return 0;
}

GenerationRun::GenerationRun(const GallerySettings& settings, Desktop& desktop, RunView& view)
    : Jobs(ImageWriter::DefaultJobs()), settings_(settings), desktop_(desktop), view_(view), c_(new Components) {
  c_->Search.OnFileFound = [this](TMyFindFile& sender, const std::string& folder, const FoundFile& file,
                                  bool& cancelled) { Add_found_image(sender, folder, file, cancelled); };
  c_->Search.OnSearchDone = [this](TMyFindFile& sender) { Create_gallery(sender); };
  c_->Pages.OnProgress = [this](timage_page&, int imageIndex, int pageIndex, bool&) {
    desktop_.ProcessPendingEvents();
    MoveBar(RunBar::ImagePages, imageIndex + 1);
    MoveBar(RunBar::ThumbnailPages, pageIndex + 1);
  };
  c_->Copy.OnProgress = [this](tcopy_file& copy, int index, bool&) {
    const std::size_t i = static_cast<std::size_t>(index);
    if (update_ && i < copy.Made.size() && copy.Made[i])
      update_->Written("b_" + FileNameOf(imageFiles_[i]), PhotoOf(i), "copy");
    desktop_.ProcessPendingEvents();
    MoveBar(RunBar::Originals, index + 1);
  };
  // A file an update wrote is recorded before the pump, and only when no
  // cancel came before it: a cancel may have cut its stretch short.
  c_->Scaling.OnProgress = [this](ImageWriter&, int index, bool& cancelled) {
    const std::size_t i = static_cast<std::size_t>(index);
    if (update_ && !cancelled && i < needs_.size() && needs_[i].ScaledImage)
      update_->Written("n_" + FileNameOf(imageFiles_[i]), PhotoOf(i), scaledRecipe_);
    desktop_.ProcessPendingEvents();
    nextImage_ = index + 1;
    MoveBar(RunBar::ScaledImages, index + 1);
  };
  c_->Thumbs.OnProgress = [this](ImageWriter&, int index, bool& cancelled) {
    const std::size_t i = static_cast<std::size_t>(index);
    if (update_ && !cancelled && i < needs_.size() && needs_[i].Thumbnail)
      update_->Written("t_" + FileNameOf(imageFiles_[i]), PhotoOf(i), thumbRecipe_);
    desktop_.ProcessPendingEvents();
    nextImage_ = index + 1;
    MoveBar(RunBar::Thumbnails, index + 1);
  };
  const auto working = [this](ImageWriter&, bool&) { desktop_.ProcessPendingEvents(); };
  c_->Scaling.OnWorking = working;
  c_->Thumbs.OnWorking = working;
}

GenerationRun::~GenerationRun() = default;

void GenerationRun::Cancel() {
  c_->Search.Cancelled = true;
  c_->Copy.Cancelled = true;
  c_->Pages.Cancelled = true;
  c_->Scaling.Cancelled = true;
  c_->Thumbs.Cancelled = true;
}

RunOutcome GenerationRun::Start() { return Go(nullptr); }

RunOutcome GenerationRun::Plan(RunPlan& plan) { return Go(&plan); }

RunOutcome GenerationRun::Go(RunPlan* plan) {
  if (running_) throw Error("A gallery is being generated already");
  // Whatever way Start is left, the run is idle afterwards and holds no list.
  struct Idle {
    GenerationRun& run;
    ~Idle() {
      run.seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - run.searchStarted_).count();
      if (run.update_ && run.lastUpdate_) {
        run.lastUpdate_->Written = run.update_->FilesWritten();
        run.lastUpdate_->Deleted = run.update_->FilesDeleted();
      }
      // The update writes its state whole before anything it refers to goes.
      run.update_.reset();
      run.photos_.clear();
      run.needs_.clear();
      run.c_->Stages.Forget();
      run.imageFiles_.clear();
      run.imageFiles_.shrink_to_fit();
      run.options_.reset();
      run.plan_ = nullptr;
      run.running_ = false;
    }
  } idle{*this};
  running_ = true;
  plan_ = plan;
  if (plan_) *plan_ = RunPlan{};
  outcome_ = RunOutcome::NotStarted;
  failedImage_.clear();
  entries_.clear();
  imageCount_ = elementsCount_ = thumbPageCount_ = 0;
  searchStarted_ = std::chrono::steady_clock::now();
  lastUpdate_.reset();
  options_ = std::make_unique<GallerySettings>(settings_);
  const GallerySettings& o = *options_;

  if (!IsFolder(o.InputPath())) {
    desktop_.ShowMessage(Desktop::Icon::Warning, "Incorrect path for input : " + o.InputPath());
    view_.Return_to_first_page();
    return outcome_;
  }
  if (!IsFolder(o.OutputPath())) {
    const std::string question =
        "Output folder \"" + o.OutputPath() + "\" is not exist. Do you want to create it now ?";
    if (!desktop_.AskYesNo(Desktop::Icon::Warning, question)) {
      view_.Return_to_first_page();
      return outcome_;
    }
    // Only the last level is made; its parent must exist.
    if (plan_) {
      if (const int err = FolderCreationError(o.OutputPath())) throw Error(FolderCreationMessage(o.OutputPath(), err));
      plan_->CreatesOutputFolder = true;
    } else if (::mkdir(o.OutputPath().c_str(), 0777) != 0) {
      throw Error(FolderCreationMessage(o.OutputPath(), errno));
    }
  }
  // A run that crashed while thumbnails waited in a file may have left it;
  // a dry run removes nothing.
  if (!plan_) WaitingThumbnails::RemoveLeftovers(o.OutputPath());
  if (o.UpdateOnlyChanged()) {
    update_ = std::make_unique<GalleryUpdate>(o.OutputPath(), plan_ == nullptr, UpdateNow);
    if (!plan_) lastUpdate_.emplace();
  }

  // The time the user took to answer a question does not count.
  searchStarted_ = std::chrono::steady_clock::now();
  TMyFindFile& search = c_->Search;
  search.Cancelled = false;
  search.SearchFolder = o.InputPath();
  search.Mask = "*.jp*g";
  search.Search();  // ends in Create_gallery
  return outcome_;
}

void GenerationRun::Add_found_image(TMyFindFile& Sender, const std::string& Folder, const FoundFile& File,
                                    bool& /*Cancelled*/) {
  desktop_.ProcessPendingEvents();
  view_.SetInputPathLabel(std::string(kInputPathLabel) + options_->InputPath());
  view_.SetFoundLabel("Found : " + std::to_string(Sender.FileCount));
  entries_.push_back(MakeImageEntry(Folder, File));
}

void GenerationRun::Create_gallery(TMyFindFile& Sender) {
  const GallerySettings& o = *options_;
  for (RunBar bar : kRunBars) view_.SetBarPosition(bar, 0);
  if (Sender.Cancelled) {
    outcome_ = RunOutcome::Cancelled;
    return;
  }
  imageCount_ = Sender.FileCount;
  if (imageCount_ < 1) {
    desktop_.ShowMessage(Desktop::Icon::Error, "No Images Could be found");
    view_.Return_to_first_page();
    outcome_ = RunOutcome::NoImages;
    return;
  }
  imageFiles_ = Build_image_list(entries_, o.SortingMethodIndex());

  // The grid is checked in full before any page is written.
  const int rows = TextToInt(o.RowsCount());
  const int cols = TextToInt(o.ColsCount());
  const std::int64_t cells = std::int64_t{rows} * cols;
  if (cells == 0) throw Error("Division by zero");
  if (rows < 1) throw Error("'" + o.RowsCount() + "' is not a valid number of rows: it must be at least 1");
  if (cols < 1) throw Error("'" + o.ColsCount() + "' is not a valid number of columns: it must be at least 1");
  thumbPageCount_ = ThumbnailPageCount(imageCount_, cells);
  if (plan_) {
    PlanImages(cells);
    return;
  }
  SetBarMaximum(RunBar::ThumbnailPages, thumbPageCount_);
  SetBarMaximum(RunBar::ImagePages, imageCount_);

  timage_page& pages = c_->Pages;
  pages.OutputPath = o.OutputPath();
  pages.BackgroundColor = o.BackgroundColor();
  pages.TextColor = o.TextColor();
  pages.LinkColor = o.LinkColor();
  pages.VisitedLinkColor = o.VisitedLinkColor();
  pages.SetImageFiles(imageFiles_);
  pages.ImageCount = imageCount_;
  pages.ColsCount = cols;
  pages.RowsCount = rows;
  pages.SubtitleIndex = o.SubtitleIndex();
  pages.Title = o.Title();
  pages.SetHTMLThumbnails(o.HTMLThumbnails());
  pages.SetHTMLImages(o.HTMLImages());
  pages.ImagePagesName = o.ImagePagesName();
  pages.ThumbPagesName = o.ThumbPagesName();
  pages.WebSiteExtension = o.WebSiteExtension();
  pages.PageOutput = nullptr;
  if (update_)
    pages.PageOutput = [this](const std::string& name, const std::string& text) { update_->WritePage(name, text); };
  pages.Cancelled = Sender.Cancelled;
  if (!pages.Cancelled) pages.Create_pages();
  if (pages.Cancelled) {
    outcome_ = RunOutcome::Cancelled;
    return;
  }

  if (o.ElementsMode() != 2) {
    elementsCount_ = ElementsCountOf(o.ElementsMode(), imageCount_, cells);

    if (o.CopyOrgSizedImages()) {
      SetBarMaximum(RunBar::Originals, elementsCount_);
      tcopy_file& copy = c_->Copy;
      copy.ImageFiles = imageFiles_;
      copy.ImageCount = elementsCount_;
      copy.OutputPath = o.OutputPath();
      copy.Actions.clear();
      copy.Cancelled = pages.Cancelled;
      if (update_ && !copy.Cancelled && !DecideCopies()) {
        outcome_ = RunOutcome::Cancelled;
        return;
      }
      if (!copy.Cancelled) copy.Copy_originals();
      if (copy.Cancelled) {
        outcome_ = RunOutcome::Cancelled;
        return;
      }
    }

    if (!o.AdditionalPath().empty()) {
      if (update_)
        Copy_additional_elements(o, desktop_, *update_);
      else
        Copy_additional_elements(o, desktop_);
    }

    // An update first says how many images are up to date.
    if (!update_) SetBarMaximum(RunBar::ScaledImages, elementsCount_);
    tscaling_file& scaling = c_->Scaling;
    tthumb_file& thumbs = c_->Thumbs;
    ImageStages& stages = c_->Stages;
    ConfigureScaledImageWriter(scaling, o, imageFiles_, elementsCount_, Jobs);
    // The thumbnail writer is set up now too, so that each photo's thumbnail
    // comes from the decode that makes its scaled image. A thumbnail size
    // that is not one is still reported where the thumbnail stage starts,
    // after the scaled images; those thumbnails are not made along.
    const std::optional<int> thumbSize = ThumbnailBoundIfValid(o);
    if (thumbSize) ConfigureThumbnailWriter(thumbs, o, imageFiles_, elementsCount_, Jobs, *thumbSize);
    stages.ThumbnailsAlong = thumbSize.has_value();
    stages.Needs.clear();
    scaling.Cancelled = pages.Cancelled;
    if (update_ && !scaling.Cancelled) {
      // A thumbnail size that is not one raises at the thumbnail stage, as
      // without the update; its thumbnails count as to be made till then.
      if (!DecideImages(OutputRecipe(scaling.CurrentSettings(), "n_"),
                        thumbSize ? OutputRecipe(thumbs.CurrentSettings(), "t_") : std::string())) {
        outcome_ = RunOutcome::Cancelled;
        return;
      }
      stages.Needs = needs_;
    }
    if (update_) SetBarMaximum(RunBar::ScaledImages, elementsCount_);
    if (!scaling.Cancelled) RunImageStage([&stages] { stages.Create_images(); });
    if (scaling.Cancelled) {
      outcome_ = RunOutcome::Cancelled;
      return;
    }

    SetBarMaximum(RunBar::Thumbnails, elementsCount_);
    ConfigureThumbnailWriter(thumbs, o, imageFiles_, elementsCount_, Jobs, ThumbnailBound(o));
    thumbs.Cancelled = scaling.Cancelled;
    if (!thumbs.Cancelled) RunImageStage([&stages] { stages.Create_thumbnails(); });
    if (thumbs.Cancelled) {
      outcome_ = RunOutcome::Cancelled;
      return;
    }
  }

  // What the state recorded and a full run would not leave goes last, once
  // everything the full run writes is there.
  if (update_) update_->DeleteUnwanted([this] { desktop_.ProcessPendingEvents(); });

  imageFiles_.clear();
  imageFiles_.shrink_to_fit();
  outcome_ = RunOutcome::Finished;
  if (o.AutoBrowserStart()) {
    Open_first_page(o, desktop_);
    view_.CloseMainWindow();
  } else {
    view_.ShowBottomButtons();
  }
}

void GenerationRun::PlanImages(std::int64_t cells) {
  const GallerySettings& o = *options_;
  RunPlan& plan = *plan_;
  plan.ThumbPageCount = thumbPageCount_;
  plan.ImagePageCount = imageCount_;
  elementsCount_ = ElementsCountOf(o.ElementsMode(), imageCount_, cells);
  plan.ElementsCount = elementsCount_;
  plan.CopiesOriginals = elementsCount_ > 0 && o.CopyOrgSizedImages();
  plan.CopiesAdditionalElements = o.ElementsMode() != 2 && !o.AdditionalPath().empty();
  // The bounds raise here what the image stages would raise.
  int maxWidth = 0;
  int maxHeight = 0;
  int thumbSize = 0;
  if (elementsCount_ > 0) {
    maxWidth = PixelSize(o.MaxWidthImage());
    maxHeight = PixelSize(o.MaxHeightImage());
    thumbSize = ThumbnailBound(o);
  }
  JpegCodec codec;
  for (std::size_t i = 0; i < imageFiles_.size(); ++i) {
    PlannedPhoto photo;
    photo.Path = imageFiles_[i];
    photo.ImagesWritten = i < std::size_t(elementsCount_);
    if (photo.ImagesWritten) {
      desktop_.ProcessPendingEvents();
      if (c_->Search.Cancelled) {
        outcome_ = RunOutcome::Cancelled;
        return;
      }
      // The writers size the upright photo, which the header and orientation tell.
      try {
        codec.Inspect(photo.Path);
        int width = 0;
        int height = 0;
        UprightSize(codec.Orientation(), codec.StoredWidth(), codec.StoredHeight(), width, height);
        photo.Scaled = ScaledImageSize(width, height, maxWidth, maxHeight);
        photo.Thumbnail = ThumbnailSize(width, height, thumbSize, thumbSize);
      } catch (const Error& e) {
        photo.Problem = e.what();
      }
    }
    plan.Photos.push_back(std::move(photo));
  }
  if (update_) PlanUpdate();
  if (outcome_ == RunOutcome::Cancelled) return;
  outcome_ = RunOutcome::Finished;
}

const PhotoIdentity& GenerationRun::PhotoOf(std::size_t i) {
  if (photos_.size() < imageFiles_.size()) photos_.resize(imageFiles_.size());
  if (!photos_[i]) photos_[i] = update_->Observe(imageFiles_[i]);
  return *photos_[i];
}

bool GenerationRun::DecideCopies() {
  tcopy_file& copy = c_->Copy;
  copy.Actions.clear();
  for (int i = 0; i < elementsCount_; ++i) {
    desktop_.ProcessPendingEvents();
    if (copy.Cancelled) return false;
    copy.Actions.push_back(update_->DecideCopy(PhotoOf(std::size_t(i))));
  }
  return true;
}

bool GenerationRun::DecideImages(const std::string& scaledRecipe, const std::string& thumbRecipe) {
  scaledRecipe_ = scaledRecipe;
  thumbRecipe_ = thumbRecipe;
  needs_.clear();
  int upToDate = 0;
  const std::vector<OriginalCopy>& copies = c_->Copy.Actions;
  for (int i = 0; i < elementsCount_; ++i) {
    desktop_.ProcessPendingEvents();
    if (c_->Scaling.Cancelled) return false;
    const std::size_t k = std::size_t(i);
    needs_.push_back(update_->DecideImages(PhotoOf(k), scaledRecipe, thumbRecipe));
    const bool copied = options_->CopyOrgSizedImages() && k < copies.size() && copies[k] != OriginalCopy::Skip;
    if (!needs_.back().ScaledImage && !needs_.back().Thumbnail && !copied) ++upToDate;
  }
  if (lastUpdate_) lastUpdate_->UpToDate = upToDate;
  view_.ShowImagesUpToDate(upToDate, elementsCount_);
  return true;
}

void GenerationRun::PlanUpdate() {
  const GallerySettings& o = *options_;
  RunPlan& plan = *plan_;
  plan.Updates = true;
  plan.Update.StateFound = update_->HadState();
  // Every page and image a full run leaves, and the additional elements.
  const std::string ext = NormalizedExtension(o.WebSiteExtension());
  for (int k = 1; k <= thumbPageCount_; ++k) update_->Want(PageFileName(o.ThumbPagesName(), k, ext));
  for (int j = 1; j <= imageCount_; ++j) update_->Want(PageFileName(o.ImagePagesName(), j, ext));
  if (elementsCount_ > 0) {
    if (!o.AdditionalPath().empty()) Copy_additional_elements(o, desktop_, *update_);
    tscaling_file& scaling = c_->Scaling;
    tthumb_file& thumbs = c_->Thumbs;
    ConfigureScaledImageWriter(scaling, o, imageFiles_, elementsCount_, Jobs);
    ConfigureThumbnailWriter(thumbs, o, imageFiles_, elementsCount_, Jobs, ThumbnailBound(o));
    const std::string scaledRecipe = OutputRecipe(scaling.CurrentSettings(), "n_");
    const std::string thumbRecipe = OutputRecipe(thumbs.CurrentSettings(), "t_");
    for (int i = 0; i < elementsCount_; ++i) {
      desktop_.ProcessPendingEvents();
      if (c_->Search.Cancelled) {
        outcome_ = RunOutcome::Cancelled;
        return;
      }
      PlannedPhoto& photo = plan.Photos[std::size_t(i)];
      const PhotoIdentity& identity = PhotoOf(std::size_t(i));
      photo.RedoCopy = o.CopyOrgSizedImages() && update_->DecideCopy(identity) != OriginalCopy::Skip;
      const PhotoNeeds needs = update_->DecideImages(identity, scaledRecipe, thumbRecipe);
      photo.RedoScaled = needs.ScaledImage;
      photo.RedoThumbnail = needs.Thumbnail;
      if (!photo.RedoScaled && !photo.RedoThumbnail && !photo.RedoCopy) ++plan.Update.UpToDate;
    }
  }
  plan.Update.Deleted = update_->Unwanted();
}

void GenerationRun::SetBarMaximum(RunBar bar, int maximum) {
  barMaximum_[std::size_t(bar)] = maximum;
  view_.SetBarMaximum(bar, maximum);
}

void GenerationRun::MoveBar(RunBar bar, int position) {
  // The page writer also reports once after the last table, one past the last image.
  view_.SetBarPosition(bar, std::clamp(position, 0, barMaximum_[std::size_t(bar)]));
}

void GenerationRun::RunImageStage(const std::function<void()>& stage) {
  // The writers report their images in order and stop at the first failure,
  // so the failing image is the one after the last reported.
  nextImage_ = 0;
  try {
    stage();
  } catch (...) {
    if (nextImage_ >= 0 && std::size_t(nextImage_) < imageFiles_.size())
      failedImage_ = imageFiles_[std::size_t(nextImage_)];
    throw;
  }
}

}  // namespace fotoloom
