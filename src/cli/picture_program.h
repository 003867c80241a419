#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/picture_export.h"
#include "common/program_folder.h"

namespace quotaplan {

// The program that draws the calculator's PDF and PNG exports: the whole calculator, with
// Qt. It lies beside quotaplan-calc in the ready-to-run folder and in
// <prefix>/libexec/quotaplan once installed.
inline constexpr const char* kPictureProgramName = "quotaplan-calc-pictures";
// Tells the drawing program the folder of the calculator that started it, whose files
// (archive, Export folder) it is to use.
inline constexpr const char* kCallerFolderVariable = "QUOTAPLAN_CALC_FOLDER";

// The drawing program of a calculator in programFolder: beside it, else in
// ../libexec/quotaplan; nullopt when neither holds an executable file of that name.
std::optional<std::filesystem::path> FindPictureProgram(const std::filesystem::path& programFolder);

// The calculator's writer: it passes the whole command line (args, without the program's
// name) over to the drawing program, which replaces this process, so that its output, its
// messages and its exit status are the calculator's. Returns only on failure, a WriteError:
// "Il programma quotaplan-calc-pictures, che disegna i file PDF e PNG, manca in <folder>."
// or "Impossibile avviare <program>: <reason>".
PictureWriter PicturesByProgram(std::vector<std::string> args, std::filesystem::path programFolder);

// The files the drawing program works with: those of the calculator that started it
// (kCallerFolderVariable), or its own when started directly.
ProgramFiles PictureProgramFiles();

}  // namespace quotaplan
