// The command line of the real program: what each option prints, its exit status, and what
// --set leaves in the settings file.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "integration/IntegrationSupport.h"

namespace karune::test {
namespace {

struct CommandCase {
    const char* name;
    std::vector<std::string> args;  // after --home; "{out}" is the save folder, "{home}" the home
    int status;
    std::string out;  // standard output holds this
    std::string err;  // standard error holds this
    SettingsLine after;
    bool noSettingsFile = false;
    std::map<std::string, std::string> env = {};
};

std::string fieldItems() {
    std::string items;
    for (int n = 1; n <= 20; ++n)
        items += "F" + std::to_string(n) + "=1\n";
    return items;
}

TEST(CommandLine, AnswersEachOptionAndSavesOnlyAcceptedSettings) {
    SettingsLine changed;
    changed.port = 3;
    changed.autoStart = 1;
    changed.fixFname = cp932("ﾃｽﾄ 1");
    changed.fields[19] = 0;
    SettingsLine onPort2;
    onPort2.port = 2;
    const std::map<std::string, std::string> noDisplay = {
        {"QT_QPA_PLATFORM", ""}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}};
    const CommandCase cases[] = {
        {"version", {"--version"}, 0, "karune-modem 3.4.0\n", "", {}},
        {"help", {"--help"}, 0, "", "home folder: {home}\n", {}},
        {"unknown option", {"--headles"}, 2, "", "unknown option '--headles'\nusage: ", {}},
        {"no display", {}, 2, "", "no display found", {}, false, noDisplay},
        {"settings",
         {"--settings"},
         0,
         "AddDate=0\nFixFname=\nFolder={out}\nPort=1\nCrcType=0\nOverWrite=0\nStartUpSize=0\n"
         "AutoStart=0\nProtocol=0\n" +
             fieldItems() + "TimeAdjust=1\n",
         "settings file: ",
         {}},
        {"set", {"--set", "Port=3", "AutoStart=1", "FixFname=ﾃｽﾄ 1", "F20=0"}, 0, "", "", changed},
        {"one refused", {"--set", "Port=3", "Port=9"}, 2, "", "Port: \"9\"", {}},
        {"missing folder", {"--set", "Folder={out}/gone"}, 2, "", "Folder: ", {}},
        {"not in CP932", {"--set", "FixFname=\xF0\x9F\x98\x80"}, 2, "", "FixFname", {}},
        {"set without a file",
         {"--set", "Folder={out}", "Port=2"},
         0,
         "",
         "ﾌｧｲﾙなし",
         onPort2,
         true},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        Home home;
        if (!c.noSettingsFile)
            home.write(SettingsLine{});
        auto expand = [&](std::string text) {
            for (const auto& [token, path] : {std::pair{"{out}", home.out}, {"{home}", home.dir}})
                for (auto at = text.find(token); at != std::string::npos; at = text.find(token))
                    text.replace(at, std::string_view(token).size(), path.string());
            return text;
        };
        std::vector<std::string> args = {"--home", home.dir.string()};
        for (const std::string& arg : c.args)
            args.push_back(expand(arg));
        ChildProcess program(modemProgram(), args, c.env);
        ASSERT_EQ(program.waitForExit(20s), c.status) << program.errorOutput();
        std::string out;
        for (const std::string& line : program.lines())
            out += line + "\n";
        EXPECT_NE(out.find(expand(c.out)), std::string::npos) << out;
        EXPECT_NE(program.errorOutput().find(expand(c.err)), std::string::npos)
            << program.errorOutput();
        SettingsLine after = c.after;
        after.folder = home.out.string();
        EXPECT_EQ(fileBytes(home.dir / "karune-modem.ini"), after.text());
    }
}

}  // namespace
}  // namespace karune::test
