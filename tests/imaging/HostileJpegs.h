// Damaged and hostile JPEG files, made byte for byte in the tests (small and deterministic).
#pragma once

#include <cstdint>
#include <string>

namespace fotoloom::test {

// How a well-formed test JPEG is coded.
enum class JpegCoding { Baseline, Progressive, Arithmetic, Cmyk };

// A well-formed JPEG of a colour gradient, width x height, made with libjpeg.
std::string WellFormedJpeg(int width, int height, JpegCoding coding = JpegCoding::Baseline);

// The first keep bytes of jpeg (the rest of the file lost).
std::string Truncated(const std::string& jpeg, std::size_t keep);

// size bytes of a fixed pseudo-random sequence that never starts like a JPEG.
std::string RandomBytes(std::size_t size, std::uint32_t seed);

// The signature and header chunk of a 1 x 1 PNG image.
std::string PngBytes();

// jpeg with the sample precision of its frame header set to bits.
std::string WithPrecision(std::string jpeg, int bits);

// jpeg with its frame header declaring width x height pixels (the coded data
// is left as it is).
std::string WithDeclaredSize(std::string jpeg, int width, int height);

}  // namespace fotoloom::test
