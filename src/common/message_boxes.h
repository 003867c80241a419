#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quotaplan {

enum class BoxIcon { None, Information, Exclamation, Critical };
enum class BoxButtons { Ok, YesNo, YesNoCancel };
enum class BoxAnswer { Ok, Yes, No, Cancel };

// One modal box as the program asks for it: the final prompt and title, already built.
struct BoxRequest {
    std::string prompt;
    std::string title;
    BoxIcon icon = BoxIcon::None;
    BoxButtons buttons = BoxButtons::Ok;
};

// A choice among named entries, as the program asks for it: the prompt above the list, the
// title, the entries in the order shown, the one chosen when the box opens ("" for none), and
// the caption of an entry that stands for no choice at all ("" when there is none).
struct ChoiceRequest {
    std::string prompt;
    std::string title;
    std::vector<std::string> choices;
    std::string current;
    std::string noneCaption;
};

// What shows boxes to the user: the window's dialogs, standard error on the command line,
// or a recorder in tests.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the box and waits for the answer (Ok for an OK box, Yes or No, or Cancel for a
    // box that offers it: closing such a box is Cancel).
    virtual BoxAnswer Show(const BoxRequest& box) = 0;
    // The input box: returns the text entered, nullopt on Cancel.
    virtual std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                               const std::string& defaultText) = 0;
    // The file chooser: the path of an existing file the user picked, nullopt on Cancel.
    // `filter` lists the kinds offered, as "Valori (*.csv *.txt);;Tutti i file (*)". Where
    // no one can choose (the command line), nullopt.
    virtual std::optional<std::string> AskOpenFile(const std::string& title,
                                                   const std::string& filter) {
        static_cast<void>(title);
        static_cast<void>(filter);
        return std::nullopt;
    }
    // The list chooser: the entry picked ("" for the entry of noneCaption), nullopt on
    // Cancel. Where no one can choose (the command line), nullopt.
    virtual std::optional<std::string> AskChoice(const ChoiceRequest& request) {
        static_cast<void>(request);
        return std::nullopt;
    }
};

// OK box. An empty title: the default title and no icon. Otherwise the title, two blanks,
// the program title, one blank and the version, with the exclamation icon.
void ShowMessage(MessageBoxes& boxes, std::string_view prompt, std::string_view title);

// Yes/No box with the information icon. The title: the default title when empty, otherwise
// the title, one blank and the version (without the program title). Returns the answer.
BoxAnswer AskYesNo(MessageBoxes& boxes, std::string_view prompt, std::string_view title);

// Yes/No/Cancel box with the question icon under the default title: Yes, No, or Cancel
// (also for a box closed without an answer).
BoxAnswer AskYesNoCancel(MessageBoxes& boxes, std::string_view prompt);

// Critical OK box. The prompt is the description, followed when errorNumber is not 0 by a
// line feed, "Errore Numero: " and the number in five digits (00013). The title is the
// given one, or the program title alone when empty.
void ShowError(MessageBoxes& boxes, std::int16_t errorNumber, std::string_view description,
               std::string_view title);

// Critical OK box. The prompt is the description, followed when location is not empty by a
// line feed, "Indirizzo errore: " and the location. The title: the default title when
// empty, otherwise the title, one blank, the program title, one blank and the version.
void ReportError(MessageBoxes& boxes, std::string_view location, std::string_view description,
                 std::string_view title);

// OK box with the given icon and the title exactly as given; an empty title gives the
// application title ("Quotaplan 4").
void ShowPlainBox(MessageBoxes& boxes, std::string_view prompt, std::string_view title,
                  BoxIcon icon);

}  // namespace quotaplan
