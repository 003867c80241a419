#include "cli/picture_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace quotaplan {
namespace {

namespace fs = std::filesystem;

bool IsExecutableFile(const fs::path& file) {
    std::error_code error;
    return fs::is_regular_file(file, error) && ::access(file.c_str(), X_OK) == 0;
}

ExportResult Failure(std::string message) {
    return ExportResult{ExportCode::WriteError, std::move(message), {}};
}

}  // namespace

std::optional<fs::path> FindPictureProgram(const fs::path& programFolder) {
    for (const fs::path& candidate :
         {programFolder / kPictureProgramName,
          programFolder / ".." / "libexec" / "quotaplan" / kPictureProgramName}) {
        if (IsExecutableFile(candidate)) return candidate.lexically_normal();
    }
    return std::nullopt;
}

PictureWriter PicturesByProgram(std::vector<std::string> args, fs::path programFolder) {
    return
        [args = std::move(args), programFolder = std::move(programFolder)](const PictureExport&) {
            const std::optional<fs::path> program = FindPictureProgram(programFolder);
            if (!program) {
                return Failure(std::string("Il programma ") + kPictureProgramName +
                               ", che disegna i file PDF e PNG, manca in " +
                               programFolder.string() + ".");
            }
            std::vector<char*> argv;
            std::string name = program->string();
            argv.push_back(name.data());
            std::vector<std::string> copies = args;
            for (std::string& arg : copies) argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::setenv(kCallerFolderVariable, programFolder.c_str(), 1);
            std::cout.flush();
            std::cerr.flush();
            ::execv(name.c_str(), argv.data());
            const std::string reason = std::strerror(errno);
            ::unsetenv(kCallerFolderVariable);
            return Failure("Impossibile avviare " + name + ": " + reason);
        };
}

ProgramFiles PictureProgramFiles() {
    const char* caller = std::getenv(kCallerFolderVariable);
    if (caller == nullptr || *caller == '\0') return ThisProgramFiles();
    return LocateProgramFiles(caller, CurrentUserFolders());
}

}  // namespace quotaplan
