#include "res/Commands.h"

#include <algorithm>
#include <cassert>

const std::array<CommandText, 15> CommandTexts = {{
    {ID_DATA_NEW, "新規作成", "", ""},
    {ID_DATA_OPEN, "開く", "既存のファイルを", ""},
    {ID_DATA_SAVE, "上書き保存", "", ""},
    {ID_DATA_SAVE_AS, "名前をつけて保存", "", ""},
    {ID_APP_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", "ｱﾌﾟﾘｹｰｼｮﾝを終了します", ""},
    {ID_TITLE, "タイトル", "タイトル設定", "タイトル"},
    {ID_TITLE_TABLE, "タイトル一覧", "両チャンネルのタイトルを表で編集、CSV で読み書き", ""},
    {ID_WHITE_LEVEL, "ホワイトレベル", "ホワイトレベルの設定", "ホワイトレベル"},
    {ID_VERTICAL_OFFSET, "画面垂直オフセット", "画面垂直オフセット", "垂直オフセット"},
    {ID_HORIZONTAL_OFFSET, "画面水平オフセット", "画面水平オフセット", "水平オフセット"},
    {ID_PICTURE_NO, "Picture番号", "Picture番号の設定", "Picture番号"},
    {ID_COMM_SETTING, "通信の設定", "通信の設定", "通信"},
    {ID_SEND_HISTORY, "送信履歴",
     "デバイスが最後に受け付けた日時と、開いている設定と異なる項目の数を表示", ""},
    {ID_HELP_GUIDE, "操作ガイド", "操作ガイドをブラウザで表示", ""},
    {ID_APP_ABOUT, "mrv508 のﾊﾞｰｼﾞｮﾝ情報(&A)...", "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示",
     "ﾊﾞｰｼﾞｮﾝ情報"},
}};

const std::array<MenuTemplate, 4> MainMenu = {{
    {"ファイル", {ID_DATA_NEW, ID_DATA_OPEN, ID_DATA_SAVE, ID_DATA_SAVE_AS, 0, ID_APP_EXIT}},
    {"設定",
     {ID_TITLE, ID_TITLE_TABLE, ID_WHITE_LEVEL, ID_VERTICAL_OFFSET, ID_HORIZONTAL_OFFSET,
      ID_PICTURE_NO}},
    {"通信", {ID_COMM_SETTING, -1, -1, -1, -1, -1}},
    {"情報", {ID_SEND_HISTORY, ID_HELP_GUIDE, ID_APP_ABOUT, -1, -1, -1}},
}};

const std::array<Command, 7> ToolbarButtons = {
    ID_TITLE,      ID_WHITE_LEVEL,  ID_VERTICAL_OFFSET, ID_HORIZONTAL_OFFSET,
    ID_PICTURE_NO, ID_COMM_SETTING, ID_APP_ABOUT};

const std::array<Accelerator, 3> Accelerators = {{
    {ID_DATA_NEW, "Ctrl+N"},
    {ID_DATA_OPEN, "Ctrl+O"},
    {ID_DATA_SAVE, "Ctrl+S"},
}};

const CommandText& TextOf(Command id)
{
    const auto found = std::find_if(CommandTexts.begin(), CommandTexts.end(),
                                    [id](const CommandText& text) { return text.id == id; });
    assert(found != CommandTexts.end());
    return *found;
}
