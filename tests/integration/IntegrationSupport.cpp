#include "integration/IntegrationSupport.h"

#include <stdlib.h>

#include <regex>
#include <sstream>

#include "link/Cp932.h"

namespace karune::test {

std::string modemProgram() {
    return KARUNE_MODEM_BIN;
}

std::string simProgram() {
    return KARUNE_SIM_BIN;
}

std::string SettingsLine::text() const {
    std::ostringstream s;
    s << addDate << ",\"" << fixFname << "\",\"" << folder << "\"," << port << ',' << crcType << ','
      << overWrite << ',' << startUpSize << ',' << autoStart << ',' << protocol;
    for (int f : fields)
        s << ',' << f;
    s << ",\"" << timeAdjust << "\"\r\n";
    return s.str();
}

std::string cp932(std::string_view utf8) {
    return utf8ToCp932(utf8).value_or("<not CP932>");
}

std::string crlfLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

std::string maskDigits(std::string line, std::size_t count) {
    for (std::size_t i = 0; i < std::min(count, line.size()); ++i) {
        if (line[i] >= '0' && line[i] <= '9')
            line[i] = 'd';
    }
    return line;
}

std::vector<std::string> splitCrLf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos;
         at = bytes.find("\r\n", from)) {
        lines.push_back(bytes.substr(from, at - from));
        from = at + 2;
    }
    if (from < bytes.size())
        lines.push_back(bytes.substr(from));
    return lines;
}

std::vector<std::filesystem::path> historyFiles(const std::filesystem::path& folder) {
    static const std::regex kMonth(R"(\d{4}-\d{2}\.txt)");
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (std::regex_match(entry.path().filename().string(), kMonth))
            found.push_back(entry.path());
    }
    return found;
}

Home::Home() {
    std::filesystem::create_directories(dir);
    std::filesystem::create_directories(out);
}

void Home::write(SettingsLine settings) const {
    if (settings.folder.empty())
        settings.folder = out.string();
    writeFile(dir / "karune-modem.ini", settings.text());
}

Simulator startSimulator(const std::vector<std::string>& args) {
    Simulator sim;
    sim.process = std::make_unique<ChildProcess>(simProgram(), args);
    if (const auto first = sim.process->nextLine(10s))
        sim.ptyPath = *first;
    return sim;
}

std::unique_ptr<ChildProcess> startHeadless(const Home& home, const std::string& device) {
    return std::make_unique<ChildProcess>(
        modemProgram(), std::vector<std::string>{"--headless", "--home", home.dir.string()},
        std::map<std::string, std::string>{{"KARUNE_COM1", device}});
}

}  // namespace karune::test
