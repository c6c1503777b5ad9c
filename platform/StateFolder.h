#pragma once

#include <QString>

// The tool's folder for what it keeps between runs: $XDG_STATE_HOME/mrv508, by default
// ~/.local/state/mrv508. It may not exist yet; MakePrivateFolder makes it.
QString StateFolder();
