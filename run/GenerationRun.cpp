// The generation run: folder checks, search, order, and the stages that write the gallery one after another.
#include "run/GenerationRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <limits>
#include <optional>
#include <set>
#include <unordered_map>

#include "core/AlbumTree.h"
#include "core/Error.h"
#include "core/FolderCheck.h"
#include "core/FolderLock.h"
#include "core/ImageOrdering.h"
#include "core/OutputNames.h"
#include "core/PhotoFormats.h"
#include "core/ScopeExit.h"
#include "core/SettingsCheck.h"
#include "core/TemporaryFiles.h"
#include "imaging/ImageStages.h"
#include "imaging/JpegCodec.h"
#include "imaging/LocationFreeCopy.h"
#include "imaging/Orientation.h"
#include "imaging/OutputName.h"
#include "imaging/OutputRecipe.h"
#include "imaging/PhotoDecoders.h"
#include "imaging/PhotoZip.h"
#include "imaging/Un_Copy_File.h"
#include "pages/PageNames.h"
#include "pages/ZipMacros.h"
#include "run/GalleryAlbums.h"
#include "run/MetadataStage.h"
#include "run/OutputFolder.h"
#include "run/PageImageSizes.h"
#include "run/RunOptions.h"

namespace fotoloom {

// The five run components, which all read one cancel flag.
struct GenerationRun::Components {
  bool Cancelled = false;
  TMyFindFile Search{Cancelled};
  AlbumSearch Albums{Cancelled};  // the subfolders, when they are albums
  timage_page Pages{Cancelled};
  tcopy_file Copy{Cancelled};
  tscaling_file Scaling{Cancelled};
  tthumb_file Thumbs{Cancelled};
  // Drives the two image writers from one decode per photo.
  ImageStages Stages{Scaling, Thumbs};
};

// What the stages of one run share, from its start to its end. A stage of a
// coming feature keeps what it finds for the later stages here.
struct GenerationRun::Context {
  Context(const GallerySettings& settings, RunPlan* plan) : Options(settings), Plan(plan) {}

