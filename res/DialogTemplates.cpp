#include "res/DialogTemplates.h"

#include "settings/DeviceSettings.h"

#include <cstdio>

std::vector<std::string> NumberedItems(int first, int count, int digits)
{
    std::vector<std::string> items;
    for (int value = first; value < first + count; ++value) {
        char text[16];
        std::snprintf(text, sizeof text, "%0*d", digits, value);
        items.emplace_back(text);
    }
    return items;
}

const DialogTemplate& AboutDialogTemplate()
{
    static const DialogTemplate about = {
        100,
        "mrv508のﾊﾞｰｼﾞｮﾝ情報",
        174,
        55,
        {
            {ControlKind::Icon, "iconLabel", "", 11, 17, 20, 20},
            {ControlKind::Text, "versionLabel", "mrv508 Version 1.32", 40, 10, 65, 8},
            {ControlKind::DefaultPushButton, OkButtonName, "OK", 115, 20, 50, 14},
        }};
    return about;
}

const DialogTemplate& CommSettingDialogTemplate()
{
    static const DialogTemplate comm = {
        130,
        "通信設定",
        139,
        108,
        {
            {ControlKind::GroupBox, "controlGroup", "Control", 75, 5, 60, 25},
            {ControlKind::DropDownList, "controlCombo", "", 80, 15, 48, 55, {"RS-232C", "RS-485"}},
            {ControlKind::GroupBox, "portGroup", "COM Port", 5, 5, 60, 30},
            {ControlKind::DropDownList,
             "portCombo",
             "",
             10,
             15,
             48,
             65,
             {"COM 1", "COM 2", "COM 3", "COM 4", "COM 5", "COM 6"}},
            {ControlKind::DefaultPushButton, OkButtonName, "OK", 10, 40, 50, 14},
            {ControlKind::PushButton, CancelButtonName, "ｷｬﾝｾﾙ", 80, 40, 50, 14},
            // Beneath the seed's controls: what the chosen COM name stands for on this machine.
            {ControlKind::Text, "portDeviceLabel", "", 5, 59, 129, 27},
            {ControlKind::PushButton, "assignButton", "ポート割り当て...", 5, 89, 70, 14},
        }};
    return comm;
}

const DialogTemplate& PortAssignDialogTemplate()
{
    static const DialogTemplate assign = [] {
        std::vector<ControlTemplate> controls;
        for (int row = 0; row < 6; ++row) {
            const std::string com = "com" + std::to_string(row + 1);
            const int y = 8 + 17 * row;
            controls.push_back({ControlKind::Text, com + "Label", "COM " + std::to_string(row + 1),
                                7, y + 2, 25, 8});
            controls.push_back({ControlKind::DropDownCombo, com + "Combo", "", 35, y, 200, 80});
            controls.push_back({ControlKind::Text, com + "State", "", 242, y + 2, 108, 8});
        }
        controls.push_back({ControlKind::PushButton, "refreshButton", "更新", 7, 115, 50, 14});
        controls.push_back({ControlKind::DefaultPushButton, OkButtonName, "OK", 242, 115, 50, 14});
        controls.push_back({ControlKind::PushButton, CancelButtonName, "ｷｬﾝｾﾙ", 300, 115, 50, 14});
        return DialogTemplate{150, "ポート割り当て", 355, 136, controls};
    }();
    return assign;
}

