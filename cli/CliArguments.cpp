// Parsing and checking the command line of fotoloom-cli.
#include "cli/CliArguments.h"

#include <charconv>
#include <string_view>

#include "cli/SettingOverrides.h"
#include "core/SettingsCheck.h"
#include "core/TemplateSets.h"

namespace fotoloom::cli {
namespace {

// A whole decimal number in [low, high], or a UsageError naming the option.
int NumberOption(const std::string& option, const std::string& text, int low, int high) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high)
    throw UsageError(option + " needs a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                     ", not '" + text + "'");
  return value;
}

// "WxH" with both sides at least 1.
void ParseSize(const std::string& text, int& width, int& height) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) throw UsageError("--size needs WIDTHxHEIGHT, not '" + text + "'");
  width = NumberOption("--size", text.substr(0, x), 1, kMaxImageSide);
  height = NumberOption("--size", text.substr(x + 1), 1, kMaxImageSide);
}

// The index of the built-in template set named by a --templates value.
std::size_t TemplateSetOption(const std::string& text) {
  if (const auto index = FindTemplateSet(text)) return *index;
  std::string words;
  for (const TemplateSet& set : TemplateSets()) words += (words.empty() ? "" : " or ") + std::string(set.word);
  throw UsageError("--templates needs " + words + ", not '" + text + "'");
}

// Walks the words after the command, splitting options from file names.
class Words {
 public:
  explicit Words(const std::vector<std::string>& args) : args_(args) {}

  // The next word, or false at the end. An option "--name=value" comes back
  // as name with its value kept for Value().
  bool Next(std::string& word) {
    if (i_ >= args_.size()) return false;
    word = args_[i_++];
    inlineValue_.reset();
    if (word.rfind("--", 0) == 0) {
      const std::size_t eq = word.find('=');
      if (eq != std::string::npos) {
        inlineValue_ = word.substr(eq + 1);
        word.resize(eq);
      }
    }
    return true;
  }

  std::string Value(const std::string& option) {
    if (inlineValue_) {
      std::string v = *inlineValue_;
      inlineValue_.reset();
      return v;
    }
    if (i_ >= args_.size()) throw UsageError(option + " needs a value");
    return args_[i_++];
  }

  // A flag given "--flag=value" is a mistake.
  void NoValue(const std::string& option) const {
    if (inlineValue_) throw UsageError(option + " takes no value");
  }

 private:
  const std::vector<std::string>& args_;
  std::size_t i_ = 1;  // args_[0] is the command
  std::optional<std::string> inlineValue_;
};

bool IsOption(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

void ExpectFiles(const std::vector<std::string>& files, std::size_t count, const std::string& command,
                 const std::string& names) {
  if (files.size() < count) throw UsageError(command + " needs " + names);
  if (files.size() > count) throw UsageError(command + ": unexpected '" + files[count] + "'");
}

}  // namespace

