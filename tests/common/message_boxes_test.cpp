#include "common/message_boxes.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "common/program_info.h"
#include "common/recording_message_boxes.h"
#include "common/stderr_message_boxes.h"

namespace quotaplan {
namespace {

struct BoxCase {
    const char* name;
    std::function<void(MessageBoxes&)> show;
    BoxRequest expected;
};

class BoxTitleRules : public testing::TestWithParam<BoxCase> {};

TEST_P(BoxTitleRules, BuildsPromptTitleIconAndButtons) {
    RecordingMessageBoxes boxes;
    GetParam().show(boxes);
    ASSERT_EQ(boxes.shown.size(), 1u);
    const BoxRequest& shown = boxes.shown.front();
    const BoxRequest& expected = GetParam().expected;
    EXPECT_EQ(shown.prompt, expected.prompt);
    EXPECT_EQ(shown.title, expected.title);
    EXPECT_EQ(shown.icon, expected.icon);
    EXPECT_EQ(shown.buttons, expected.buttons);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BoxTitleRules,
    testing::Values(
        BoxCase{"MessageNoTitle",
                [](MessageBoxes& b) { ShowMessage(b, "Salvato.", ""); },
                {"Salvato.", "Quotaplan 4.0.0", BoxIcon::None, BoxButtons::Ok}},
        BoxCase{
            "MessageWithTitle",
            [](MessageBoxes& b) { ShowMessage(b, "Valore non valido", "Errore"); },
            {"Valore non valido", "Errore  Quotaplan 4.0.0", BoxIcon::Exclamation, BoxButtons::Ok}},
        BoxCase{"MessageEmptyPrompt",
                [](MessageBoxes& b) { ShowMessage(b, "", ""); },
                {"", "Quotaplan 4.0.0", BoxIcon::None, BoxButtons::Ok}},
        BoxCase{"YesNoNoTitle",
                [](MessageBoxes& b) { AskYesNo(b, "Eliminare?", ""); },
                {"Eliminare?", "Quotaplan 4.0.0", BoxIcon::Information, BoxButtons::YesNo}},
        BoxCase{"YesNoWithTitle",
                [](MessageBoxes& b) { AskYesNo(b, "Eliminare?", "Conferma"); },
                {"Eliminare?", "Conferma 4.0.0", BoxIcon::Information, BoxButtons::YesNo}},
        BoxCase{"YesNoCancel",
                [](MessageBoxes& b) { AskYesNoCancel(b, "Salvare le modifiche?"); },
                {"Salvare le modifiche?", "Quotaplan 4.0.0", BoxIcon::Exclamation,
                 BoxButtons::YesNoCancel}},
        BoxCase{"ErrorNumbered",
                [](MessageBoxes& b) { ShowError(b, 7, "Overflow", ""); },
                {"Overflow\nErrore Numero: 00007", "Quotaplan", BoxIcon::Critical, BoxButtons::Ok}},
        BoxCase{"ErrorTypeMismatch",
                [](MessageBoxes& b) { ShowError(b, 13, "Tipo non corrispondente", "Calcolo"); },
                {"Tipo non corrispondente\nErrore Numero: 00013", "Calcolo", BoxIcon::Critical,
                 BoxButtons::Ok}},
        BoxCase{"ErrorNumberZero",
                [](MessageBoxes& b) { ShowError(b, 0, "Attenzione", ""); },
                {"Attenzione", "Quotaplan", BoxIcon::Critical, BoxButtons::Ok}},
        BoxCase{"ErrorNegativeNumber",
                [](MessageBoxes& b) { ShowError(b, -2147, "Errore del motore", ""); },
                {"Errore del motore\nErrore Numero: -02147", "Quotaplan", BoxIcon::Critical,
                 BoxButtons::Ok}},
        BoxCase{
            "ReportWithLocation",
            [](MessageBoxes& b) { ReportError(b, "ADO_connConnectDB", "File non trovato", ""); },
            {"File non trovato\nIndirizzo errore: ADO_connConnectDB", "Quotaplan 4.0.0",
             BoxIcon::Critical, BoxButtons::Ok}},
        BoxCase{
            "ReportWithTitle",
            [](MessageBoxes& b) { ReportError(b, "", "File non trovato", "Archivio"); },
            {"File non trovato", "Archivio Quotaplan 4.0.0", BoxIcon::Critical, BoxButtons::Ok}},
        BoxCase{"PlainBox",
                [](MessageBoxes& b) {
                    ShowPlainBox(b, "Valore bene troppo alto", "Quotaplan", BoxIcon::Exclamation);
                },
                {"Valore bene troppo alto", "Quotaplan", BoxIcon::Exclamation, BoxButtons::Ok}},
        BoxCase{
            "PlainBoxNoTitle",
            [](MessageBoxes& b) { ShowPlainBox(b, " è già in esecuzione", "", BoxIcon::Critical); },
            {" è già in esecuzione", "Quotaplan 4", BoxIcon::Critical, BoxButtons::Ok}}),
    [](const testing::TestParamInfo<BoxCase>& info) { return info.param.name; });

TEST(ProgramInfo, TitleAndVersion) {
    EXPECT_EQ(ProgramVersion(), "4.0.0");
    EXPECT_EQ(ProgramTitle(), "Quotaplan");
    EXPECT_EQ(DefaultBoxTitle(), "Quotaplan 4.0.0");
    EXPECT_STREQ(kApplicationTitle, "Quotaplan 4");

    SetProgramTitle("");
    EXPECT_EQ(ProgramTitle(), "Quotaplan");
    SetProgramTitle("Leasing");
    EXPECT_EQ(DefaultBoxTitle(), "Leasing 4.0.0");
    RecordingMessageBoxes boxes;
    ShowMessage(boxes, "x", "Errore");
    ShowError(boxes, 5, "y", "");
    SetProgramTitle("Quotaplan");
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].title, "Errore  Leasing 4.0.0");
    EXPECT_EQ(boxes.shown[1].title, "Leasing");
}

