// The caption rules: valid UTF-8, control characters, trimming, the length cap and camera boilerplate.
#include "imaging/CaptionText.h"

#include <cstdint>

namespace fotoloom {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the well-formed UTF-8 sequence at the start of text, or 0.
std::size_t SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  std::uint8_t low = 0x80;   // the range of the second byte, which excludes
  std::uint8_t high = 0xBF;  // overlong forms, surrogates and values past U+10FFFF
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  return length;
}

bool IsBlank(char c) { return c == ' '; }

// ASCII letters compared without regard to case.
bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// text without blanks, line breaks and no-break spaces at its ends.
std::string_view Trimmed(std::string_view text) {
  static constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
  for (;;) {
    if (!text.empty() && (IsBlank(text.front()) || text.front() == '\n'))
      text.remove_prefix(1);
    else if (text.starts_with(kNoBreakSpace))
      text.remove_prefix(kNoBreakSpace.size());
    else
      break;
  }
  for (;;) {
    if (!text.empty() && (IsBlank(text.back()) || text.back() == '\n'))
      text.remove_suffix(1);
    else if (text.ends_with(kNoBreakSpace))
      text.remove_suffix(kNoBreakSpace.size());
    else
      break;
  }
  return text;
}

// valid (well-formed UTF-8) with CR LF and lone CR as LF, or as a blank
// when keepLineBreaks is clear, and every other control character (C0, DEL
// and C1) as a blank.
std::string WithoutControls(const std::string& valid, bool keepLineBreaks) {
  std::string text;
  text.reserve(valid.size());
  for (std::size_t i = 0; i < valid.size(); ++i) {
    const char c = valid[i];
    const auto byte = static_cast<std::uint8_t>(c);
    if (c == '\r' || c == '\n') {
      text += keepLineBreaks ? '\n' : ' ';
      if (c == '\r' && i + 1 < valid.size() && valid[i + 1] == '\n') ++i;
    } else if (byte < 0x20 || byte == 0x7F) {
      text += ' ';
    } else if (byte == 0xC2 && i + 1 < valid.size() && static_cast<std::uint8_t>(valid[i + 1]) <= 0x9F) {
      text += ' ';  // a C1 control character, U+0080..U+009F
      ++i;
    } else {
      text += c;
    }
  }
  return text;
}

// text cut after its first limit characters (code points of well-formed
// UTF-8), and trimmed again where the cut left blanks at the end.
std::string_view Cut(std::string_view text, std::size_t limit) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<std::uint8_t>(text[i]) & 0xC0) == 0x80) continue;  // continues a character
    if (characters == limit) return Trimmed(text.substr(0, i));
    ++characters;
  }
  return text;
}

}  // namespace

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const std::size_t length = SequenceLength(text);
    if (length == 0) {
      out += kReplacement;
      text.remove_prefix(1);
    } else {
      out += text.substr(0, length);
      text.remove_prefix(length);
    }
  }
  return out;
}

bool IsCameraBoilerplate(std::string_view text) {
  const std::string_view trimmed = Trimmed(text);
  for (const std::string_view boilerplate : kCameraBoilerplateCaptions)
    if (EqualIgnoringCase(trimmed, boilerplate)) return true;
  return false;
}

std::string CleanCaption(std::string_view raw) {
  const std::string text = WithoutControls(ValidUtf8(raw), true);
  const std::string_view caption = Cut(Trimmed(text), kMaxCaptionCharacters);
  if (caption.empty() || IsCameraBoilerplate(caption)) return std::string();
  return std::string(caption);
}

std::string CleanLabel(std::string_view raw) {
  const std::string text = WithoutControls(ValidUtf8(raw.substr(0, raw.find('\0'))), false);
  return std::string(Cut(Trimmed(text), kMaxLabelCharacters));
}

}  // namespace fotoloom
