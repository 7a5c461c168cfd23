// The ZIP of all originals over libzip: the only file that talks to the library.
#include "imaging/PhotoZip.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "core/Error.h"
#include "core/PhotoFormats.h"
#include "core/TemporaryFiles.h"
#include "core/TextFile.h"
#include "imaging/LocationFreeCopy.h"
#include "imaging/OutputName.h"
#include "imaging/OutputRecipe.h"
#include "imaging/PhotoMetadata.h"

namespace fotoloom {

namespace {

// Unix attributes of every entry: a regular file readable by all.
constexpr zip_uint32_t kEntryAttributes = (0100644u) << 16;

// One entry's bytes, made when the library opens the entry and dropped when
// it closes it, so that one photo at a time is held in memory.
struct EntrySource {
  const ZipPhoto* Photo = nullptr;
  int Index = 0;
  const FullSizeSettings* FullSize = nullptr;
  const PhotoZipHooks* Hooks = nullptr;
  std::string Bytes;
  bool Made = false;
  std::size_t Offset = 0;
  zip_error_t ZipError{};
  std::string* Problem = nullptr;  // the first failure's words, for the message
  bool* Cancelled = nullptr;
};

// Makes the entry's bytes; false with the problem noted when it cannot.
bool MakeBytes(EntrySource& e) {
  if (e.Made) return true;
  const ZipPhoto& photo = *e.Photo;
  try {
    if (photo.Content == ZipContent::FullSizeJpeg) {
      std::vector<std::string> warnings;
      MakeFullSizeJpeg(photo.Path, *e.FullSize, e.Hooks->OnBusy, e.Bytes, warnings);
    } else {
      std::optional<std::string> bytes = ReadRegularFile(photo.Path, LinkAtPath::Follow);
      if (!bytes) throw Error("cannot read it");
      if (photo.Content == ZipContent::WithoutLocation)
        if (std::optional<std::string> clean = WithoutLocation(*bytes)) bytes = std::move(clean);
      e.Bytes = std::move(*bytes);
    }
  } catch (const std::exception& error) {
    if (e.Problem->empty()) *e.Problem = photo.Path + ": " + error.what();
    zip_error_set(&e.ZipError, ZIP_ER_READ, 0);
    return false;
  }
  e.Made = true;
  e.Offset = 0;
  return true;
}

zip_int64_t EntryCallback(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command) {
  EntrySource& e = *static_cast<EntrySource*>(userdata);
  switch (command) {
    case ZIP_SOURCE_OPEN:
      if (e.Hooks->Cancelled && e.Hooks->Cancelled()) {
        *e.Cancelled = true;
        zip_error_set(&e.ZipError, ZIP_ER_CANCELLED, 0);
        return -1;
      }
      if (e.Hooks->OnEntry) e.Hooks->OnEntry(e.Index);
      if (!MakeBytes(e)) return -1;
      e.Offset = 0;
      return 0;
    case ZIP_SOURCE_READ: {
      if (e.Hooks->OnBusy) e.Hooks->OnBusy();
      const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), e.Bytes.size() - e.Offset);
      std::memcpy(data, e.Bytes.data() + e.Offset, n);
      e.Offset += n;
      return static_cast<zip_int64_t>(n);
    }
    case ZIP_SOURCE_CLOSE:
      e.Bytes.clear();
      e.Bytes.shrink_to_fit();
      e.Made = false;
      return 0;
    case ZIP_SOURCE_STAT: {
      zip_stat_t* st = static_cast<zip_stat_t*>(data);
      zip_stat_init(st);
      // The size goes into the entry's header before its bytes: known, it
      // needs no 64-bit fields for a photo below 4 GiB.
      if (e.Photo->Content == ZipContent::Original) {
        struct stat fileStat {};
        if (::stat(e.Photo->Path.c_str(), &fileStat) != 0) {
          if (e.Problem->empty()) *e.Problem = e.Photo->Path + ": cannot read it";
          zip_error_set(&e.ZipError, ZIP_ER_READ, errno);
          return -1;
        }
        st->size = static_cast<zip_uint64_t>(fileStat.st_size);
      } else {
        if (!MakeBytes(e)) return -1;
        st->size = e.Bytes.size();
      }
      st->comp_size = st->size;
      st->comp_method = ZIP_CM_STORE;
      st->encryption_method = ZIP_EM_NONE;
      st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
      return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR: return zip_error_to_data(&e.ZipError, data, length);
    case ZIP_SOURCE_FREE: return 0;
    case ZIP_SOURCE_SUPPORTS: return ZIP_SOURCE_SUPPORTS_READABLE;
    default: zip_error_set(&e.ZipError, ZIP_ER_OPNOTSUPP, 0); return -1;
  }
}

// The modification time of the file at path; 0 when it cannot be read (the
// entry then fails when it is read).
time_t ModifiedTime(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mtime : 0;
}

}  // namespace

