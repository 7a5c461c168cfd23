// Date taken parsing and the date, camera and exposure texts of a photo.
#include "imaging/MetadataText.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace fotoloom {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number of the count digits at text[at], or -1 when they are not all digits.
int Digits(std::string_view text, std::size_t at, std::size_t count) {
  if (text.size() < at + count) return -1;
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (!IsDigit(text[i])) return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\0')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  return text;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i];
    char b = prefix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

// value with at most places decimals, trailing zeros and a bare "." dropped.
std::string Decimal(double value, int places) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", places, value);
  std::string text = buffer;
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

bool Positive(const std::optional<double>& value) { return value && std::isfinite(*value) && *value > 0; }

}  // namespace

std::optional<LocalTimestamp> ParseExifDateTime(std::string_view dateTime, std::string_view subSeconds) {
  dateTime = Trimmed(dateTime);
  // "YYYY:MM:DD HH:MM:SS": 19 characters with fixed separators.
  if (dateTime.size() < 19) return std::nullopt;
  const auto dateSeparator = [&](std::size_t i) { return dateTime[i] == ':' || dateTime[i] == '-'; };
  if (!dateSeparator(4) || !dateSeparator(7) || (dateTime[10] != ' ' && dateTime[10] != 'T') || dateTime[13] != ':' ||
      dateTime[16] != ':')
    return std::nullopt;
  LocalTimestamp t;
  t.Date.Year = Digits(dateTime, 0, 4);
  t.Date.Month = Digits(dateTime, 5, 2);
  t.Date.Day = Digits(dateTime, 8, 2);
  t.Hour = Digits(dateTime, 11, 2);
  t.Minute = Digits(dateTime, 14, 2);
  t.Second = Digits(dateTime, 17, 2);
  if (t.Date.Year < 1 || t.Date.Month < 1 || t.Date.Month > 12 || t.Date.Day < 1 ||
      t.Date.Day > DaysInMonth(t.Date.Year, t.Date.Month) || t.Hour < 0 || t.Hour > 23 || t.Minute < 0 ||
      t.Minute > 59 || t.Second < 0 || t.Second > 60)
    return std::nullopt;
  subSeconds = Trimmed(subSeconds);
  std::size_t digits = 0;
  while (digits < subSeconds.size() && IsDigit(subSeconds[digits])) ++digits;
  if (digits > 0 && digits == subSeconds.size()) {
    int nanoseconds = 0;
    for (std::size_t i = 0; i < 9; ++i) nanoseconds = nanoseconds * 10 + (i < digits ? subSeconds[i] - '0' : 0);
    t.Nanosecond = nanoseconds;
  }
  return t;
}

std::string DateTakenText(const LocalTimestamp& taken) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d", taken.Date.Year, taken.Date.Month, taken.Date.Day,
                taken.Hour, taken.Minute);
  return buffer;
}

std::string DateTakenSecondsText(const LocalTimestamp& taken) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, ":%02d", taken.Second);
  return DateTakenText(taken) + buffer;
}

std::string CameraText(std::string_view make, std::string_view model) {
  make = Trimmed(make);
  model = Trimmed(model);
  if (make.empty()) return std::string(model);
  if (model.empty()) return std::string(make);
  if (StartsWithIgnoringCase(model, make)) return std::string(model);
  return std::string(make) + " " + std::string(model);
}

std::string ExposureTimeText(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0) return std::string();
  if (seconds < 1) {
    const double inverse = 1 / seconds;
    const double whole = std::round(inverse);
    if (whole >= 2 && std::fabs(inverse - whole) <= 0.01 * whole) return "1/" + Decimal(whole, 0) + " s";
    return Decimal(seconds, 2) + " s";
  }
  return Decimal(seconds, 1) + " s";
}

std::string ExposureText(std::optional<double> seconds, std::optional<double> fNumber, std::optional<long> iso,
                         std::optional<double> focalLengthMm) {
  std::vector<std::string> parts;
  if (Positive(seconds)) parts.push_back(ExposureTimeText(*seconds));
  if (Positive(fNumber)) parts.push_back("f/" + Decimal(*fNumber, 1));
  if (iso && *iso > 0) parts.push_back("ISO " + std::to_string(*iso));
  if (Positive(focalLengthMm)) parts.push_back(Decimal(*focalLengthMm, 1) + " mm");
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty()) text += ", ";
    text += part;
  }
  return text;
}

}  // namespace fotoloom
