// Output file paths of the image writers: a prefix before the input's own file name.
#pragma once

#include <string>

namespace fotoloom {

// The input path's file name: the text after its last "/", extension and
// letter case unchanged.
std::string FileNameOf(const std::string& inputPath);

// outputFolder, a "/" unless it is empty or already ends with one, prefix
// and the input's file name: OutputFilePath("/out", "n_", "/in/IMG_1.JPG") is "/out/n_IMG_1.JPG".
// The name passes the output folder's name rule (OutputPathOf), which raises
// for one it refuses.
std::string OutputFilePath(const std::string& outputFolder, const std::string& prefix, const std::string& inputPath);

// The path of the image named prefix ("n_", "t_" or "b_") that is written
// for the photo at inputPath into outputFolder, named by ImageFileName:
// ImageOutputPath("/out", "n_", "/in/IMG_1.HEIC") is "/out/n_IMG_1.HEIC.jpg".
// The name passes the output folder's name rule as OutputFilePath's does.
std::string ImageOutputPath(const std::string& outputFolder, const std::string& prefix, const std::string& inputPath);

// The same in subfolder of outputFolder ("2024/Rome"; "" for outputFolder
// itself): ImageOutputPath("/out", "2024", "t_", "/in/2024/a.heic") is
// "/out/2024/t_a.heic.jpg". Subfolder and name pass the name rule as folders
// below the output folder and an entry of the album's folder.
std::string ImageOutputPath(const std::string& outputFolder, const std::string& subfolder, const std::string& prefix,
                            const std::string& inputPath);

// name in subfolder, relative to the folder both are in: "2024/Rome/n_a.jpg"
// for NameInSubfolder("2024/Rome", "n_a.jpg"); name itself for "".
std::string NameInSubfolder(const std::string& subfolder, const std::string& name);

}  // namespace fotoloom
