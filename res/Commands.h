#pragma once

#include <array>

enum Command : int {
    ID_TITLE = 32778,
    ID_WHITE_LEVEL = 32779,
    ID_VERTICAL_OFFSET = 32780,
    ID_HORIZONTAL_OFFSET = 32781,
    ID_PICTURE_NO = 32782,
    ID_COMM_SETTING = 32784,
    ID_DATA_NEW = 32785,
    ID_DATA_OPEN = 32786,
    ID_DATA_SAVE = 32787,
    ID_DATA_SAVE_AS = 32788,
    ID_HELP_GUIDE = 32789,
    ID_TITLE_TABLE = 32790,
    ID_SEND_HISTORY = 32791,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
};

// A command's menu text, its status-bar prompt and its tooltip, as the string table has them.
struct CommandText
{
    Command id;
    const char* menuText;
    const char* prompt;
    const char* tooltip;
};

struct MenuTemplate
{
    const char* title;
    std::array<int, 6> items; // command ids; 0 is a separator, -1 ends the menu
};

// A key that runs a command, as QKeySequence reads it.
struct Accelerator
{
    Command id;
    const char* keys;
};

extern const std::array<CommandText, 15> CommandTexts;
extern const std::array<MenuTemplate, 4> MainMenu;
extern const std::array<Command, 7> ToolbarButtons;
extern const std::array<Accelerator, 3> Accelerators;

const CommandText& TextOf(Command id);