const DialogTemplate& PictureNoDialogTemplate()
{
    static const DialogTemplate picture = {
        145,
        "Picture番号の設定",
        169,
        59,
        {
            {ControlKind::GroupBox, "pictureGroup", "Picture No.", 5, 5, 48, 30},
            {ControlKind::DropDownList, "pictureCombo", "", 10, 15, 35, 75,
             NumberedItems(1, 32, 2)},
            {ControlKind::GroupBox, "channelGroup", "Channel No.", 60, 5, 48, 30},
            {ControlKind::DropDownList, "channelCombo", "", 65, 15, 35, 60, {"ch.1", "ch.2"}},
            {ControlKind::GroupBox, "slaveGroup", "Slave No.", 115, 5, 48, 30},
            {ControlKind::DropDownList, "slaveCombo", "", 120, 15, 35, 80, NumberedItems(0, 32, 2)},
            {ControlKind::PushButton, "setButton", "設定", 5, 40, 50, 14},
            {ControlKind::DefaultPushButton, OkButtonName, "OK", 60, 40, 50, 14},
            {ControlKind::PushButton, CancelButtonName, "ｷｬﾝｾﾙ", 115, 40, 50, 14},
        }};
    return picture;
}

const DialogTemplate& TitleDialogTemplate()
{
    // An item's index is the title's position.
    static const DialogTemplate title = [] {
        std::vector<std::string> positions;
        for (int position = 0; position < TitleCount; ++position)
            positions.push_back(TitlePositionName(position));
        return DialogTemplate{
            131,
            "チャンネル１タイトル設定",
            355,
            310,
            {
                {ControlKind::GroupBox, "titleGroup", "Title", 76, 241, 115, 30},
                {ControlKind::EditLine, "titleEdit", "", 81, 251, 105, 14},
                {ControlKind::GroupBox, "positionGroup", "Position", 7, 241, 60, 30},
                {ControlKind::DropDownList, "positionCombo", "", 13, 251, 48, 203, positions},
                {ControlKind::GroupBox, "slaveGroup", "Slave No.", 199, 242, 49, 30},
                {ControlKind::DropDownList, "slaveCombo", "", 204, 254, 38, 85,
                 NumberedItems(0, 32, 2)},
                {ControlKind::GroupBox, "channelGroup", "Channel No.", 254, 241, 51, 30},
                {ControlKind::DropDownList, "channelCombo", "", 260, 253, 39, 60, {"ch.1", "ch.2"}},
                {ControlKind::Preview, "previewFrame", "", 0, 0, 355, 235},
                {ControlKind::PushButton, "setButton", "設定", 312, 243, 36, 14},
                {ControlKind::DefaultPushButton, OkButtonName, "OK", 313, 267, 35, 14},
                {ControlKind::PushButton, CancelButtonName, "ｷｬﾝｾﾙ", 313, 289, 35, 14},
                {ControlKind::PushButton, "allSetButton", "全設定", 13, 279, 50, 14},
                {ControlKind::ProgressBar, "progressBar", "", 63, 279, 242, 14},
            }};
    }();
    return title;
}

const DialogTemplate& TitleTableDialogTemplate()
{
    static const DialogTemplate table = {
        160,
        "タイトル一覧",
        350,
        300,
        {
            {ControlKind::Table, "titleTable", "", 7, 7, 336, 238, {"ch.1", "ch.2"}},
            {ControlKind::GroupBox, "slaveGroup", "Slave No.", 7, 250, 49, 30},
            {ControlKind::DropDownList, "slaveCombo", "", 12, 262, 38, 85, NumberedItems(0, 32, 2)},
            {ControlKind::PushButton, "sendSelectionButton", "選択範囲を送信", 63, 256, 70, 14},
            {ControlKind::PushButton, "sendChangedButton", "変更分を送信", 138, 256, 60, 14},
            {ControlKind::PushButton, "importButton", "CSV 読み込み...", 203, 256, 65, 14},
            {ControlKind::PushButton, "exportButton", "CSV 書き出し...", 273, 256, 65, 14},
            {ControlKind::ProgressBar, "progressBar", "", 63, 276, 220, 10},
            {ControlKind::DefaultPushButton, CancelButtonName, "閉じる", 293, 281, 50, 14},
        }};
    return table;
}

