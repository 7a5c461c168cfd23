// The full-size JPEG of a photo of another format: decoded whole, upright, in sRGB, encoded once.
#include "imaging/FullSizeJpeg.h"

#include "imaging/ColourConversion.h"
#include "imaging/Image.h"
#include "imaging/PhotoDecoders.h"

namespace fotoloom {

void MakeFullSizeJpeg(const std::string& inputPath, const FullSizeSettings& settings,
                      const std::function<void()>& onBusy, std::string& jpeg, std::vector<std::string>& warnings) {
  PhotoDecoders decoders;
  PhotoDecoder& decoder = decoders.For(inputPath, true);
  decoder.Background = settings.Background;
  decoder.OnBusy = onBusy;
  Image image;
  decoder.Load(inputPath, image);
  const SrgbConversion conversion = SrgbConversion::For(decoder.Colour(), decoder.GreyPixels());
  if (conversion.Damaged() || decoder.ProfileIgnored()) warnings.push_back(DamagedProfileWarning(inputPath));
  conversion.Apply(image);
  JpegCodec& encoder = decoders.Jpeg();
  // A JPEG original read for this would make the encoding progressive.
  encoder.ForgetLoadedFile();
  encoder.Grayscale = false;
  encoder.Quality = settings.Quality;
  encoder.OnBusy = onBusy;
  encoder.Encode(image, jpeg);
}

}  // namespace fotoloom