std::string PhotoZipRecipe(bool stripLocation, const FullSizeSettings& fullSize) {
  std::string recipe = "zip " + std::to_string(kPhotoZipVersion) + " libzip " + zip_libzip_version();
  if (stripLocation)
    recipe +=
        " without location: " + LocationFreeCopyRecipe() + ", " + FullSizeRecipe(fullSize.Quality, fullSize.Background);
  return recipe;
}

std::vector<ZipPhoto> ZipPhotosOf(const std::vector<std::string>& photoPaths, bool stripLocation) {
  std::vector<ZipPhoto> photos;
  for (const std::string& path : photoPaths) {
    ZipPhoto photo;
    photo.Path = path;
    photo.EntryName = FileNameOf(path);
    if (stripLocation) {
      if (FormatOfName(photo.EntryName) == PhotoFormat::Jpeg) {
        photo.Content = ZipContent::WithoutLocation;
      } else {
        photo.Content = ZipContent::FullSizeJpeg;
        photo.EntryName = ImageFileName("", photo.EntryName);
      }
    }
    photos.push_back(std::move(photo));
  }
  return photos;
}

bool WritePhotoZip(const std::string& zipPath, const std::vector<ZipPhoto>& photos, const FullSizeSettings& fullSize,
                   const PhotoZipHooks& hooks) {
  const std::string temp = TemporaryPathFor(zipPath);
  const auto fail = [&zipPath](const std::string& reason) { return Error("Cannot write " + zipPath + ": " + reason); };
  ::unlink(temp.c_str());
  int code = 0;
  zip_t* archive = zip_open(temp.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
  if (archive == nullptr) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const std::string reason = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw fail(reason);
  }
  std::string problem;
  bool cancelled = false;
  std::vector<std::unique_ptr<EntrySource>> sources;
  const auto abandon = [&](const std::string& reason) {
    zip_discard(archive);
    ::unlink(temp.c_str());
    return fail(reason);
  };
  for (std::size_t i = 0; i < photos.size(); ++i) {
    auto e = std::make_unique<EntrySource>();
    e->Photo = &photos[i];
    e->Index = static_cast<int>(i);
    e->FullSize = &fullSize;
    e->Hooks = &hooks;
    e->Problem = &problem;
    e->Cancelled = &cancelled;
    zip_error_init(&e->ZipError);
    zip_source_t* source = zip_source_function(archive, EntryCallback, e.get());
    if (source == nullptr) throw abandon(zip_strerror(archive));
    const zip_int64_t index = zip_file_add(archive, photos[i].EntryName.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(source);
      throw abandon(zip_strerror(archive));
    }
    const auto entry = static_cast<zip_uint64_t>(index);
    if (zip_set_file_compression(archive, entry, ZIP_CM_STORE, 0) != 0 ||
        zip_file_set_mtime(archive, entry, ModifiedTime(photos[i].Path), 0) != 0 ||
        zip_file_set_external_attributes(archive, entry, 0, ZIP_OPSYS_UNIX, kEntryAttributes) != 0)
      throw abandon(zip_strerror(archive));
    sources.push_back(std::move(e));
  }
  if (zip_close(archive) != 0) {
    const std::string reason = problem.empty() ? zip_strerror(archive) : problem;
    zip_discard(archive);
    ::unlink(temp.c_str());
    for (auto& e : sources) zip_error_fini(&e->ZipError);
    if (cancelled) return false;
    throw fail(reason);
  }
  for (auto& e : sources) zip_error_fini(&e->ZipError);
  if (std::rename(temp.c_str(), zipPath.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    throw fail(std::strerror(err));
  }
  return true;
}

}  // namespace fotoloom