const DialogTemplate& SendHistoryDialogTemplate()
{
    static const DialogTemplate history = {
        170,
        "送信履歴",
        260,
        160,
        {
            {ControlKind::Text, "lineLabel", "", 7, 7, 246, 20},
            {ControlKind::Table,
             "historyTable",
             "",
             7,
             30,
             246,
             106,
             {"Slave No.", "最後に受け付けた日時", "設定と異なる項目"}},
            {ControlKind::DefaultPushButton, CancelButtonName, "閉じる", 203, 141, 50, 14},
        }};
    return history;
}

const DialogTemplate& WhiteLevelDialogTemplate()
{
    static const DialogTemplate whiteLevel = {
        133,
        "チャンネル1ホワイトレベル設定",
        299,
        169,
        {
            {ControlKind::GroupBox, "pictureGroup", "Picture", 5, 135, 40, 30},
            {ControlKind::DropDownList, "pictureCombo", "", 10, 145, 30, 85,
             NumberedItems(1, 32, 2)},
            {ControlKind::GroupBox, "levelGroup", "White Level", 50, 135, 45, 30},
            {ControlKind::DropDownList, "levelCombo", "", 60, 145, 30, 75, NumberedItems(0, 10, 1)},
            {ControlKind::GroupBox, "slaveGroup", "Slave No.", 100, 135, 40, 30},
            {ControlKind::DropDownList, "slaveCombo", "", 105, 145, 30, 85,
             NumberedItems(0, 32, 2)},
            {ControlKind::GroupBox, "channelGroup", "Channel No.", 155, 135, 40, 30},
            {ControlKind::DropDownList, "channelCombo", "", 160, 145, 30, 60, {"ch.1", "ch.2"}},
            {ControlKind::Preview, "previewFrame", "", 0, 0, 300, 130},
            {ControlKind::PushButton, "setButton", "設定", 210, 145, 35, 14},
            {ControlKind::DefaultPushButton, OkButtonName, "OK", 260, 135, 35, 14},
            {ControlKind::PushButton, CancelButtonName, "ｷｬﾝｾﾙ", 260, 155, 35, 14},
        }};
    return whiteLevel;
}

namespace {

// The two offset dialogs differ only in these.
DialogTemplate offsetDialogTemplate(int id, const char* caption, const char* groupText,
                                    int offsetCount, int channelHeight, int slaveHeight)
{
    const std::vector<std::string> channels = {"ch.1", "ch.2"};
    return {
        id,
        caption,
        169,
        59,
        {
            {ControlKind::GroupBox, "offsetGroup", groupText, 5, 5, 48, 30},
            {ControlKind::DropDownList, "offsetCombo", "", 10, 15, 35, 75,
             NumberedItems(0, offsetCount, 2)},
            {ControlKind::GroupBox, "channelGroup", "Channel No.", 60, 5, 48, 30},
            {ControlKind::DropDownList, "channelCombo", "", 65, 15, 35, channelHeight, channels},
            {ControlKind::GroupBox, "slaveGroup", "Slave No.", 115, 5, 48, 30},
            {ControlKind::DropDownList, "slaveCombo", "", 120, 15, 35, slaveHeight,
             NumberedItems(0, 32, 2)},
            {ControlKind::PushButton, "setButton", "設定", 5, 40, 50, 14},
            {ControlKind::DefaultPushButton, OkButtonName, "OK", 60, 40, 50, 14},
            {ControlKind::PushButton, CancelButtonName, "ｷｬﾝｾﾙ", 115, 40, 50, 14},
        }};
}

} // namespace

const DialogTemplate& VerticalOffsetDialogTemplate()
{
    static const DialogTemplate vertical =
        offsetDialogTemplate(141, "画面垂直オフセットの設定", "Vertical", 64, 60, 80);
    return vertical;
}

const DialogTemplate& HorizontalOffsetDialogTemplate()
{
    static const DialogTemplate horizontal =
        offsetDialogTemplate(143, "画面水平オフセットの設定", "Horizontal", 16, 75, 75);
    return horizontal;
}