  const GallerySettings Options;          // the record as the run read it when it started
  RunPlan* const Plan;                    // set in a dry run, which fills it instead of writing
  FolderLock Lock;                        // the output folder's, while a writing run goes
  std::unique_ptr<GalleryUpdate> Update;  // set in an update
  std::vector<Album> Albums;              // the top album alone, unless subfolders are albums
  GalleryLayout Layout;                   // the photos of every album in gallery order
  MetadataUse Uses;                       // what the run uses of the photos' metadata
  // What was read of each photo, by its path, read once per photo when used.
  // Keyed by path, so that it stays with its photo however albums order or
  // leave out their photos.
  std::unordered_map<std::string, PhotoMetadata> Metadata;
  std::vector<ImageSizes> Sizes;  // the sizes of the photos' images in ImageFiles' order, when the pages show them
  Grid PageGrid;
  UpdateDecisions Decisions;            // an update's, for the photos whose images the run writes
  std::set<std::string> Warned;         // the warnings shown
  std::set<std::string> DamagedPhotos;  // warned about once, whichever stage read them
};

namespace {

// What was read of the photo at path; nothing for a photo that was not read.
const PhotoMetadata& MetadataOf(const std::unordered_map<std::string, PhotoMetadata>& read, const std::string& path) {
  static const PhotoMetadata kNone;
  const auto it = read.find(path);
  return it == read.end() ? kNone : it->second;
}

// How the run makes the full-size JPEG of a photo of another format.
FullSizeSettings FullSizeOf(const GallerySettings& o) { return {o.QualityImages(), BackgroundOf(o)}; }

// The name of an album's ZIP, relative to the output folder ("2024/photos.zip").
std::string ZipNameOf(const GalleryAlbum& album) { return NameInSubfolder(album.Subfolder, std::string(kZipFileName)); }

bool IsFolder(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder that holds path's last level ("." when path has only one level).
std::string ParentOf(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
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
  c_->Search.OnSearchDone = [this](TMyFindFile& sender) {
    if (run_->Plan)
      Plan_gallery();
    else
      Create_gallery(sender);
  };
  c_->Albums.OnFileFound = [this](TMyFindFile&, const std::string&, const FoundFile&, bool&) {
    Add_found_album_image();
  };
  c_->Albums.OnWarning = [this](const std::string& text) { view_.ShowWarning(text); };
  c_->Pages.OnProgress = [this](timage_page&, int imageIndex, int pageIndex, bool&) {
    desktop_.ProcessPendingEvents();
    // The page writer also reports once after the last table, one past the last image.
    MoveBar(RunBar::ImagePages, albumPhotoOffset_ + std::min(imageIndex + 1, albumPhotos_));
    MoveBar(RunBar::ThumbnailPages, albumPageOffset_ + pageIndex + 1);
  };
  c_->Copy.OnProgress = [this](tcopy_file& copy, int index, bool&) {
    const std::size_t i = static_cast<std::size_t>(index);
    const std::vector<PhotoDecision>& decided = run_->Decisions.Photos;
    const GalleryLayout& layout = run_->Layout;
    if (run_->Update && i < copy.Made.size() && copy.Made[i] && i < decided.size())
      run_->Update->Written(
          NameInSubfolder(layout.ElementSubfolders[i], ImageFileName("b_", FileNameOf(layout.ElementFiles[i]))),
          decided[i].Photo, decided[i].CopyRecipe);
    desktop_.ProcessPendingEvents();
    MoveBar(RunBar::Originals, index + 1);
  };
  c_->Scaling.OnProgress = [this](ImageWriter&, int index, bool& cancelled) {
    ImageWritten(RunBar::ScaledImages, index, cancelled);
  };
  c_->Thumbs.OnProgress = [this](ImageWriter&, int index, bool& cancelled) {
    ImageWritten(RunBar::Thumbnails, index, cancelled);
  };
  const auto working = [this](ImageWriter&, bool&) { desktop_.ProcessPendingEvents(); };
  c_->Scaling.OnWorking = working;
  c_->Thumbs.OnWorking = working;
  c_->Copy.OnWorking = [this](tcopy_file&, bool&) { desktop_.ProcessPendingEvents(); };
  const auto warn = [this](auto&, int, const std::string& text) { Warn(text); };
  c_->Scaling.OnWarning = warn;
  c_->Thumbs.OnWarning = warn;
  c_->Copy.OnWarning = warn;
  const auto damaged = [this](ImageWriter&, int index, const std::string& damage) { PhotoDamaged(index, damage); };
  c_->Scaling.OnDamaged = damaged;
  c_->Thumbs.OnDamaged = damaged;
}

GenerationRun::~GenerationRun() = default;

void GenerationRun::Cancel() { c_->Cancelled = true; }

RunOutcome GenerationRun::Start() { return Go(nullptr); }

RunOutcome GenerationRun::Plan(RunPlan& plan) { return Go(&plan); }

RunOutcome GenerationRun::Go(RunPlan* plan) {
  if (running_) throw Error("A gallery is being generated already");
  running_ = true;
  // Whatever way the run is left, it is idle afterwards and holds no list.
  const ScopeExit idle([this] { EndRun(); });
  run_ = std::make_unique<Context>(settings_, plan);
  if (plan) *plan = RunPlan{};
  outcome_ = RunOutcome::NotStarted;
  failedImage_.clear();
  leftOut_.clear();
  entries_.clear();
  albumPhotosFound_ = 0;
  imageCount_ = elementsCount_ = thumbPageCount_ = 0;
  searchStarted_ = std::chrono::steady_clock::now();
  lastUpdate_.reset();
  if (!CheckFolders()) return outcome_;
  RefuseBadOptions();
  if (!MakeOutputFolder() || !LockOutputFolder()) return outcome_;
  const GallerySettings& o = run_->Options;
  // Temporary and spill files of a Fotoloom process that was killed; a dry
  // run removes nothing.
  if (!plan) RemoveLeftoverFiles(o.OutputPath());
  if (o.UpdateOnlyChanged()) {
    StartUpdate();
    if (!plan) lastUpdate_.emplace();
  }
  // The time the user took to answer a question does not count.
  searchStarted_ = std::chrono::steady_clock::now();

  c_->Cancelled = false;
  TMyFindFile& search = c_->Search;
  search.SearchFolder = o.InputPath();
  search.Mask = PhotoSearchMask(o.OtherFormats());
  search.Search();  // ends in Create_gallery or Plan_gallery
  return outcome_;
}

bool GenerationRun::CheckFolders() {
  const GallerySettings& o = run_->Options;
  // A missing input folder, or folders where the gallery would overwrite
  // or delete the photos.
  const FolderFault fault = CheckRunFolders(o.InputPath(), o.OutputPath());
  if (fault == FolderFault::None) return true;
  desktop_.ShowMessage(Desktop::Icon::Warning, FolderFaultMessage(fault, o.InputPath(), o.OutputPath()));
  view_.Return_to_first_page();
  return false;
}

void GenerationRun::RefuseBadOptions() {
  const GallerySettings& o = run_->Options;
  std::optional<ValueFault> fault = CheckPageNames(o);
  if (!fault) fault = CheckRunNumbers(o);
  if (fault) throw Error(RunFaultMessage(*fault));
}

bool GenerationRun::MakeOutputFolder() {
  const GallerySettings& o = run_->Options;
  if (IsFolder(o.OutputPath())) return true;
  const std::string question = "Output folder \"" + o.OutputPath() + "\" is not exist. Do you want to create it now ?";
  if (!desktop_.AskYesNo(Desktop::Icon::Warning, question)) {
    view_.Return_to_first_page();
    return false;
  }
  // Only the last level is made; its parent must exist.
  if (RunPlan* plan = run_->Plan) {
    if (const int err = FolderCreationError(o.OutputPath())) throw Error(FolderCreationMessage(o.OutputPath(), err));
    plan->CreatesOutputFolder = true;
  } else if (::mkdir(o.OutputPath().c_str(), 0777) != 0) {
    throw Error(FolderCreationMessage(o.OutputPath(), errno));
  }
  return true;
}

bool GenerationRun::LockOutputFolder() {
  if (run_->Plan) return true;  // a dry run writes nothing
  const std::string& folder = run_->Options.OutputPath();
  // Where no lock can be taken at all (a folder that cannot be opened for
  // reading) the run goes on as it always has.
  if (run_->Lock.TryLock(folder) != FolderLock::Result::Busy) return true;
  desktop_.ShowMessage(Desktop::Icon::Warning, FolderBusyMessage(folder));
  outcome_ = RunOutcome::Busy;
  return false;
}

void GenerationRun::StartUpdate() {
  Context& run = *run_;
  run.Update = std::make_unique<GalleryUpdate>(run.Options.OutputPath(), run.Plan == nullptr, UpdateNow);
  run.Update->OnWarning = [this](const std::string& text) { view_.ShowWarning(text); };
  const std::string trouble = StateTroubleMessage(run.Update->Trouble());
  if (!trouble.empty()) view_.ShowWarning(trouble);
}

void GenerationRun::EndRun() {
  seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - searchStarted_).count();
  if (run_ && run_->Update && lastUpdate_) {
    lastUpdate_->Written = run_->Update->FilesWritten();
    lastUpdate_->Deleted = run_->Update->FilesDeleted();
  }
  // The update writes its state whole before anything it refers to goes.
  if (run_) run_->Update.reset();
  c_->Stages.Forget();
  run_.reset();
  running_ = false;
}

void GenerationRun::Add_found_image(TMyFindFile& Sender, const std::string& Folder, const FoundFile& File,
                                    bool& /*Cancelled*/) {
  desktop_.ProcessPendingEvents();
  view_.SetInputPathLabel(std::string(kInputPathLabel) + run_->Options.InputPath());
  view_.SetFoundLabel("Found : " + std::to_string(Sender.FileCount));
  entries_.push_back(MakeImageEntry(Folder, File));
}

void GenerationRun::Add_found_album_image() {
  desktop_.ProcessPendingEvents();
  ++albumPhotosFound_;
  view_.SetInputPathLabel(std::string(kInputPathLabel) + run_->Options.InputPath());
  view_.SetFoundLabel("Found : " + std::to_string(c_->Search.FileCount + albumPhotosFound_));
}

void GenerationRun::Create_gallery(TMyFindFile& /*Sender*/) {
  static constexpr Stage kStages[] = {
      &GenerationRun::FindAlbums,        &GenerationRun::ReadMetadata,
      &GenerationRun::OrderPhotos,       &GenerationRun::LeaveOutUnreadablePhotos,
      &GenerationRun::CheckAlbums,       &GenerationRun::MeasurePhotos,
      &GenerationRun::MakeAlbumFolders,  &GenerationRun::WriteZip,
      &GenerationRun::WritePages,        &GenerationRun::DecideUpdate,
      &GenerationRun::CopyOriginals,     &GenerationRun::CopyAdditionalElements,
      &GenerationRun::WriteScaledImages, &GenerationRun::WriteThumbnails,
      &GenerationRun::DeleteUnwanted,
  };
  if (RunStages(kStages)) Finish();
}

void GenerationRun::Plan_gallery() {
  static constexpr Stage kStages[] = {
      &GenerationRun::FindAlbums,   &GenerationRun::ReadMetadata,
      &GenerationRun::OrderPhotos,  &GenerationRun::LeaveOutUnreadablePhotos,
      &GenerationRun::CheckAlbums,  &GenerationRun::PlanPhotos,
      &GenerationRun::DecideUpdate, &GenerationRun::PlanUpdate,
  };
  if (!RunStages(kStages)) return;
  if (!leftOut_.empty()) view_.ShowWarning(LeftOutSummary());
  outcome_ = RunOutcome::Finished;
}

bool GenerationRun::RunStages(std::span<const Stage> stages) {
  for (const Stage stage : stages)
    if (!(this->*stage)()) return false;
  return true;
}

bool GenerationRun::FindAlbums() {
  Context& run = *run_;
  const GallerySettings& o = run.Options;
  Album top;
  top.Photos = entries_;
  top.PhotosInTree = static_cast<std::int64_t>(entries_.size());
  if (!o.IncludeSubfolders()) {
    run.Albums = {std::move(top)};
    return true;
  }
  ResetBars();
  if (!NotCancelled()) return false;
  AlbumSearch& search = c_->Albums;
  search.InputFolder = o.InputPath();
  search.SkipFolder = o.OutputPath();
  search.Mask = PhotoSearchMask(o.OtherFormats());
  run.Albums = search.Search(std::move(top.Photos));
  if (!NotCancelled()) return false;
  std::vector<AlbumSummary> summaries;
  for (const Album& album : run.Albums)
    summaries.push_back({album.Folder, static_cast<std::int64_t>(album.Photos.size()), album.PhotosInTree});
  view_.ShowAlbums(summaries);
  return true;
}

bool GenerationRun::ReadMetadata() {
  Context& run = *run_;
  run.Uses = MetadataUseOf(run.Options);
  if (!run.Uses.Any()) return true;
  // One reading per photo of every album, before the order that may need its date.
  const auto goOn = [this] {
    desktop_.ProcessPendingEvents();
    return !c_->Cancelled;
  };
  for (Album& album : run.Albums) {
    std::vector<PhotoMetadata> read = ReadEntriesMetadata(album.Photos, goOn);
    for (std::size_t i = 0; i < read.size(); ++i)
      run.Metadata.insert_or_assign(ImagePathOf(album.Photos[i]), std::move(read[i]));
    if (!NotCancelled()) return false;
  }
  return true;
}

bool GenerationRun::OrderPhotos() {
  Context& run = *run_;
  ResetBars();
  if (!NotCancelled()) return false;
  const std::int64_t photos = run.Albums.front().PhotosInTree;
  if (photos < 1) {
    desktop_.ShowMessage(Desktop::Icon::Error, "No Images Could be found");
    view_.Return_to_first_page();
    outcome_ = RunOutcome::NoImages;
    return false;
  }
  if (photos > std::numeric_limits<int>::max())
    throw Error("Cannot make a gallery of " + std::to_string(photos) + " photos");
  imageCount_ = static_cast<int>(photos);
  // Two photos of one album whose images would share names ("a.png" beside
  // "a.png.jpg") are refused before anything is written: one's would
  // replace the other's.
  for (const Album& album : run.Albums) {
    std::vector<std::string> names;
    for (const ImageEntry& entry : album.Photos) names.push_back(entry.FileName);
    if (const auto [first, second] = PhotosSharingImageNames(names); !first.empty()) {
      const std::string folder = album.Folder.empty() ? std::string() : album.Folder + "/";
      throw Error("The photos \"" + folder + first + "\" and \"" + folder + second +
                  "\" would both give the images named \"" + folder + ImageFileName("n_", first) +
                  "\"; rename one of them");
    }
  }
  // The grid is checked in full before any page is written.
  run.PageGrid = ReadGrid(run.Options);
  CountPages();
  return true;
}

bool GenerationRun::LeaveOutUnreadablePhotos() {
  Context& run = *run_;
  if (!run.Options.SkipBadPhotos()) return true;
  // Each photo is started as the image stages start it, so what they would
  // stop at is found before any page links to it.
  PhotoDecoders decoders;
  std::set<std::string> unreadable;
  for (const std::string& photo : run.Layout.ImageFiles) {
    desktop_.ProcessPendingEvents();
    if (!NotCancelled()) return false;
    try {
      PhotoDecoder& decoder = decoders.For(photo, run.Options.OtherFormats());
      decoder.Grayscale = run.Options.isgrayscale();
      // A large photo takes a while to start (a HEIF picture is decoded whole).
      decoder.OnBusy = [this] { desktop_.ProcessPendingEvents(); };
      decoder.Probe(photo);
    } catch (const Error& e) {
      unreadable.insert(photo);
      leftOut_.push_back(photo);
      view_.ShowWarning(photo + " is left out: it cannot be read: " + e.what());
      if (run.Plan) run.Plan->LeftOut.push_back({photo, e.what()});
    }
  }
  if (unreadable.empty()) return true;
  // An album left without photos goes with them; what was read of a photo
  // stays keyed by its path, so the others keep their own.
  run.Albums = WithoutPhotos(run.Albums, unreadable);
  imageCount_ = static_cast<int>(run.Albums.front().PhotosInTree);
  if (imageCount_ < 1) {
    view_.ShowWarning(LeftOutSummary());
    desktop_.ShowMessage(Desktop::Icon::Error, "No Images Could be found");
    view_.Return_to_first_page();
    outcome_ = RunOutcome::NoImages;
    return false;
  }
  CountPages();
  return true;
}

bool GenerationRun::CheckAlbums() {
  const Context& run = *run_;
  if (run.Options.IncludeSubfolders()) CheckAlbumFolders(run.Layout, run.Albums, run.Options);
  return true;
}

void GenerationRun::CountPages() {
  Context& run = *run_;
  run.Layout = LayOutAlbums(run.Albums, run.Options.SortingMethodIndex(), run.PageGrid, run.Options.ElementsMode(),
                            run.Uses.Dates);
  thumbPageCount_ = run.Layout.ThumbPages;
  elementsCount_ = run.Layout.ElementsCount();
}

std::string GenerationRun::LeftOutSummary() const {
  const std::size_t n = leftOut_.size();
  return n == 1 ? "1 photo was left out: it cannot be read"
                : std::to_string(n) + " photos were left out: they cannot be read";
}

void GenerationRun::PhotoDamaged(int index, const std::string& damage) {
  // The image writers count the photos whose images they write.
  const std::vector<std::string>& photos = run_->Layout.ElementFiles;
  if (index < 0 || std::size_t(index) >= photos.size()) return;
  const std::string& photo = photos[std::size_t(index)];
  if (run_->DamagedPhotos.insert(photo).second) view_.ShowWarning(photo + " is damaged: " + damage);
}

bool GenerationRun::MeasurePhotos() {
  Context& run = *run_;
  if (!PagesUseImageSizes(run.Options)) return true;
  run.Sizes = PageImageSizes(run.Layout.ImageFiles, run.Options, [this] {
    desktop_.ProcessPendingEvents();
    return !c_->Cancelled;
  });
  return NotCancelled();
}

bool GenerationRun::WritePages() {
  Context& run = *run_;
  SetBarMaximum(RunBar::ThumbnailPages, thumbPageCount_);
  SetBarMaximum(RunBar::ImagePages, imageCount_);
  timage_page& pages = c_->Pages;
  albumPageOffset_ = albumPhotoOffset_ = 0;
  // One album after another, each into its own folder.
  for (const GalleryAlbum& album : run.Layout.Albums) {
    if (!NotCancelled()) return false;
    const std::vector<std::string> photos = AlbumPhotos(album);
    ConfigurePageWriter(pages, run.Options, photos, album.PhotoCount, run.PageGrid);
    // Each page shows the texts of its own photo, in the album's order.
    std::vector<PhotoTexts> texts;
    if (run.Uses.Texts)
      for (const std::string& photo : photos) texts.push_back(PageTextsOf(MetadataOf(run.Metadata, photo)));
    pages.SetPhotoTexts(std::move(texts));
    if (!run.Sizes.empty()) {
      const auto sizes = run.Sizes.begin() + album.FirstPhoto;
      pages.SetImageSizes({sizes, sizes + album.PhotoCount});
    } else {
      pages.SetImageSizes({});
    }
    SetZipMacros(pages, album);
    pages.OutputPath = AlbumFolderPath(album.Subfolder);
    pages.Album = album.Pages;
    if (!run.Sizes.empty())
      for (std::size_t i = 0; i < album.CoverPhotos.size(); ++i)
        pages.Album.SubAlbums[i].CoverSizes = run.Sizes[std::size_t(album.CoverPhotos[i])];
    pages.PageOutput = nullptr;
    if (GalleryUpdate* update = run.Update.get())
      pages.PageOutput = [update, &album](const std::string& name, const std::string& text) {
        update->WritePage(NameInSubfolder(album.Subfolder, name), text);
      };
    albumPhotos_ = album.PhotoCount;
    if (!RunUnlessCancelled([&pages] { pages.Create_pages(); })) return false;
    albumPageOffset_ += album.ThumbPages;
    albumPhotoOffset_ += album.PhotoCount;
  }
  return true;
}

bool GenerationRun::WritesZip() const {
  // Like the copies of the originals, a test run of the first page's images
  // or of the pages alone leaves it as it is.
  return run_->Options.Zip() && run_->Options.ElementsMode() == 0;
}

std::string GenerationRun::ZipRecipe() const {
  const GallerySettings& o = run_->Options;
  return PhotoZipRecipe(o.StripLocation(), FullSizeOf(o));
}

bool GenerationRun::WriteZip() {
  Context& run = *run_;
  if (!run.Options.Zip()) return true;
  // One ZIP in each album's folder, of the album's own photos; the bar
  // counts over all of them.
  int done = 0;
  for (const GalleryAlbum& album : run.Layout.Albums) {
    if (!HasZip(album)) continue;
    if (!WriteAlbumZip(album, done)) return false;
    done += album.PhotoCount;
  }
  return NotCancelled();
}

std::vector<std::string> GenerationRun::AlbumPhotos(const GalleryAlbum& album) const {
  const auto first = run_->Layout.ImageFiles.begin() + album.FirstPhoto;
  return {first, first + album.PhotoCount};
}

bool GenerationRun::WriteAlbumZip(const GalleryAlbum& album, int done) {
  Context& run = *run_;
  const GallerySettings& o = run.Options;
  const std::string name = ZipNameOf(album);
  if (run.Update) run.Update->Want(name);
  if (!WritesZip() || !NotCancelled()) return NotCancelled();
  const std::vector<std::string> photos = AlbumPhotos(album);
  ZipDecision decision;
  if (run.Update) {
    decision = run.Update->DecideZip(name, photos, ZipRecipe());
    if (!decision.Write) return true;
  }
  // The ZIP is made before the pages, which show its size; its progress is
  // the originals' bar, which the copies of the originals fill again later.
  SetBarMaximum(RunBar::Originals, run.Layout.PhotoCount());
  auto lastPump = std::chrono::steady_clock::now();
  PhotoZipHooks hooks;
  hooks.OnEntry = [this, done](int index) {
    desktop_.ProcessPendingEvents();
    MoveBar(RunBar::Originals, done + index);
  };
  hooks.OnBusy = [this, &lastPump] {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPump < std::chrono::milliseconds(10)) return;
    lastPump = now;
    desktop_.ProcessPendingEvents();
  };
  hooks.Cancelled = [this] { return c_->Cancelled; };
  const bool written = WritePhotoZip(AlbumZipPath(album), ZipPhotosOf(photos, o.StripLocation()), FullSizeOf(o), hooks);
  if (!written) return NotCancelled();
  MoveBar(RunBar::Originals, done + album.PhotoCount);
  if (run.Update) run.Update->Written(name, PhotoIdentity{}, decision.Recipe);
  return NotCancelled();
}

bool GenerationRun::HasZip(const GalleryAlbum& album) const {
  // An album without photos of its own has no ZIP: one left there from
  // when it had some is deleted by an update, so it is never offered.
  return run_->Options.Zip() && album.PhotoCount > 0;
}

std::string GenerationRun::AlbumZipPath(const GalleryAlbum& album) const {
  return OutputPathOf(AlbumFolderPath(album.Subfolder), kZipFileName);
}

void GenerationRun::SetZipMacros(timage_page& pages, const GalleryAlbum& album) const {
  pages.ZipName.clear();
  pages.ZipSize.clear();
  if (!HasZip(album)) return;
  // The album's ZIP there, written now or by an earlier run; none, none linked.
  struct stat st {};
  if (::stat(AlbumZipPath(album).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  pages.ZipName = std::string(kZipFileName);
  pages.ZipSize = ZipSizeText(static_cast<std::uint64_t>(st.st_size));
}

bool GenerationRun::DecideUpdate() {
  Context& run = *run_;
  if (!run.Update || !WritesImages()) return true;
  run.Update->Companions = ExtraImagesOf(run.Options);
  SetImageRecipes(run.Decisions);
  const bool copies = run.Options.CopyOrgSizedImages();
  const std::string fullSize = FullSizeRecipe(run.Options.QualityImages(), BackgroundOf(run.Options));
  const std::string jpegCopy = run.Options.StripLocation() ? LocationFreeCopyRecipe() : "copy";
  for (int i = 0; i < elementsCount_; ++i) {
    desktop_.ProcessPendingEvents();
    if (!NotCancelled()) return false;
    const std::string& path = run.Layout.ElementFiles[std::size_t(i)];
    const std::string name = FileNameOf(path);
    // The recipes of this photo's files; an empty one is made again.
    const std::string copy = !copies ? std::string() : FormatOfName(name) != PhotoFormat::Jpeg ? fullSize : jpegCopy;
    const std::string scaled =
        run.Decisions.ScaledRecipe.empty() ? std::string() : OutputRecipeOf(c_->Scaling.CurrentSettings(), "n_", name);
    const std::string thumb = run.Decisions.ThumbRecipe.empty()
                                  ? std::string()
                                  : WithSharpThumbnail(OutputRecipeOf(c_->Thumbs.CurrentSettings(), "t_", name));
    run.Decisions.Photos.push_back(
        run.Update->DecidePhoto(path, run.Layout.ElementSubfolders[std::size_t(i)], copy, scaled, thumb));
  }
  if (lastUpdate_) lastUpdate_->UpToDate = run.Decisions.UpToDate();
  return true;
}

bool GenerationRun::CopyOriginals() {
  Context& run = *run_;
  if (!WritesImages() || !run.Options.CopyOrgSizedImages()) return true;
  SetBarMaximum(RunBar::Originals, elementsCount_);
  tcopy_file& copy = c_->Copy;
  copy.ImageFiles = run.Layout.ElementFiles;
  copy.Subfolders = run.Layout.ElementSubfolders;
  copy.ImageCount = elementsCount_;
  copy.OutputPath = run.Options.OutputPath();
  copy.Actions = run.Decisions.CopyActions();  // none without an update: every photo is copied unless present
  copy.Quality = run.Options.QualityImages();
  copy.Background = BackgroundOf(run.Options);
  copy.StripLocation = run.Options.StripLocation();
  if (!RunUnlessCancelled([&copy] { copy.Copy_originals(); })) return false;
  TellAboutLocations();
  return true;
}

void GenerationRun::TellAboutLocations() {
  const Context& run = *run_;
  const tcopy_file& copy = c_->Copy;
  if (run.Uses.Locations) {
    int located = 0;
    for (const std::string& photo : run.Layout.ElementFiles)
      if (MetadataOf(run.Metadata, photo).HasLocation) ++located;
    if (const std::string notice = LocationNotice(located, elementsCount_); !notice.empty()) view_.ShowWarning(notice);
  }
  std::vector<std::string> notCopied;
  std::string reason;
  for (std::size_t i = 0; i < copy.Problems.size(); ++i) {
    if (copy.Problems[i].empty()) continue;
    notCopied.push_back(NameInSubfolder(run.Layout.ElementSubfolders[i], FileNameOf(run.Layout.ElementFiles[i])));
    if (reason.empty()) reason = copy.Problems[i];
  }
  if (!notCopied.empty()) view_.ShowWarning(NotCopiedNotice(notCopied, reason));
}

bool GenerationRun::CopyAdditionalElements() {
  Context& run = *run_;
  if (!WritesImages() || run.Options.AdditionalPath().empty()) return true;
  if (run.Update)
    Copy_additional_elements(run.Options, desktop_, *run.Update);
  else
    Copy_additional_elements(run.Options, desktop_);
  return true;  // a cancel meanwhile stops the run where the scaled images would start
}

bool GenerationRun::WriteScaledImages() {
  Context& run = *run_;
  if (!WritesImages()) return true;
  // An update first says how many images are up to date.
  if (!run.Update) SetBarMaximum(RunBar::ScaledImages, elementsCount_);
  const GalleryLayout& layout = run.Layout;
  ConfigureScaledImageWriter(c_->Scaling, run.Options, layout.ElementFiles, layout.ElementSubfolders, elementsCount_,
                             Jobs);
  // The thumbnail writer is set up now too, so that each photo's thumbnail
  // comes from the decode that makes its scaled image. A thumbnail size
  // that is not one is still reported where the thumbnail stage starts,
  // after the scaled images; those thumbnails are not made along.
  const std::optional<int> thumbSize = ThumbnailBoundIfValid(run.Options);
  if (thumbSize)
    ConfigureThumbnailWriter(c_->Thumbs, run.Options, layout.ElementFiles, layout.ElementSubfolders, elementsCount_,
                             Jobs, *thumbSize);
  ImageStages& stages = c_->Stages;
  stages.ThumbnailsAlong = thumbSize.has_value();
  stages.Needs.clear();
  if (run.Update && !c_->Cancelled) {
    stages.Needs = run.Decisions.Needs();
    view_.ShowImagesUpToDate(run.Decisions.UpToDate(), elementsCount_);
  }
  if (run.Update) SetBarMaximum(RunBar::ScaledImages, elementsCount_);
  return RunUnlessCancelled([this] { RunImageStage([this] { c_->Stages.Create_images(); }); });
}

bool GenerationRun::WriteThumbnails() {
  Context& run = *run_;
  if (!WritesImages()) return true;
  SetBarMaximum(RunBar::Thumbnails, elementsCount_);
  ConfigureThumbnailWriter(c_->Thumbs, run.Options, run.Layout.ElementFiles, run.Layout.ElementSubfolders,
                           elementsCount_, Jobs, ThumbnailBound(run.Options));
  return RunUnlessCancelled([this] { RunImageStage([this] { c_->Stages.Create_thumbnails(); }); });
}

bool GenerationRun::DeleteUnwanted() {
  // What the state recorded and a full run would not leave goes last, once
  // everything the full run writes is there.
  if (run_->Update) run_->Update->DeleteUnwanted([this] { desktop_.ProcessPendingEvents(); });
  return true;
}

void GenerationRun::Finish() {
  Context& run = *run_;
  run.Layout = GalleryLayout();
  run.Albums.clear();
  run.Albums.shrink_to_fit();
  if (!leftOut_.empty()) view_.ShowWarning(LeftOutSummary());
  outcome_ = RunOutcome::Finished;
  if (run.Options.AutoBrowserStart()) {
    Open_first_page(run.Options, desktop_);
    view_.CloseMainWindow();
  } else {
    view_.ShowBottomButtons();
  }
}

bool GenerationRun::PlanPhotos() {
  Context& run = *run_;
  const GallerySettings& o = run.Options;
  RunPlan& plan = *run.Plan;
  plan.ThumbPageCount = thumbPageCount_;
  plan.ImagePageCount = imageCount_;
  plan.ElementsCount = elementsCount_;
  plan.CopiesOriginals = elementsCount_ > 0 && o.CopyOrgSizedImages();
  plan.CopiesAdditionalElements = WritesImages() && !o.AdditionalPath().empty();
  plan.SharpThumbnails = o.Thumbnails2x();
  plan.WebP = o.WebP();
  plan.WritesZip = WritesZip();
  plan.ZipStripsLocation = o.StripLocation();
  // The bounds raise here what the image stages would raise.
  int maxWidth = 0;
  int maxHeight = 0;
  int thumbSize = 0;
  ResizeSettings sharp;  // the bounds of the "t2_" thumbnail
  if (elementsCount_ > 0) {
    maxWidth = PixelSize(o.MaxWidthImage());
    maxHeight = PixelSize(o.MaxHeightImage());
    thumbSize = ThumbnailBound(o);
    tthumb_file thumbs;
    thumbs.MaxWidth = thumbs.MaxHeight = thumbSize;
    sharp = thumbs.SharpSettings();
  }
  if (o.IncludeSubfolders())
    for (std::size_t a = 0; a < run.Albums.size(); ++a)
      plan.Albums.push_back({run.Albums[a].Folder, run.Layout.Albums[a].PhotoCount, run.Albums[a].PhotosInTree,
                             run.Layout.Albums[a].ThumbPages});
  for (const GalleryAlbum& album : run.Layout.Albums) {
    for (int i = 0; i < album.PhotoCount; ++i) {
      PlannedPhoto photo;
      photo.Path = run.Layout.ImageFiles[std::size_t(album.FirstPhoto + i)];
      photo.Subfolder = album.Subfolder;
      photo.ImagesWritten = i < album.ElementsCount;
      if (run.Uses.Dates || run.Uses.Texts) {
        const PhotoMetadata& read = MetadataOf(run.Metadata, photo.Path);
        if (run.Uses.Dates) photo.DateUsed = DateUsedText(read);
        if (run.Uses.Texts) photo.CaptionFrom = std::string(CaptionSourceName(read.CaptionFrom));
      }
      if (photo.ImagesWritten) {
        desktop_.ProcessPendingEvents();
        if (!NotCancelled()) return false;
        // The writers size the upright photo, which the header and orientation tell.
        try {
          const PhotoHeader header = InspectPhoto(photo.Path, o.OtherFormats());
          photo.Scaled = ScaledImageSize(header.Width, header.Height, maxWidth, maxHeight);
          photo.Thumbnail = ThumbnailSize(header.Width, header.Height, thumbSize, thumbSize);
          if (o.Thumbnails2x())
            photo.SharpThumbnail = ThumbnailSize(header.Width, header.Height, sharp.MaxWidth, sharp.MaxHeight);
        } catch (const Error& e) {
          photo.Problem = e.what();
        }
      }
      plan.Photos.push_back(std::move(photo));
    }
  }
  return true;
}

bool GenerationRun::PlanUpdate() {
  Context& run = *run_;
  if (!run.Update) return true;
  const GallerySettings& o = run.Options;
  RunPlan& plan = *run.Plan;
  plan.Updates = true;
  plan.Update.StateFound = run.Update->HadState();
  // Every album folder, page and image a full run leaves, and the additional elements.
  const std::string ext = NormalizedExtension(o.WebSiteExtension());
  for (const GalleryAlbum& album : run.Layout.Albums) {
    if (!album.Subfolder.empty()) run.Update->Want(album.Subfolder);
    for (int k = 1; k <= album.ThumbPages; ++k)
      run.Update->Want(NameInSubfolder(album.Subfolder, PageFileName(o.ThumbPagesName(), k, ext)));
    for (int j = 1; j <= album.PhotoCount; ++j)
      run.Update->Want(NameInSubfolder(album.Subfolder, PageFileName(o.ImagePagesName(), j, ext)));
  }
  if (WritesImages() && !o.AdditionalPath().empty()) Copy_additional_elements(o, desktop_, *run.Update);
  plan.Update.ZipWritten = false;
  for (const GalleryAlbum& album : run.Layout.Albums) {
    if (!HasZip(album)) continue;
    const std::string zip = ZipNameOf(album);
    run.Update->Want(zip);
    if (WritesZip()) plan.Update.ZipWritten |= run.Update->DecideZip(zip, AlbumPhotos(album), ZipRecipe()).Write;
  }
  for (std::size_t i = 0; i < run.Decisions.Photos.size(); ++i) {
    const PhotoDecision& decided = run.Decisions.Photos[i];
    PlannedPhoto& photo = plan.Photos[std::size_t(run.Layout.ElementPhotos[i])];
    photo.RedoCopy = decided.Copy != OriginalCopy::Skip;
    photo.RedoScaled = decided.Images.ScaledImage;
    photo.RedoThumbnail = decided.Images.Thumbnail;
  }
  plan.Update.UpToDate = run.Decisions.UpToDate();
  plan.Update.Deleted = run.Update->Unwanted();
  return true;
}

bool GenerationRun::NotCancelled() {
  if (!c_->Cancelled) return true;
  outcome_ = RunOutcome::Cancelled;
  return false;
}

bool GenerationRun::WritesImages() const { return run_->Options.ElementsMode() != 2; }

void GenerationRun::ResetBars() {
  for (RunBar bar : kRunBars) view_.SetBarPosition(bar, 0);
}

std::string GenerationRun::AlbumFolderPath(const std::string& subfolder) const {
  const std::string& out = run_->Options.OutputPath();
  if (subfolder.empty()) return out;
  return OutputPathOf(out, subfolder, NameShape::Nested);
}

bool GenerationRun::MakeAlbumFolders() {
  // In tree order, so that a folder of sub-albums only is there before theirs.
  for (const GalleryAlbum& album : run_->Layout.Albums)
    if (!album.Subfolder.empty()) MakeAlbumFolder(album.Subfolder);
  return NotCancelled();
}

void GenerationRun::MakeAlbumFolder(const std::string& subfolder) {
  const std::string path = AlbumFolderPath(subfolder);
  if (run_->Update)
    run_->Update->MakeAlbumFolder(path);
  else
    ::mkdir(path.c_str(), 0777);
  // Pages and images go into a folder of the output folder, never through a link out of it.
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0)
    throw Error("Cannot create the folder \"" + path + "\". " + std::strerror(errno));
  if (S_ISLNK(st.st_mode))
    throw Error("Cannot write the album into \"" + path + "\": it is a symbolic link, not a folder.");
  if (!S_ISDIR(st.st_mode)) throw Error("Cannot create the folder \"" + path + "\". " + std::strerror(EEXIST));
  RemoveLeftoverFiles(path);
}

bool GenerationRun::RunUnlessCancelled(const std::function<void()>& writer) {
  if (!NotCancelled()) return false;
  writer();
  return NotCancelled();
}

void GenerationRun::RunImageStage(const std::function<void()>& stage) {
  // The writers report their images in order and stop at the first failure,
  // so the failing image is the one after the last reported.
  nextImage_ = 0;
  try {
    stage();
  } catch (...) {
    const std::vector<std::string>& files = run_->Layout.ElementFiles;
    if (nextImage_ >= 0 && std::size_t(nextImage_) < files.size()) failedImage_ = files[std::size_t(nextImage_)];
    throw;
  }
}

void GenerationRun::ImageWritten(RunBar bar, int index, bool cancelled) {
  // A file an update wrote is recorded before the pump, and only when no
  // cancel came before it: a cancel may have cut its stretch short.
  const std::size_t i = static_cast<std::size_t>(index);
  const UpdateDecisions& decided = run_->Decisions;
  if (run_->Update && !cancelled && i < decided.Photos.size()) {
    const bool scaled = bar == RunBar::ScaledImages;
    const PhotoDecision& photo = decided.Photos[i];
    const GalleryLayout& layout = run_->Layout;
    if (scaled ? photo.Images.ScaledImage : photo.Images.Thumbnail) {
      GalleryUpdate& update = *run_->Update;
      const std::string file = FileNameOf(layout.ElementFiles[i]);
      for (const std::string& name : scaled ? update.ScaledImageNames(file) : update.ThumbnailNames(file))
        update.Written(NameInSubfolder(layout.ElementSubfolders[i], name), photo.Photo,
                       scaled ? photo.ScaledRecipe : photo.ThumbRecipe);
    }
  }
  desktop_.ProcessPendingEvents();
  nextImage_ = index + 1;
  MoveBar(bar, index + 1);
}

void GenerationRun::SetImageRecipes(UpdateDecisions& decisions) {
  // A size that is not one raises where its stage starts, as without the
  // update; its files count as to be made again till then.
  const Context& run = *run_;
  decisions.ScaledRecipe.clear();
  decisions.ThumbRecipe.clear();
  const GalleryLayout& layout = run.Layout;
  try {
    ConfigureScaledImageWriter(c_->Scaling, run.Options, layout.ElementFiles, layout.ElementSubfolders, elementsCount_,
                               Jobs);
    decisions.ScaledRecipe = OutputRecipe(c_->Scaling.CurrentSettings(), "n_");
  } catch (const Error&) {
  }
  if (const std::optional<int> thumbSize = ThumbnailBoundIfValid(run.Options)) {
    ConfigureThumbnailWriter(c_->Thumbs, run.Options, layout.ElementFiles, layout.ElementSubfolders, elementsCount_,
                             Jobs, *thumbSize);
    decisions.ThumbRecipe = WithSharpThumbnail(OutputRecipe(c_->Thumbs.CurrentSettings(), "t_"));
  }
}

std::string GenerationRun::WithSharpThumbnail(std::string thumbRecipe) const {
  // The "t2_" file is made with the "t_" file: one recipe stands for both.
  if (run_->Options.Thumbnails2x()) thumbRecipe += " with t2_";
  return thumbRecipe;
}

void GenerationRun::Warn(const std::string& text) {
  // Both image stages and the copy may read one photo: its warning shows once.
  if (run_ && run_->Warned.insert(text).second) view_.ShowWarning(text);
}

void GenerationRun::SetBarMaximum(RunBar bar, int maximum) {
  barMaximum_[std::size_t(bar)] = maximum;
  view_.SetBarMaximum(bar, maximum);
}

void GenerationRun::MoveBar(RunBar bar, int position) {
  // The page writer also reports once after the last table, one past the last image.
  view_.SetBarPosition(bar, std::clamp(position, 0, barMaximum_[std::size_t(bar)]));
}

}  // namespace fotoloom