CliCommand ParseArguments(const std::vector<std::string>& args) {
  CliCommand cmd;
  if (args.empty()) throw UsageError("no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") return cmd;
  if (command == "--version") {
    cmd.Kind = CommandKind::Version;
    return cmd;
  }
  if (command == "run")
    cmd.Kind = CommandKind::Run;
  else if (command == "defaults")
    cmd.Kind = CommandKind::Defaults;
  else if (command == "resave")
    cmd.Kind = CommandKind::Resave;
  else if (command == "resample")
    cmd.Kind = CommandKind::Resample;
  else
    throw UsageError("unknown command '" + command + "'");

  std::vector<std::string> files;
  Words words(args);
  std::string w;
  bool sizeGiven = false;
  while (words.Next(w)) {
    if (w == "--help" || w == "-h") {
      cmd = CliCommand{};
      return cmd;
    }
    if (!IsOption(w)) {
      files.push_back(w);
    } else if (cmd.Kind == CommandKind::Run && w == "--input") {
      cmd.Input = words.Value(w);
    } else if (cmd.Kind == CommandKind::Run && w == "--output") {
      cmd.Output = words.Value(w);
    } else if (cmd.Kind == CommandKind::Run && w == "--elements") {
      cmd.Elements = NumberOption(w, words.Value(w), 0, 2);
    } else if (cmd.Kind == CommandKind::Run && w == "--jobs") {
      cmd.Jobs = NumberOption(w, words.Value(w), 1, 1024);
    } else if (cmd.Kind == CommandKind::Run && w == "--yes") {
      words.NoValue(w);
      cmd.Yes = true;
    } else if (cmd.Kind == CommandKind::Run && w == "--open") {
      words.NoValue(w);
      cmd.Open = true;
    } else if (cmd.Kind == CommandKind::Run && (w == "--quiet" || w == "-q")) {
      words.NoValue(w);
      cmd.Quiet = true;
    } else if (cmd.Kind == CommandKind::Run && w == "--dry-run") {
      words.NoValue(w);
      cmd.DryRun = true;
    } else if (cmd.Kind == CommandKind::Run && w == "--update") {
      words.NoValue(w);
      cmd.Update = true;
    } else if (cmd.Kind == CommandKind::Run && w == "--albums") {
      words.NoValue(w);
      cmd.Albums = true;
    } else if (cmd.Kind == CommandKind::Run && w == "--skip-bad-photos") {
      words.NoValue(w);
      cmd.SkipBadPhotos = true;
    } else if (cmd.Kind != CommandKind::Resample && w == "--set") {
      cmd.Settings.push_back(ParseSettingOverride(words.Value(w)));
    } else if (cmd.Kind == CommandKind::Defaults && w == "--templates") {
      cmd.TemplateSet = TemplateSetOption(words.Value(w));
    } else if (cmd.Kind == CommandKind::Resample && w == "--filter") {
      cmd.Filter = NumberOption(w, words.Value(w), 0, 6);
    } else if (cmd.Kind == CommandKind::Resample && w == "--size") {
      ParseSize(words.Value(w), cmd.Width, cmd.Height);
      sizeGiven = true;
    } else {
      throw UsageError(command + ": unknown option '" + w + "'");
    }
  }

  switch (cmd.Kind) {
    case CommandKind::Run:
      if (files.size() > 1) throw UsageError("run: unexpected '" + files[1] + "'");
      if (!files.empty()) cmd.SettingsFile = files[0];
      if (cmd.DryRun && cmd.Open) throw UsageError("--dry-run writes no page for --open to open");
      break;
    case CommandKind::Defaults:
      ExpectFiles(files, 1, command, "the settings file to write");
      cmd.OutFile = files[0];
      break;
    case CommandKind::Resave:
      ExpectFiles(files, 2, command, "the settings file to read and the one to write");
      cmd.InFile = files[0];
      cmd.OutFile = files[1];
      break;
    case CommandKind::Resample:
      ExpectFiles(files, 2, command, "the image to read and the PPM file to write");
      cmd.InFile = files[0];
      cmd.OutFile = files[1];
      if (cmd.Filter < 0) throw UsageError("resample needs --filter N (0 to 6)");
      if (!sizeGiven) throw UsageError("resample needs --size WIDTHxHEIGHT");
      break;
    default: break;
  }
  return cmd;
}

