// Reading and rewriting photo metadata with exiv2: the only file that talks to the library.
#include "imaging/PhotoMetadata.h"

#include <sys/stat.h>

#include <cstdint>
#include <exiv2/exiv2.hpp>
#include <exiv2/pngimage.hpp>
#include <exiv2/webpimage.hpp>
#include <mutex>

#include "core/Error.h"
#include "core/TextFile.h"
#include "imaging/CaptionText.h"
#include "imaging/HeifDecoder.h"
#include "imaging/MetadataText.h"
#include "imaging/PhotoDecoders.h"

namespace fotoloom {
namespace {

// The library's process-wide set-up, once before its first use: no
// messages on the console (a damaged photo is no error of ours to print),
// and the XMP toolkit started while no other thread uses it.
void InitLibrary() {
  static std::once_flag once;
  std::call_once(once, [] {
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    Exiv2::XmpParser::initialize();
  });
}

std::string ErrorText(const std::exception& e) {
  const std::string text = e.what();
  return text.empty() ? std::string("the metadata cannot be read") : text;
}

// The metadata of the photo's own file, read whole before anything is taken
// from it, so that a failure part-way leaves nothing half read.
struct Embedded {
  Exiv2::ExifData exif;
  Exiv2::IptcData iptc;
  Exiv2::XmpData xmp;
};

// The datum of key in data, or nullptr.
template <typename Key, typename Data>
const auto* Find(const Data& data, const char* key) {
  const auto it = data.findKey(Key(key));
  return it == data.end() ? nullptr : &*it;
}

const Exiv2::Exifdatum* FindExif(const Exiv2::ExifData& exif, const char* key) {
  return Find<Exiv2::ExifKey>(exif, key);
}

// An EXIF text: the value up to its first NUL.
std::string ExifText(const Exiv2::ExifData& exif, const char* key) {
  const Exiv2::Exifdatum* d = FindExif(exif, key);
  if (d == nullptr) return std::string();
  const std::string text = d->toString();
  return text.substr(0, text.find('\0'));
}

// The first value of a rational or whole-number EXIF tag, or nothing (also
// for a zero denominator).
std::optional<double> ExifNumber(const Exiv2::ExifData& exif, const char* key) {
  const Exiv2::Exifdatum* d = FindExif(exif, key);
  if (d == nullptr || d->count() < 1) return std::nullopt;
  const Exiv2::Value& v = d->value();
  if (const auto* u = dynamic_cast<const Exiv2::URationalValue*>(&v)) {
    if (u->value_.empty() || u->value_[0].second == 0) return std::nullopt;
    return static_cast<double>(u->value_[0].first) / u->value_[0].second;
  }
  if (const auto* r = dynamic_cast<const Exiv2::RationalValue*>(&v)) {
    if (r->value_.empty() || r->value_[0].second == 0) return std::nullopt;
    return static_cast<double>(r->value_[0].first) / r->value_[0].second;
  }
  if (v.typeId() == Exiv2::unsignedShort || v.typeId() == Exiv2::unsignedLong || v.typeId() == Exiv2::signedShort ||
      v.typeId() == Exiv2::signedLong)
    return static_cast<double>(d->toLong(0));
  return std::nullopt;
}

// dc:description: the "x-default" text, else the first other language's in
// alphabetical order of the tags, else (a plain text property) its text.
std::string XmpDescription(const Exiv2::XmpData& xmp) {
  const Exiv2::Xmpdatum* d = Find<Exiv2::XmpKey>(xmp, "Xmp.dc.description");
  if (d == nullptr) return std::string();
  const auto* alt = dynamic_cast<const Exiv2::LangAltValue*>(&d->value());
  if (alt == nullptr) return d->value().typeId() == Exiv2::xmpText ? d->toString() : std::string();
  const auto isDefault = [](const std::string& lang) { return lang == "x-default"; };
  for (const auto& [lang, text] : alt->value_)
    if (isDefault(lang) && !CleanCaption(text).empty()) return text;
  const std::pair<const std::string, std::string>* first = nullptr;
  for (const auto& entry : alt->value_)
    if (!isDefault(entry.first) && !CleanCaption(entry.second).empty() &&
        (first == nullptr || entry.first < first->first))
      first = &entry;
  return first == nullptr ? std::string() : first->second;
}

// UserComment in the character code it declares: ASCII and undefined as
// they are, Unicode (UCS-2 in the byte order of its mark, else of the EXIF
// data) converted to UTF-8. JIS is not converted and gives nothing.
std::string UserComment(const Exiv2::ExifData& exif) {
  const Exiv2::Exifdatum* d = FindExif(exif, "Exif.Photo.UserComment");
  if (d == nullptr) return std::string();
  const auto* comment = dynamic_cast<const Exiv2::CommentValue*>(&d->value());
  if (comment == nullptr || comment->charsetId() == Exiv2::CommentValue::jis ||
      comment->charsetId() == Exiv2::CommentValue::invalidCharsetId)
    return std::string();
  const std::string text = comment->comment();
  return comment->charsetId() == Exiv2::CommentValue::unicode ? text : text.substr(0, text.find('\0'));
}

bool IsGpsKey(const Exiv2::Exifdatum& d) { return d.groupName() == "GPSInfo" || d.key() == "Exif.Image.GPSTag"; }
bool IsGpsKey(const Exiv2::Xmpdatum& d) { return d.key().rfind("Xmp.exif.GPS", 0) == 0; }

template <typename Data>
bool HasGps(const Data& data) {
  for (const auto& d : data)
    if (IsGpsKey(d)) return true;
  return false;
}

template <typename Data>
bool EraseGps(Data& data) {
  bool erased = false;
  for (auto it = data.begin(); it != data.end();) {
    if (IsGpsKey(*it)) {
      it = data.erase(it);
      erased = true;
    } else {
      ++it;
    }
  }
  return erased;
}

// Whether the bytes show a GPS position anywhere a reader may find one:
// every APP1 segment before the image data is looked at, not only the
// first of its kind as the library reads them. EXIF and XMP segments are
// decoded; an extended XMP chunk, which the library does not decode, counts
// when it holds the letters "GPS". A file whose segments do not follow one
// another as the format says counts too, for no reader can be trusted with
// it.
bool SegmentsCarryLocation(std::string_view jpeg) {
  static constexpr std::string_view kExif("Exif\0\0", 6);
  static constexpr std::string_view kXmp("http://ns.adobe.com/xap/1.0/\0", 29);
  static constexpr std::string_view kExtendedXmp("http://ns.adobe.com/xmp/extension/\0", 35);
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(jpeg[i]); };
  if (jpeg.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) return true;
  std::size_t at = 2;
  for (;;) {
    if (at + 2 > jpeg.size() || byte(at) != 0xFF) return true;
    while (at + 1 < jpeg.size() && byte(at + 1) == 0xFF) ++at;  // fill bytes
    if (at + 2 > jpeg.size()) return true;
    const unsigned char marker = byte(at + 1);
    if (marker == 0xDA) return false;  // the image data starts: no metadata follows
    if (marker == 0xD8 || marker == 0xD9 || marker == 0x00) return true;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;
      continue;
    }
    if (at + 4 > jpeg.size()) return true;
    const std::size_t length = (std::size_t(byte(at + 2)) << 8) | byte(at + 3);
    if (length < 2 || at + 2 + length > jpeg.size()) return true;
    const std::string_view payload = jpeg.substr(at + 4, length - 2);
    if (marker == 0xE1) {
      if (payload.starts_with(kExif)) {
        Exiv2::ExifData exif;
        const std::string_view tiff = payload.substr(kExif.size());
        Exiv2::ExifParser::decode(exif, reinterpret_cast<const Exiv2::byte*>(tiff.data()),
                                  static_cast<std::uint32_t>(tiff.size()));
        if (HasGps(exif)) return true;
      } else if (payload.starts_with(kXmp)) {
        Exiv2::XmpData xmp;
        if (Exiv2::XmpParser::decode(xmp, std::string(payload.substr(kXmp.size()))) != 0 || HasGps(xmp)) return true;
      } else if (payload.starts_with(kExtendedXmp) && payload.find("GPS") != std::string_view::npos) {
        return true;
      }
    }
    at += 2 + length;
  }
}

