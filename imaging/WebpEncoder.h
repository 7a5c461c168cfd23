// The WebP encoder of the image writers: WebP copies of the scaled images and thumbnails.
#pragma once

#include <string>

#include "imaging/Image.h"

namespace fotoloom {

// Encodes image as a lossy WebP file at quality (0..100, clamped) into webp,
// replacing its content; with grey, its grey values (the weights the JPEG
// encoder turns RGB into grey with), as the JPEG of a grey gallery holds.
// The writers pass the quality of the JPEG beside it: at one number WebP
// keeps at least the JPEG's detail in fewer bytes. The encoder's method 4
// (its default balance of speed and size) and no metadata: like the JPEG
// copies, the file carries no EXIF, no profile (the pixels are sRGB
// already) and no location. The same image and quality give the same
// bytes. Raises "Cannot encode image as WebP: <reason>" when the library
// fails, or when the image is larger than 16383 pixels a side (with its
// size and what to do); nothing is written then.
void EncodeWebp(const Image& image, int quality, bool grey, std::string& webp);

// The WebP library's encoder version as a number (0x010204 for 1.2.4); a new
// one may encode differently.
int WebpLibraryVersion();

}  // namespace fotoloom
