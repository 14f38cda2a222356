#include <gtest/gtest.h>

#include "TerminalFrames.h"
#include "TerminalPeer.h"
#include "link/Frame.h"

namespace karune::modemsim {
namespace {

struct Step {
    std::string pc;        // the PC's word
    std::string terminal;  // what the terminal answers, CR included
};

struct Dialogue {
    const char* what;
    TerminalOptions options;
    std::vector<Step> steps;
    std::optional<std::string> finalWord;
    int acknowledged;
};

TerminalOptions upload(std::vector<std::string> records, int crcType = 0) {
    TerminalOptions o;
    o.name = "abc";
    o.records = std::move(records);
    o.crcType = crcType;
    return o;
}

std::string frame(char seq, const std::string& payload, int crcType = 0, bool corrupt = false) {
    return recordFrame(seq, payload, crcType, corrupt) + "\r";
}

// The dialogue as PC word, terminal answer, PC word, terminal answer...
template <typename... Text>
std::vector<Step> steps(const Text&... texts) {
    const std::vector<std::string> flat = {std::string(texts)...};
    std::vector<Step> out;
    for (std::size_t i = 0; i + 1 < flat.size(); i += 2)
        out.push_back({flat[i], flat[i + 1]});
    return out;
}

TerminalOptions with(TerminalOptions o, int TerminalOptions::*field, int value) {
    o.*field = value;
    return o;
}

std::vector<Dialogue> dialogues() {
    const std::string name2 = fileNameFrame("abc", 2, 0) + "\r";
    const std::string name3 = fileNameFrame("abc", 3, 0) + "\r";
    TerminalOptions drop = upload({"R1", "R2", "R3"});
    drop.dropAfter = 1;
    return {
        {"NAK resends the record", upload({"R1", "R2"}),
         steps("VOL", name2, "ACK", frame('0', "R1"), "NAK", frame('0', "R1"), "NAK",
               frame('0', "R1"), "ACK", frame('1', "R2"), "NAK", frame('1', "R2"), "ACK", "END\r",
               "NAK", "END\r", "ACK", ""),
         "ACK", 2},
        {"first two sends of each record corrupt",
         with(upload({"R1", "R2"}), &TerminalOptions::corruptSends, 2),
         steps("VOL", name2, "ACK", frame('0', "R1", 0, true), "NAK", frame('0', "R1", 0, true),
               "NAK", frame('0', "R1"), "ACK", frame('1', "R2", 0, true), "NAK",
               frame('1', "R2", 0, true), "NAK", frame('1', "R2"), "ACK", "END\r"),
         std::nullopt, 2},
        {"first two records repeated after their ACK",
         with(upload({"R1", "R2", "R3"}), &TerminalOptions::repeatRecords, 2),
         steps("VOL", name3, "ACK", frame('0', "R1"), "ACK", frame('0', "R1"), "ACK",
               frame('1', "R2"), "ACK", frame('1', "R2"), "ACK", frame('2', "R3"), "ACK", "END\r",
               "ACK", ""),
         "ACK", 3},
        {"falls silent after one record", drop,
         steps("VOL", name3, "ACK", frame('0', "R1"), "ACK", "", "NAK", "", "TW20070606091500", "",
               "CAN", ""),
         std::nullopt, 1},
    };
}

TEST(TerminalPeer, AnswersThePcWordByWord) {
    for (const Dialogue& dialogue : dialogues()) {
        TerminalPeer terminal(dialogue.options);
        for (std::size_t i = 0; i < dialogue.steps.size(); ++i) {
            const Step& step = dialogue.steps[i];
            EXPECT_EQ(terminal.answer(step.pc), step.terminal)
                << dialogue.what << ", step " << i + 1 << " (" << step.pc << ")";
        }
        EXPECT_EQ(terminal.finalWord(), dialogue.finalWord) << dialogue.what;
        EXPECT_EQ(terminal.acknowledged(), dialogue.acknowledged) << dialogue.what;
    }
}

TEST(TerminalPeer, SequenceCharactersWrapAfterNine) {
    std::vector<std::string> records;
    for (int i = 0; i < 23; ++i)
        records.push_back("R" + std::to_string(i));
    for (int crcType : {0, 1}) {
        TerminalPeer terminal(upload(records, crcType));
        terminal.answer("VOL");
        std::string expected =
            "0123456789"
            "0123456789"
            "012";
        std::string seen;
        for (std::size_t i = 0; i < records.size(); ++i) {
            const std::string sent = terminal.answer("ACK");
            ASSERT_GE(sent.size(), 6u);
            seen += sent[1];
            const std::string line = sent.substr(0, sent.size() - 1);
            EXPECT_EQ(CheckFrame(line, static_cast<char>('0' + i % 10), crcType), FrameCheck::Valid)
                << line;
            EXPECT_EQ(FramePayload(line), records[i]);
        }
        EXPECT_EQ(seen, expected);
        EXPECT_EQ(terminal.answer("ACK"), "END\r");
    }
}

}  // namespace
}  // namespace karune::modemsim
