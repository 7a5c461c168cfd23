// The texts a gallery shows of a photo's metadata: date taken, camera and exposure.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/Un_MyFindFile.h"

namespace fotoloom {

// The moment an EXIF date and time ("2024:05:17 14:03:07") and its
// sub-seconds ("25" is 0.25 s; anything past nanoseconds is dropped) stand
// for, as recorded: no time zone is applied. Dashes are taken in the date
// and "T" between date and time; text after the seconds is ignored. Nothing
// for a text that is not such a date or names an impossible one (a camera
// whose clock was never set writes "0000:00:00 00:00:00"); sub-seconds that
// are not digits count as none.
std::optional<LocalTimestamp> ParseExifDateTime(std::string_view dateTime, std::string_view subSeconds = {});

// "2024-05-17 14:03": the date taken to the minute.
std::string DateTakenText(const LocalTimestamp& taken);
// "2024-05-17 14:03:07": the date taken to the second.
std::string DateTakenSecondsText(const LocalTimestamp& taken);

// Make and model, trimmed, joined by a blank; the make is left out when the
// model already begins with it (ASCII case ignored): "Canon" and "Canon EOS
// 5D" give "Canon EOS 5D". Either alone stands alone; both empty give "".
std::string CameraText(std::string_view make, std::string_view model);

// An exposure time in seconds as photographers write it: below one second
// the fraction "1/250 s" when 1/time is within 1 % of a whole number, else
// a decimal of up to two places ("0.4 s"); from one second on a decimal of up
// to one place ("2 s", "2.5 s"). Empty for a time that is not above 0.
std::string ExposureTimeText(double seconds);

// The exposure line "1/250 s, f/5.6, ISO 200, 35 mm": exposure time,
// aperture (f-number to one decimal, ".0" dropped), ISO speed and focal
// length (to one decimal, ".0" dropped), joined by ", ". Each part is left
// out when missing or not above 0; all missing give "".
std::string ExposureText(std::optional<double> seconds, std::optional<double> fNumber, std::optional<long> iso,
                         std::optional<double> focalLengthMm);

}  // namespace fotoloom
