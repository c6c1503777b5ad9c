#include "app/TitlesCommand.h"

#include "platform/SafeFile.h"
#include "settings/DeviceSettings.h"
#include "settings/SettingsFileAccess.h"
#include "settings/TitlesCsv.h"

#include <algorithm>
#include <variant>

namespace {

constexpr int Done = 0;
constexpr int Failed = 2;
constexpr const char* Export = "--export-titles";
constexpr const char* Import = "--import-titles";

struct TitlesOptions
{
    std::string mode;
    std::vector<std::string> files;
    std::string base;
    std::string output;
};

// The options, or what is wrong with them.
std::variant<TitlesOptions, std::string> Parse(const std::vector<std::string>& arguments)
{
    TitlesOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool mode = argument == Export || argument == Import;
        if (argument == "--base" || argument == "-o") {
            if (++i == arguments.size())
                return argument + " needs a file";
            (argument == "-o" ? options.output : options.base) = arguments[i];
        } else if (mode && !options.mode.empty()) {
            return std::string("give one of --export-titles and --import-titles");
        } else if (mode) {
            options.mode = argument;
        } else if (argument.starts_with('-')) {
            return "unknown option " + argument;
        } else {
            options.files.push_back(argument);
        }
    }
    const size_t count = options.files.size();
    if (options.mode == Export &&
        (count < 1 || count > 2 || !options.base.empty() || !options.output.empty()))
        return std::string("usage: mrv508 --export-titles FILE.dat [OUT.csv]");
    if (options.mode == Import && (count != 1 || options.output.empty()))
        return std::string("usage: mrv508 --import-titles TITLES.csv [--base BASE.dat] -o OUT.dat");
    return options;
}

int ExportTitles(const TitlesOptions& options, std::ostream& out, std::ostream& err)
{
    const std::string& dat = options.files[0];
    if (!ReadSettingsFileAt(dat)) {
        err << "mrv508: " << dat << ": cannot read the file\n";
        return Failed;
    }
    const std::string csv = WriteTitlesCsv(RecordTitles(), CsvEncoding::Utf8WithBom);
    if (options.files.size() == 1) {
        out.write(csv.data(), static_cast<std::streamsize>(csv.size())).flush();
        if (out)
            return Done;
        err << "mrv508: cannot write to standard output\n";
        return Failed;
    }
    const WriteResult written = WriteFileSafely(options.files[1], csv);
    if (written)
        return Done;
    err << "mrv508: cannot write " << options.files[1] << ": " << written.failure << '\n';
    return Failed;
}

int ImportTitles(const TitlesOptions& options, std::ostream& err)
{
    const std::string& csvPath = options.files[0];
    ResetSettings();
    if (!options.base.empty() && !ReadSettingsFileAt(options.base)) {
        err << "mrv508: " << options.base << ": cannot read the file\n";
        return Failed;
    }
    const std::optional<std::string> csv = ReadFileAt(csvPath);
    if (!csv) {
        err << "mrv508: " << csvPath << ": cannot read the file\n";
        return Failed;
    }
    const auto read = ReadTitlesCsv(*csv);
    if (const auto* problem = std::get_if<TitlesCsvProblem>(&read)) {
        err << "mrv508: " << csvPath << ':' << problem->line << ": " << problem->what << '\n';
        return Failed;
    }
    const auto& import = std::get<TitlesCsvImport>(read);
    SetRecordTitles(MergeTitles(RecordTitles(), import));
    const WriteResult written = WriteSettingsFileAt(options.output);
    if (!written) {
        err << "mrv508: cannot write " << options.output << ": " << written.failure << '\n';
        return Failed;
    }
    if (import.widened > 0)
        err << "mrv508: " << csvPath << ": " << import.widened << " titles made full-width\n";
    return Done;
}

} // namespace

std::optional<int> RunTitlesCommand(const std::vector<std::string>& arguments, std::ostream& out,
                                    std::ostream& err)
{
    if (std::none_of(arguments.begin(), arguments.end(),
                     [](const std::string& a) { return a == Export || a == Import; }))
        return std::nullopt;
    const auto parsed = Parse(arguments);
    if (const auto* wrong = std::get_if<std::string>(&parsed)) {
        err << "mrv508: " << *wrong << '\n';
        return Failed;
    }
    const auto& options = std::get<TitlesOptions>(parsed);
    return options.mode == Export ? ExportTitles(options, out, err) : ImportTitles(options, err);
}
