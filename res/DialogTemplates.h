#pragma once

#include <string>
#include <vector>

enum class ControlKind {
    GroupBox,
    DropDownList,
    DropDownCombo, // a drop-down list whose box also takes typed text
    PushButton,
    DefaultPushButton,
    Text,
    Icon,
    EditLine,    // one line, bordered, scrolling sideways
    ProgressBar, // bordered, without text
    Preview,     // black frame that a dialog paints into
    Table,       // rows and columns of cells; the items are the column headers
};

// One control of a dialog template; the rectangle is in dialog units. For a drop-down list the
// height is that of the dropped list.
struct ControlTemplate
{
    ControlKind kind;
    std::string objectName;
    std::string text;
    int x, y, width, height;
    std::vector<std::string> items = {};
};

struct DialogTemplate
{
    int id;
    std::string caption;
    int width, height;
    std::vector<ControlTemplate> controls;
};

// Push buttons that end a dialog: the OK and Cancel of every template.
constexpr const char* OkButtonName = "okButton";
constexpr const char* CancelButtonName = "cancelButton";

// "00", "01", ... with the given number of digits, counting from first.
std::vector<std::string> NumberedItems(int first, int count, int digits);

const DialogTemplate& AboutDialogTemplate();
const DialogTemplate& CommSettingDialogTemplate();
const DialogTemplate& PortAssignDialogTemplate();
const DialogTemplate& PictureNoDialogTemplate();
const DialogTemplate& TitleDialogTemplate();
const DialogTemplate& TitleTableDialogTemplate();
const DialogTemplate& SendHistoryDialogTemplate();
const DialogTemplate& WhiteLevelDialogTemplate();
const DialogTemplate& VerticalOffsetDialogTemplate();
const DialogTemplate& HorizontalOffsetDialogTemplate();