// Reads the sidecar at path into xmp; false when it is too large or no XMP.
bool ReadSidecar(const std::string& path, Exiv2::XmpData& xmp) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxSidecarBytes) return false;
  const std::optional<std::string> packet = ReadRegularFile(path, LinkAtPath::Follow);
  if (!packet) return false;
  try {
    return Exiv2::XmpParser::decode(xmp, *packet) == 0;
  } catch (const std::exception&) {
    xmp.clear();
    return false;
  }
}

void TakeCaption(PhotoMetadata& m, const std::string& raw, CaptionSource source) {
  if (m.CaptionFrom != CaptionSource::None) return;
  std::string caption = CleanCaption(raw);
  if (caption.empty()) return;
  m.Caption = std::move(caption);
  m.CaptionFrom = source;
}

void TakeExifFacts(PhotoMetadata& m, const Exiv2::ExifData& exif) {
  m.DateTaken =
      ParseExifDateTime(ExifText(exif, "Exif.Photo.DateTimeOriginal"), ExifText(exif, "Exif.Photo.SubSecTimeOriginal"));
  if (!m.DateTaken)
    m.DateTaken = ParseExifDateTime(ExifText(exif, "Exif.Photo.DateTimeDigitized"),
                                    ExifText(exif, "Exif.Photo.SubSecTimeDigitized"));
  m.Make = CleanLabel(ExifText(exif, "Exif.Image.Make"));
  m.Model = CleanLabel(ExifText(exif, "Exif.Image.Model"));
  m.Lens = CleanLabel(ExifText(exif, "Exif.Photo.LensModel"));
  m.ExposureSeconds = ExifNumber(exif, "Exif.Photo.ExposureTime");
  m.FNumber = ExifNumber(exif, "Exif.Photo.FNumber");
  if (const std::optional<double> iso = ExifNumber(exif, "Exif.Photo.ISOSpeedRatings")) m.Iso = static_cast<long>(*iso);
  m.FocalLengthMm = ExifNumber(exif, "Exif.Photo.FocalLength");
}

