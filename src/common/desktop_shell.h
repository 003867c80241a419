#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quotaplan {

// What the program asks of the desktop: open a web address or a file with the program
// the desktop associates with it, or open a text file in the desktop's text editor.
// Each call returns false when the desktop could not do it. Nothing waits for the
// program opened.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;
    virtual bool OpenUrl(const std::string& url) = 0;
    virtual bool OpenFile(const std::filesystem::path& file) = 0;
    virtual bool OpenInTextEditor(const std::filesystem::path& file) = 0;
};

// A shell for tests: records every request and answers with `succeeds`.
class RecordingDesktopShell : public DesktopShell {
public:
    enum class Kind { Url, File, TextEditor };
    struct Request {
        Kind kind;
        std::string target;  // the address, or the file's full path
    };

    bool OpenUrl(const std::string& url) override { return Record(Kind::Url, url); }
    bool OpenFile(const std::filesystem::path& file) override {
        return Record(Kind::File, file.string());
    }
    bool OpenInTextEditor(const std::filesystem::path& file) override {
        return Record(Kind::TextEditor, file.string());
    }

    std::vector<Request> requests;
    bool succeeds = true;

private:
    bool Record(Kind kind, std::string target) {
        requests.push_back({kind, std::move(target)});
        return succeeds;
    }
};

}  // namespace quotaplan
