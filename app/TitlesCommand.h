#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// `mrv508 --export-titles FILE.dat [OUT.csv]` and
// `mrv508 --import-titles TITLES.csv [--base BASE.dat] -o OUT.dat`, run without a window.
// `arguments` follow the program's name. The exit status (0 done, 2 wrong arguments or a file
// that cannot be read, taken or written), or nothing when the arguments ask for neither.
std::optional<int> RunTitlesCommand(const std::vector<std::string>& arguments, std::ostream& out,
                                    std::ostream& err);