// Reads the metadata inside the photo at path with the reader of the format
// its content shows, as the decoders choose theirs: HEIF's blocks through
// the HEIF library, the others through exiv2's reader of their format (the
// JPEG one, which refuses it, for a file of no photo format).
void ReadEmbedded(const std::string& path, Embedded& own) {
  const PhotoFormat format = FormatOfContent(path);
  if (format == PhotoFormat::Heif) {
    const HeifMetadata blocks = ReadHeifMetadata(path);
    if (!blocks.Exif.empty())
      Exiv2::ExifParser::decode(own.exif, reinterpret_cast<const Exiv2::byte*>(blocks.Exif.data()),
                                static_cast<std::uint32_t>(blocks.Exif.size()));
    if (!blocks.Xmp.empty() && Exiv2::XmpParser::decode(own.xmp, blocks.Xmp) != 0) own.xmp.clear();
    return;
  }
  Exiv2::BasicIo::AutoPtr io(new Exiv2::FileIo(path));
  Exiv2::Image::AutoPtr image;
  if (format == PhotoFormat::Png)
    image.reset(new Exiv2::PngImage(io, false));
  else if (format == PhotoFormat::Webp)
    image.reset(new Exiv2::WebPImage(io));
  else
    image.reset(new Exiv2::JpegImage(io, false));
  image->readMetadata();
  own.exif = image->exifData();
  own.iptc = image->iptcData();
  own.xmp = image->xmpData();
}

}  // namespace

