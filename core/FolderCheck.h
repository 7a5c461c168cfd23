// The check of a run's two folders before anything is written: the input must exist and must not be the output.
#pragma once

#include <string>

namespace fotoloom {

// What stands against a run between its input and output folder.
enum class FolderFault {
  None,
  InputMissing,       // the input folder is not an existing folder
  SameFolder,         // both name one folder, however spelt (links, "..")
  InputInsideOutput,  // the input folder lies somewhere below the output folder
};

// Checks the input and output folder of a run. Folders are told apart by
// device and inode, not by their spelling, so a link or a ".." that leads
// to the same folder is caught. An output folder that does not exist yet
// stands against nothing (the run asks to create it); an output folder
// inside the input folder is allowed, since the search reads only the
// files of the input folder itself.
FolderFault CheckRunFolders(const std::string& input, const std::string& output);

// The message that refuses a run for fault: "Incorrect path for input : <input>"
// for a missing input folder, and a sentence that says why for the others.
std::string FolderFaultMessage(FolderFault fault, const std::string& input, const std::string& output);

}  // namespace fotoloom
