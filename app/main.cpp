#include "app/CMrv508App.h"
#include "app/TitlesCommand.h"

#include <cstdio>
#include <iostream>
#include <string_view>

namespace {

const char* const Help =
    "Usage: mrv508 [Qt options]\n"
    "   or: mrv508 --export-titles FILE.dat [OUT.csv]\n"
    "   or: mrv508 --import-titles TITLES.csv [--base BASE.dat] -o OUT.dat\n"
    "Edits the title lines, white levels, screen offsets and picture numbers of an MRV-508\n"
    "two-channel Kanji title generator and sends them over a serial line (RS-232C or RS-485).\n"
    "\n"
    "The ports COM1 to COM6 of the communication settings are the devices named in the\n"
    "[Ports] section of ~/.config/mrv508/mrv508.ini ($XDG_CONFIG_HOME/mrv508/mrv508.ini when\n"
    "that is set), /dev/ttyS0 to /dev/ttyS5 where it names none. Only one copy runs at a time.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  --version      show the version and exit\n"
    "  --export-titles FILE.dat [OUT.csv]\n"
    "                 write the 66 titles of FILE.dat as CSV (UTF-8), to OUT.csv or to\n"
    "                 standard output, and exit\n"
    "  --import-titles TITLES.csv [--base BASE.dat] -o OUT.dat\n"
    "                 write OUT.dat with the titles of TITLES.csv (UTF-8 or Shift_JIS;\n"
    "                 rows \"Bottom 1\" to \"Bottom32\" and \"Top\", cells ch.1 and ch.2)\n"
    "                 and all else from BASE.dat or the start values; half-width\n"
    "                 characters are made full-width; nothing is written when a row is wrong\n"
    "Qt's own options, such as -platform NAME, work as in every Qt program.\n"
    "\n"
    "Exit status of --export-titles and --import-titles: 0 done, 2 wrong arguments, a file\n"
    "that cannot be read or written, or a CSV row that cannot be taken (FILE:LINE: why).\n";

} // namespace

int main(int argc, char** argv)
{
    // Answered before Qt starts, so that they need no display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "-h" || option == "--help") {
            std::fputs(Help, stdout);
            return 0;
        }
        if (option == "--version") {
            std::puts("mrv508 " MRV508_VERSION);
            return 0;
        }
    }
    if (const auto status = RunTitlesCommand({argv + 1, argv + argc}, std::cout, std::cerr))
        return *status;
    CMrv508App app(argc, argv);
    return app.Run();
}