std::string_view CaptionSourceName(CaptionSource source) {
  switch (source) {
    case CaptionSource::XmpSidecar: return "XMP sidecar";
    case CaptionSource::Xmp: return "XMP";
    case CaptionSource::Iptc: return "IPTC";
    case CaptionSource::ExifImageDescription: return "EXIF ImageDescription";
    case CaptionSource::ExifUserComment: return "EXIF UserComment";
    case CaptionSource::None: break;
  }
  return "none";
}

std::vector<std::string> SidecarCandidates(const std::string& photoPath) {
  const std::size_t slash = photoPath.rfind('/');
  const std::size_t dot = photoPath.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  std::vector<std::string> candidates = {photoPath + ".xmp", photoPath + ".XMP"};
  if (hasExtension) {
    const std::string stem = photoPath.substr(0, dot);
    candidates.push_back(stem + ".xmp");
    candidates.push_back(stem + ".XMP");
  }
  return candidates;
}

PhotoMetadata ReadPhotoMetadata(const std::string& path) {
  InitLibrary();
  PhotoMetadata m;
  Exiv2::XmpData sidecar;
  for (const std::string& candidate : SidecarCandidates(path)) {
    struct stat st {};
    if (::stat(candidate.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    m.Sidecar = candidate;
    ReadSidecar(candidate, sidecar);
    break;
  }

  Embedded own;
  try {
    ReadEmbedded(path, own);
  } catch (const std::exception& e) {
    own = Embedded();
    m.Problem = ErrorText(e);
  } catch (...) {
    own = Embedded();
    m.Problem = "the metadata cannot be read";
  }

  TakeCaption(m, XmpDescription(sidecar), CaptionSource::XmpSidecar);
  TakeCaption(m, XmpDescription(own.xmp), CaptionSource::Xmp);
  if (const auto* caption = Find<Exiv2::IptcKey>(own.iptc, "Iptc.Application2.Caption"))
    TakeCaption(m, caption->toString(), CaptionSource::Iptc);
  TakeCaption(m, ExifText(own.exif, "Exif.Image.ImageDescription"), CaptionSource::ExifImageDescription);
  TakeCaption(m, UserComment(own.exif), CaptionSource::ExifUserComment);
  TakeExifFacts(m, own.exif);
  m.HasLocation = HasGps(own.exif) || HasGps(own.xmp);
  return m;
}

std::string MetadataLibraryVersion() { return std::string("exiv2 ") + Exiv2::versionString(); }

std::optional<std::string> WithoutLocation(std::string_view jpeg) {
  InitLibrary();
  try {
    Exiv2::BasicIo::AutoPtr io(
        new Exiv2::MemIo(reinterpret_cast<const Exiv2::byte*>(jpeg.data()), static_cast<long>(jpeg.size())));
    Exiv2::JpegImage image(io, false);
    image.readMetadata();
    const bool exifChanged = EraseGps(image.exifData());
    const bool xmpChanged = EraseGps(image.xmpData());
    if (!exifChanged && !xmpChanged) {
      // Nothing the library reads carries a position; another segment may.
      if (SegmentsCarryLocation(jpeg)) throw Error("its metadata is damaged or repeated");
      return std::nullopt;
    }
    // XMP without GPS is written back as it was read, not re-serialised.
    image.writeXmpFromPacket(!xmpChanged);
    image.writeMetadata();
    Exiv2::BasicIo& out = image.io();
    if (out.open() != 0) throw Error("the rewritten photo cannot be read back");
    std::string bytes(static_cast<std::size_t>(out.size()), '\0');
    const long read = out.read(reinterpret_cast<Exiv2::byte*>(bytes.data()), static_cast<long>(bytes.size()));
    out.close();
    if (read != static_cast<long>(bytes.size())) throw Error("the rewritten photo cannot be read back");
    // What was written is read again as any reader would: not a trace of a position may be left.
    if (SegmentsCarryLocation(bytes)) throw Error("its metadata is damaged or repeated");
    return bytes;
  } catch (const std::exception& e) {
    throw Error("The location cannot be removed: " + ErrorText(e));
  }
}

}  // namespace fotoloom
