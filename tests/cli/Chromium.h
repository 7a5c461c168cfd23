// Headless Chromium for the browser tests: finding it, running a probe page and reading its report, screenshots.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fotoloom::test {

// The browser to drive: $FOTOLOOM_CHROMIUM, else "chromium" on the PATH; "" when there is none.
inline std::string FindChromium() {
  if (const char* given = std::getenv("FOTOLOOM_CHROMIUM")) return given;
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path != nullptr ? path : "");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const std::filesystem::path candidate = std::filesystem::path(dir) / "chromium";
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return {};
}

inline std::string PercentDecoded(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The output of a shell command.
inline std::string CommandOutput(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::string text;
  char buffer[4096];
  for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) text.append(buffer, n);
  return text;
}

// The start of a headless Chromium command line with a profile of its own
// that may read local files from local pages.
inline std::string ChromiumCommand(const std::string& chromium, const std::string& profile) {
  return "timeout 120 '" + chromium +
         "' --headless --no-sandbox --disable-gpu --allow-file-access-from-files --user-data-dir='" + profile + "'";
}

// Loads the local page file in headless Chromium, lets it run for up to
// budgetMs of virtual time and returns the DOM it then has. flags are added
// to the command line; with a log file the browser's log, which holds every
// console message of the page and its frames, goes there.
inline std::string DumpDom(const std::string& chromium, const std::string& profile, const std::string& file,
                           int budgetMs, const std::string& flags = "", const std::string& log = "") {
  const std::string logging = log.empty() ? " 2>/dev/null" : " --enable-logging=stderr --v=0 2>'" + log + "'";
  return CommandOutput(ChromiumCommand(chromium, profile) + " " + flags + " --virtual-time-budget=" +
                       std::to_string(budgetMs) + " --dump-dom 'file://" + file + "'" + logging);
}

// The console messages of a browser log DumpDom wrote: each line that
// Chromium's console logging wrote, as it stands.
inline std::vector<std::string> ConsoleMessages(const std::string& log) {
  std::vector<std::string> messages;
  std::ifstream in(log);
  for (std::string line; std::getline(in, line);)
    if (line.find(":CONSOLE") != std::string::npos) messages.push_back(line);
  return messages;
}

// One picture of several local pages, each in a frame of its own size, so
// that it shows the page as a window of that size would.
struct ScreenshotSheet {
  struct View {
    std::string file;
    int width = 0;
    int height = 0;
  };
  std::vector<View> views;
  bool sideBySide = true;  // else one below the other
  std::string png;
};

// Writes the sheets' PNG files, without scroll bars, with one browser each,
// all at once (a browser takes seconds to start); folder receives each
// sheet's page and browser profile. Returns the PNG files not written.
inline std::vector<std::string> Screenshots(const std::string& chromium, const std::string& folder,
                                            const std::vector<ScreenshotSheet>& sheets) {
  constexpr int kGap = 8;
  std::string command = "(";
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    const ScreenshotSheet& sheet = sheets[i];
    std::string page = "<!DOCTYPE html><html><body style=\"margin:0;background:#808080\">";
    int width = 0;
    int height = 0;
    for (const ScreenshotSheet::View& v : sheet.views) {
      const int left = sheet.sideBySide ? width + (width > 0 ? kGap : 0) : 0;
      const int top = sheet.sideBySide ? 0 : height + (height > 0 ? kGap : 0);
      page += "<iframe style=\"position:absolute;border:0;left:" + std::to_string(left) +
              "px;top:" + std::to_string(top) + "px;width:" + std::to_string(v.width) +
              "px;height:" + std::to_string(v.height) + "px\" src=\"file://" + v.file + "\"></iframe>";
      width = sheet.sideBySide ? left + v.width : std::max(width, v.width);
      height = sheet.sideBySide ? std::max(height, v.height) : top + v.height;
    }
    const std::string html = folder + "/sheet" + std::to_string(i) + ".html";
    std::ofstream(html) << page << "</body></html>";
    std::error_code ec;
    std::filesystem::remove(sheet.png, ec);
    command += ChromiumCommand(chromium, folder + "/profile" + std::to_string(i)) +
               " --hide-scrollbars --window-size=" + std::to_string(width) + "," + std::to_string(height) +
               " --screenshot='" + sheet.png + "' 'file://" + html + "' >/dev/null 2>&1 & ";
  }
  CommandOutput(command + "wait)");
  std::vector<std::string> missing;
  for (const ScreenshotSheet& sheet : sheets)
    if (!std::filesystem::is_regular_file(sheet.png)) missing.push_back(sheet.png);
  return missing;
}

// One record of a probe page: a line "@@KIND field field ..." whose fields
// the probe URI-encoded (so they hold no spaces), decoded again.
struct ProbeRecord {
  std::string kind;
  std::vector<std::string> fields;
};

// The records of a dumped probe page, in order. The first one follows the
// markup of the dump on its line.
inline std::vector<ProbeRecord> ProbeRecords(const std::string& dom) {
  std::vector<ProbeRecord> records;
  std::istringstream lines(dom);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t at = line.find("@@");
    if (at == std::string::npos) continue;
    std::istringstream words(line.substr(at + 2));
    ProbeRecord record;
    words >> record.kind;
    for (std::string field; words >> field;) record.fields.push_back(PercentDecoded(field));
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace fotoloom::test
