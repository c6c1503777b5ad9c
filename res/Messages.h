#pragma once

#include <array>

// Every text the program shows in a message box, and the boxes' captions. Where a reason or a path
// follows on further lines, the text here is the box's first line. The operator's guide names
// each of them in its message tables, and a test keeps the two in step: a new message goes here
// and into the guide.
namespace Message {

inline constexpr const char* Success = "Success";
inline constexpr const char* ModeError = "Mode Error";
inline constexpr const char* MenuDisplay = "Menu Display";
inline constexpr const char* FramingError = "Framing Error";
inline constexpr const char* ParityError = "Parity Error";
inline constexpr const char* OverRunError = "Over Run Error";
inline constexpr const char* CommandError = "Command Error";
inline constexpr const char* NoConnect = "No Connect";
// Beneath "No Connect" and the sender's "no reply", where they apply; the second follows a count.
inline constexpr const char* CtsOff =
    "CTS is off: the device is off, or the cable has no handshake lines.";
inline constexpr const char* BytesWithoutLine =
    "bytes came without a reply line: the device's speed or parity may differ from 9600 baud, "
    "8 data bits, even parity, 1 stop bit.";
inline constexpr const char* FileOpenFailed = "Miss! File Open";
inline constexpr const char* MaskSetFailed = "Miss! Mask Set";
inline constexpr const char* BufferSetFailed = "Miss! Buffer Set";
inline constexpr const char* TimeOutSetFailed = "Miss! Time Out Set";
inline constexpr const char* CommStateFailed = "Miss! Set Comm State";
inline constexpr const char* ReadThreadFailed = "error creating read thread";
inline constexpr const char* ChooseSlave = "Slave No. を選択してください";
inline constexpr const char* NotJis = "ＪＩＳ第１水準,第２水準以外の字が選択されてます";
inline constexpr const char* PastedOutside = "表の外に出るため貼り付けなかったセル:";
inline constexpr const char* MarkedNotSent = "デバイスが表示できないため送信しなかったタイトル:";
inline constexpr const char* CsvRefused = "CSV ファイルを読み込めません。何も変更していません:";
// After a count of titles.
inline constexpr const char* TitlesWidened = "タイトルを全角に直しました";
inline constexpr const char* ChooseValue = "Choose a value first";
inline constexpr const char* CantFileOpen = "Can't file open";
inline constexpr const char* TitlesMadeShiftJis =
    "UTF-8 で書かれたタイトルを Shift_JIS に直しました。保存すると Shift_JIS で書かれます。";
inline constexpr const char* AlreadyRunning = "既に起動しています。";
inline constexpr const char* NewQuestion = "データを保存せずに新規作成しますか？";
inline constexpr const char* OpenQuestion = "データを保存せずに別のファイルを開きますか？";
inline constexpr const char* ExitQuestion = "データを保存せずに終了しますか？";
inline constexpr const char* RecoveryQuestion =
    "前回保存されなかった設定があります。復元しますか？";
inline constexpr const char* RecoveryUnreadable =
    "前回保存されなかった設定を読み込めません。次の名前で残してあります:";
inline constexpr const char* GuideMissing = "操作ガイドのページがありません:";
inline constexpr const char* GuideNotOpened =
    "操作ガイドを開けませんでした。ブラウザで次のページを開いてください:";

inline constexpr std::array All = {
    Success,          ModeError,        MenuDisplay,
    FramingError,     ParityError,      OverRunError,
    CommandError,     NoConnect,        CtsOff,
    BytesWithoutLine, FileOpenFailed,   MaskSetFailed,
    BufferSetFailed,  TimeOutSetFailed, CommStateFailed,
    ReadThreadFailed, ChooseSlave,      NotJis,
    ChooseValue,      CantFileOpen,     PastedOutside,
    MarkedNotSent,    CsvRefused,       TitlesWidened,
    AlreadyRunning,   NewQuestion,      OpenQuestion,
    ExitQuestion,     RecoveryQuestion, RecoveryUnreadable,
    GuideMissing,     GuideNotOpened,   TitlesMadeShiftJis,
};

} // namespace Message

namespace Caption {

inline constexpr const char* Error = "Error";
inline constexpr const char* Done = "設定完了";
inline constexpr const char* Program = "mrv508";

inline constexpr std::array All = {Error, Done, Program};

} // namespace Caption
