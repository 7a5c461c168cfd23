// Fuzz entry for the metadata reader: arbitrary bytes as a photo, as its sidecar, and rewritten without location.
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "core/Error.h"
#include "fuzz/FuzzHarness.h"
#include "fuzz/TempFile.h"
#include "imaging/CaptionText.h"
#include "imaging/PhotoMetadata.h"

namespace fotoloom::fuzz {
namespace {

// Each fact read must be what the rules promise for any input.
void CheckFacts(const PhotoMetadata& m) {
  if (ValidUtf8(m.Caption) != m.Caption || CleanCaption(m.Caption) != m.Caption) std::abort();
  if (m.Caption.empty() != (m.CaptionFrom == CaptionSource::None)) std::abort();
  for (const std::string* label : {&m.Make, &m.Model, &m.Lens})
    if (CleanLabel(*label) != *label) std::abort();
}

// The sidecar beside the temporary photo, removed again on every path.
class Sidecar {
 public:
  explicit Sidecar(const std::string& photo) : path_(photo + ".xmp") {}
  ~Sidecar() { ::unlink(path_.c_str()); }
  Sidecar(const Sidecar&) = delete;
  Sidecar& operator=(const Sidecar&) = delete;
  void Write(const std::uint8_t* data, std::size_t size) { TempFile::WriteTo(path_, data, size); }

 private:
  std::string path_;
};

}  // namespace

void PhotoMetadataInput(const std::uint8_t* data, std::size_t size) {
  TempFile photo;
  photo.Write(data, size);
  CheckFacts(ReadPhotoMetadata(photo.path()));

  // The same bytes as the XMP sidecar of that photo.
  {
    Sidecar sidecar(photo.path());
    sidecar.Write(data, size);
    const PhotoMetadata withSidecar = ReadPhotoMetadata(photo.path());
    CheckFacts(withSidecar);
    if (withSidecar.Sidecar.empty()) std::abort();
  }

  // A copy without location carries none, and reads again.
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::optional<std::string> stripped;
  try {
    stripped = WithoutLocation(bytes);
  } catch (const Error&) {
    return;  // metadata that cannot be rewritten: a reported rejection
  }
  if (!stripped) return;
  TempFile copy;
  copy.Write(reinterpret_cast<const std::uint8_t*>(stripped->data()), stripped->size());
  const PhotoMetadata again = ReadPhotoMetadata(copy.path());
  CheckFacts(again);
  if (again.HasLocation) std::abort();
}

}  // namespace fotoloom::fuzz
