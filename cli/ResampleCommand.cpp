// fotoloom-cli resample: one filtered stretch from a JPEG or PPM file into a PPM file.
#include <fstream>
#include <iterator>

#include "cli/Commands.h"
#include "cli/InputFile.h"
#include "cli/PpmFile.h"
#include "core/TextFile.h"
#include "imaging/JpegCodec.h"
#include "imaging/resample.h"

namespace fotoloom::cli {

int ResampleCommand(const CliCommand& cmd) {
  RequireReadableFile(cmd.InFile);
  Image source;
  {
    std::ifstream in(cmd.InFile, std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    if (LooksLikePpm(bytes)) {
      DecodePpm(bytes, source);
    } else {
      JpegCodec codec;
      codec.Load(cmd.InFile, source);
    }
  }
  Image target(cmd.Width, cmd.Height);
  const FilterEntry& filter = FilterTable[std::size_t(cmd.Filter)];
  ResampleStretch(StretchHooks{}, source, target, filter.Function, filter.Support);
  WriteWholeFile(cmd.OutFile, EncodePpm(target));
  return kExitDone;
}

}  // namespace fotoloom::cli