TEST(RecordingMessageBoxes, AnswersFromScriptsThenDefaults) {
    RecordingMessageBoxes boxes;
    boxes.ScriptAnswer(BoxAnswer::Yes);
    boxes.ScriptText(std::string("6,5"));
    boxes.ScriptText(std::nullopt);
    boxes.ScriptText(std::string(""));

    ShowMessage(boxes, "ok", "");  // an OK box does not use up the Yes
    EXPECT_EQ(AskYesNo(boxes, "a?", ""), BoxAnswer::Yes);
    EXPECT_EQ(AskYesNo(boxes, "b?", ""), BoxAnswer::No);
    boxes.ScriptAnswer(BoxAnswer::No);
    EXPECT_EQ(AskYesNoCancel(boxes, "c?"), BoxAnswer::No);
    EXPECT_EQ(AskYesNoCancel(boxes, "d?"), BoxAnswer::Cancel);  // nothing scripted: stay
    EXPECT_EQ(boxes.AskText("Tasso", "Variazione", "6"), std::optional<std::string>("6,5"));
    EXPECT_EQ(boxes.AskText("Tasso", "Variazione", "6"), std::nullopt);
    EXPECT_EQ(boxes.AskText("Tasso", "Variazione", "6"), std::optional<std::string>(""));
    EXPECT_EQ(boxes.AskText("Tasso", "Variazione", "7"), std::nullopt);

    ASSERT_EQ(boxes.shown.size(), 5u);
    EXPECT_EQ(boxes.shown[1].prompt, "a?");
    ASSERT_EQ(boxes.asked.size(), 4u);
    EXPECT_EQ(boxes.asked[3].prompt, "Tasso");
    EXPECT_EQ(boxes.asked[3].title, "Variazione");
    EXPECT_EQ(boxes.asked[3].defaultText, "7");
}

TEST(StderrMessageBoxes, WritesTitleAndPromptAndAnswersNo) {
    std::ostringstream out;
    StderrMessageBoxes boxes(out);
    ShowError(boxes, 11, "Divisione per zero", "");
    EXPECT_EQ(AskYesNo(boxes, "Continuare?", ""), BoxAnswer::No);
    // No one answers here: nothing is done that was not asked for.
    EXPECT_EQ(AskYesNoCancel(boxes, "Salvare?"), BoxAnswer::Cancel);
    EXPECT_EQ(boxes.AskText("Nuovo tasso", "Quotaplan", "5"), std::nullopt);
    EXPECT_EQ(out.str(),
              "Quotaplan: Divisione per zero\nErrore Numero: 00011\n"
              "Quotaplan 4.0.0: Continuare?\n"
              "Quotaplan 4.0.0: Salvare?\n"
              "Quotaplan: Nuovo tasso\n");
}

}  // namespace
}  // namespace quotaplan
