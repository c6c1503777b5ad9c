#include "app/CMrv508App.h"

#include <cstdio>
#include <string_view>

namespace {

const char* const Help =
    "Usage: mrv508 [Qt options]\n"
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
    "Qt's own options, such as -platform NAME, work as in every Qt program.\n";

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
    CMrv508App app(argc, argv);
    return app.Run();
}