std::string UsageText() {
  return R"(Usage:
  fotoloom-cli run [SETTINGS.fl] [--set KEY=VALUE]... [--input DIR] [--output DIR]
                   [--elements 0|1|2] [--jobs N] [--yes] [--open] [--quiet] [--dry-run]
                   [--update] [--skip-bad-photos] [--albums]
  fotoloom-cli defaults [--templates classic|responsive] FILE.fl [--set KEY=VALUE]...
  fotoloom-cli resave IN.fl OUT.fl [--set KEY=VALUE]...
  fotoloom-cli resample IN OUT.ppm --filter N --size WIDTHxHEIGHT
  fotoloom-cli --help | --version

Commands:
  run       Generates the gallery: loads the settings file if one is given
            (otherwise the start-up values), applies the options below and
            writes the pages and images into the output folder. The
            settings' automatic browser start is not used; see --open.
            Progress goes to stderr: on a terminal with a bar, the
            percentage and the time left; otherwise one line per stage.
            At the end it tells what was made and how long it took.
              --set KEY=VALUE
                              one key of the settings file (see below),
                              applied after the settings file and before
                              --input and --output; may be repeated
              --input DIR     folder of the JPEG photos (or the key InputPath)
              --output DIR    folder the gallery is written to (or the key
                              OutputPath)
              --elements N    0 everything, 1 pages and the images of the
                              first thumbnail page only, 2 pages only
              --jobs N        photos resized at once (default: one per core)
              --yes           create a missing output folder without asking
              --open          open the first page in the web browser afterwards
              --quiet         print nothing but errors and warnings
              --dry-run       check the folders, find, order and size the
                              photos as the run would, and print the number
                              of thumbnail and image pages and each photo's
                              "n_" and "t_" sizes; writes nothing and creates
                              no folder; with --update also what the update
                              would make again and delete
              --update        only what changed since the last update: writes
                              the images of new and changed photos (and of
                              changed image settings), pages whose text
                              changed, and deletes the files Fotoloom wrote
                              that a full run would no longer leave (when
                              unchanged since); the folder then holds what a
                              full run into an empty folder leaves, plus the
                              files Fotoloom did not write and one hidden state
                              file, .fotoloom-update-state. Without a usable
                              state it writes everything. Also the settings
                              file's [Update] OnlyChanged=yes
              --albums        include subfolders as albums: every folder
                              below the input folder that holds photos (or a
                              folder that does) becomes a gallery of its own
                              in the same folder below the output folder,
                              listed with its photo count on the first page
                              of the album above it. Folders whose names
                              begin with "." are left out. Also --set
                              Albums=yes or the settings file's [Albums]
                              Enabled=1
              --skip-bad-photos
                              leave a photo that cannot be read out of the
                              gallery with a warning and go on; without it
                              such a photo stops the run. Also the settings
                              file's [Run] SkipBadPhotos=1
  defaults  Writes a settings file holding the start-up values, with any
            --set KEY=VALUE applied.
              --templates SET
                              the page templates of the built-in set SET:
                              classic (the start-up templates) or
                              responsive (for phones and today's browsers)
  resave    Reads a settings file and writes it again as the program
            understood it (normalises a hand-edited file), with any
            --set KEY=VALUE applied.
  resample  Resizes IN (JPEG, or binary PPM) to WIDTHxHEIGHT with filter N
            (0 Box, 1 Triangle, 2 Hermite, 3 Bell, 4 B-Spline, 5 Lanczos3,
            6 Mitchell) and writes a binary PPM.

Keys for --set, in any letter case, values as a settings file holds them
(the template lines are set in a settings file only):
)" + SettingsKeysHelp() +
         R"(    UseExif=yes sorts a date order by the moment each photo was taken (its
    EXIF date and time), else by the file's time; StripLocation=yes writes
    the "b_" copies of the originals without their GPS position.
    Thumbnails2x=yes also writes "t2_" thumbnails of twice the thumbnail
    size for sharp screens, WebP=yes a WebP file beside every scaled image
    and thumbnail (name + ".webp"), Zip=yes the file photos.zip holding all
    originals for one download.
    A number the run cannot take is refused: MaxWidthImage, MaxHeightImage
    and MaxSizeThumbnails from 1 to 65500, RowsCount and ColsCount from 1 to
    1000, QualityImages and QualityThumbnails from 0 to 100. So is a
    ThumbPagesName, ImagePagesName or WebSiteExtension holding "/", ".." or
    NUL, from --set or from the settings file.

Before anything is written, run checks the folders (not one folder, the
input not inside the output), the page names and every number it reads.
Only one run at a time writes into an output folder; another is refused
with "Another Fotoloom run is writing to DIR". Warnings (a damaged photo, a
photo left out, an update state that could not be used, how many copied
originals carry a GPS position) go to stderr, also with --quiet.

Exit status: 0 done, 1 the run failed or did not start (also another run
writing to the output folder), 2 bad usage (also a missing input or output
folder, a bad --set, a page name that leaves the output folder), 130
interrupted by Ctrl-C (what was written stays).
)";
}

}  // namespace fotoloom::cli
