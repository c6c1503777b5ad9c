#include "editors/CTitleTableDlg.h"

#include "editors/TitleCommand.h"
#include "editors/TitleValidator.h"
#include "link/CommLink.h"
#include "platform/Cp932.h"
#include "platform/DialogBuilder.h"
#include "platform/FileDialogs.h"
#include "platform/InputMethod.h"
#include "platform/MessageOwner.h"
#include "platform/SafeFile.h"
#include "res/Messages.h"
#include "settings/DeviceSettings.h"
#include "settings/SettingsFileAccess.h"
#include "settings/TitlesCsv.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimerEvent>
#include <QUndoCommand>
#include <iostream>

namespace {

const QColor MarkedCell(255, 210, 210);
const QColor ChangedCell(255, 236, 170);

// The text as the title box would take it: characters without a CP932 code left out, blanks made
// full-width, cut at a character within 28 bytes.
std::string AsTitle(const QString& text)
{
    QString kept;
    for (const QChar c : text)
        if (c.isHighSurrogate() || c.isLowSurrogate() ? false : ToCp932(QString(c)).has_value())
            kept += c;
    int end = static_cast<int>(kept.size());
    TitleValidator().validate(kept, end);
    return Cp932Prefix(ToCp932(kept).value_or(std::string()), TitleBytes);
}

// Cells are edited in the title box's own way; what the editor holds goes in as one undo step.
class TitleCellDelegate : public QStyledItemDelegate
{
public:
    explicit TitleCellDelegate(CTitleTableDlg& dialog)
        : QStyledItemDelegate(&dialog), dialog(dialog)
    {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override
    {
        auto* edit = new QLineEdit(parent);
        edit->setValidator(new TitleValidator(edit));
        return edit;
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        const std::string title = AsTitle(static_cast<QLineEdit*>(editor)->text());
        if (title != DeviceSettings.title[index.column()][index.row()])
            dialog.changeTitles({{index.column(), index.row(), title}}, QStringLiteral("編集"));
    }

private:
    CTitleTableDlg& dialog;
};

// Titles put into the record; undone, the record is as it was before them, modified flag too.
class TitleChangeCommand : public QUndoCommand
{
public:
    TitleChangeCommand(CTitleTableDlg& dialog, std::vector<CTitleTableDlg::TitleChange> changes,
                       const QString& what)
        : QUndoCommand(what), dialog(dialog), after(std::move(changes)), before(after),
          modifiedBefore(DeviceSettings.modified)
    {
        for (CTitleTableDlg::TitleChange& change : before)
            change.title = DeviceSettings.title[change.channel][change.position];
    }

    void redo() override
    {
        apply(after);
        DeviceSettings.modified = 1;
    }

    void undo() override
    {
        apply(before);
        DeviceSettings.modified = modifiedBefore;
    }

private:
    void apply(const std::vector<CTitleTableDlg::TitleChange>& changes)
    {
        for (const CTitleTableDlg::TitleChange& change : changes) {
            DeviceSettings.title[change.channel][change.position] = change.title;
            dialog.showTitle(change.channel, change.position);
        }
    }

    CTitleTableDlg& dialog;
    std::vector<CTitleTableDlg::TitleChange> after, before;
    int modifiedBefore;
};

QString PositionName(const TitleBatch::Title& title)
{
    return QStringLiteral("ch.%1 %2")
        .arg(title.channel + 1)
        .arg(QString::fromStdString(TitlePositionName(title.position)));
}

} // namespace

CTitleTableDlg::CTitleTableDlg(QWidget* owner)
    : QDialog(owner), ledger(Ledger::DefaultPath(), "mrv508", std::cerr),
      lineName(SerialLink.ledgerName())
{
    BuildDialog(*this, TitleTableDialogTemplate());
    table = findChild<QTableWidget*>(QStringLiteral("titleTable"));
    slaveCombo = findChild<QComboBox*>(QStringLiteral("slaveCombo"));
    progress = findChild<QProgressBar*>(QStringLiteral("progressBar"));
    batch = std::make_unique<TitleBatch>(*this, *progress, [this] { OnSendEnded(); });
    progress->setValue(0);

    table->setRowCount(TitleCount);
    QStringList positions;
    for (int position = 0; position < TitleCount; ++position)
        positions << QString::fromStdString(TitlePositionName(position));
    table->setVerticalHeaderLabels(positions);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setItemDelegate(new TitleCellDelegate(*this));
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    for (int position = 0; position < TitleCount; ++position)
        for (int channel = 0; channel < ChannelCount; ++channel) {
            table->setItem(position, channel, new QTableWidgetItem);
            showTitle(channel, position);
        }
    addShortcut(QKeySequence::Copy, [this] { copySelection(); });
    addShortcut(QKeySequence::Paste, [this] { paste(); });
    addShortcut(QKeySequence::Delete, [this] { deleteSelection(); });
    addShortcut(
        QKeySequence::Undo, [this] { undoStack.undo(); }, Qt::WindowShortcut);
    addShortcut(
        QKeySequence::Redo, [this] { undoStack.redo(); }, Qt::WindowShortcut);
    connect(findChild<QPushButton*>(QStringLiteral("sendSelectionButton")), &QPushButton::clicked,
            this, &CTitleTableDlg::OnSendSelection);
    auto* sendChanged = findChild<QPushButton*>(QStringLiteral("sendChangedButton"));
    sendChanged->setEnabled(ledger.isOpen());
    connect(sendChanged, &QPushButton::clicked, this, &CTitleTableDlg::OnSendChanged);
    connect(findChild<QPushButton*>(QStringLiteral("importButton")), &QPushButton::clicked, this,
            &CTitleTableDlg::OnImport);
    connect(findChild<QPushButton*>(QStringLiteral("exportButton")), &QPushButton::clicked, this,
            &CTitleTableDlg::OnExport);

    slaveCombo->setCurrentIndex(DeviceSettings.slaveNo);
    slaveCombo->setEnabled(DeviceSettings.rsControl != 0);
    markCells();
    connect(slaveCombo, &QComboBox::currentIndexChanged, this, &CTitleTableDlg::markCells);
    connect(&undoStack, &QUndoStack::indexChanged, this, &CTitleTableDlg::markCells);
    SetMessageOwner(this);
    DeviceSettings.imeOpenStatus = InputMethods().isOpen() ? 1 : 0;
    InputMethods().setOpen(true);
    table->setCurrentCell(0, 0);
    table->setFocus();
}

CTitleTableDlg::~CTitleTableDlg() = default;

void CTitleTableDlg::addShortcut(QKeySequence::StandardKey keys,
                                 const std::function<void()>& handler, Qt::ShortcutContext context)
{
    auto* action = new QAction(table);
    action->setShortcuts(keys);
    action->setShortcutContext(context);
    connect(action, &QAction::triggered, this, handler);
    table->addAction(action);
}

void CTitleTableDlg::changeTitles(const std::vector<TitleChange>& changes, const QString& what)
{
    if (!changes.empty())
        undoStack.push(new TitleChangeCommand(*this, changes, what));
}

void CTitleTableDlg::showTitle(int channel, int position)
{
    QTableWidgetItem* cell = table->item(position, channel);
    const std::string& title = DeviceSettings.title[channel][position];
    cell->setText(FromCp932(title));
}

std::vector<ChangedTitle> CTitleTableDlg::changedTitles()
{
    if (!ledger.isOpen())
        return {};
    SendLine line;
    line.name = lineName;
    line.rs485 = DeviceSettings.rsControl != 0;
    if (line.rs485)
        line.slaves = {slaveCombo->currentIndex()};
    return FindChangedTitles(ledger, line);
}

// A cell the device cannot show keeps that mark: it cannot have acknowledged it either.
void CTitleTableDlg::markCells()
{
    const auto mark = [this](TitleBatch::Title title, const QColor& color, const QString& why) {
        QTableWidgetItem* cell = table->item(title.position, title.channel);
        cell->setBackground(color.isValid() ? QBrush(color) : QBrush());
        cell->setToolTip(why);
    };
    for (int position = 0; position < TitleCount; ++position)
        for (int channel = 0; channel < ChannelCount; ++channel)
            if (TitleShowable(DeviceSettings.title[channel][position]))
                mark({channel, position}, QColor(), QString());
            else
                mark({channel, position}, MarkedCell, QString::fromUtf8(Message::NotJis));
    for (const ChangedTitle& changed : changedTitles())
        if (TitleShowable(DeviceSettings.title[changed.title.channel][changed.title.position]))
            mark(changed.title, ChangedCell, QString::fromStdString(changed.why));
}

std::vector<TitleBatch::Title> CTitleTableDlg::selectedTitles() const
{
    std::vector<TitleBatch::Title> titles;
    for (int position = 0; position < TitleCount; ++position)
        for (int channel = 0; channel < ChannelCount; ++channel)
            if (table->item(position, channel)->isSelected())
                titles.push_back({channel, position});
    return titles;
}

// As spreadsheets write it: cells of a row apart by tabs, rows on lines, over the rectangle that
// holds the selection.
void CTitleTableDlg::copySelection()
{
    const std::vector<TitleBatch::Title> titles = selectedTitles();
    if (titles.empty())
        return;
    int top = TitleCount, bottom = 0, left = ChannelCount, right = 0;
    for (const TitleBatch::Title& title : titles) {
        top = std::min(top, title.position);
        bottom = std::max(bottom, title.position);
        left = std::min(left, title.channel);
        right = std::max(right, title.channel);
    }
    QString text;
    for (int position = top; position <= bottom; ++position) {
        for (int channel = left; channel <= right; ++channel) {
            if (table->item(position, channel)->isSelected())
                text += FromCp932(DeviceSettings.title[channel][position]);
            text += channel < right ? QStringLiteral("\t") : QStringLiteral("\n");
        }
    }
    QApplication::clipboard()->setText(text);
}

void CTitleTableDlg::paste()
{
    QString text = QApplication::clipboard()->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    if (text.isEmpty())
        return;
    const int top = std::max(table->currentRow(), 0);
    const int left = std::max(table->currentColumn(), 0);
    std::vector<TitleChange> changes;
    int outside = 0;
    const QStringList rows = text.split(QLatin1Char('\n'));
    for (int row = 0; row < rows.size(); ++row) {
        const QStringList cells = rows[row].split(QLatin1Char('\t'));
        for (int column = 0; column < cells.size(); ++column) {
            const int position = top + row;
            const int channel = left + column;
            if (position >= TitleCount || channel >= ChannelCount)
                ++outside;
            else
                changes.push_back({channel, position, AsTitle(cells[column])});
        }
    }
    changeTitles(changes, QStringLiteral("貼り付け"));
    if (outside > 0)
        ShowWarning(Message::PastedOutside + (" " + std::to_string(outside)));
}

void CTitleTableDlg::deleteSelection()
{
    std::vector<TitleChange> changes;
    for (const TitleBatch::Title& title : selectedTitles())
        changes.push_back({title.channel, title.position, std::string()});
    changeTitles(changes, QStringLiteral("削除"));
}

void CTitleTableDlg::OnSendSelection()
{
    send(selectedTitles());
}

void CTitleTableDlg::OnSendChanged()
{
    std::vector<TitleBatch::Title> titles;
    for (const ChangedTitle& changed : changedTitles())
        titles.push_back(changed.title);
    send(titles);
}

void CTitleTableDlg::send(const std::vector<TitleBatch::Title>& chosen)
{
    if (batch->running())
        return;
    SetMessageOwner(this);
    DeviceSettings.slaveNo = slaveCombo->currentIndex();
    std::vector<TitleBatch::Title> titles;
    notSent.clear();
    for (const TitleBatch::Title& title : chosen)
        (TitleShowable(DeviceSettings.title[title.channel][title.position]) ? titles : notSent)
            .push_back(title);
    if (titles.empty())
        OnSendEnded();
    else
        batch->start(std::move(titles));
}

void CTitleTableDlg::OnSendEnded()
{
    markCells();
    if (notSent.empty())
        return;
    std::string names;
    for (const TitleBatch::Title& title : notSent)
        names += '\n' + PositionName(title).toStdString();
    notSent.clear();
    ShowWarning(Message::MarkedNotSent + names);
}

void CTitleTableDlg::OnImport()
{
    const std::optional<std::string> path = FileDialogsInUse().askOpenCsvPath();
    if (!path)
        return;
    const std::optional<std::string> bytes = ReadFileAt(*path);
    if (!bytes) {
        ShowWarning(Message::CantFileOpen);
        return;
    }
    const auto read = ReadTitlesCsv(*bytes);
    if (const auto* problem = std::get_if<TitlesCsvProblem>(&read)) {
        ShowWarning(Message::CsvRefused +
                    ("\n" + *path + ":" + std::to_string(problem->line) + ": " + problem->what));
        return;
    }
    const auto& imported = std::get<TitlesCsvImport>(read);
    std::vector<TitleChange> changes;
    for (int channel = 0; channel < ChannelCount; ++channel)
        for (int position = 0; position < TitleCount; ++position)
            if (const auto& title = imported.titles[channel][position];
                title && *title != DeviceSettings.title[channel][position])
                changes.push_back({channel, position, *title});
    changeTitles(changes, QStringLiteral("CSV 読み込み"));
    if (imported.widened > 0)
        Boxes().show({std::to_string(imported.widened) + ' ' + Message::TitlesWidened,
                      Caption::Program, BoxIcon::None, BoxSound::SimpleBeep,
                      BoxOwner::MessageOwner});
}

void CTitleTableDlg::OnExport()
{
    const std::optional<CsvSaveChoice> choice = FileDialogsInUse().askSaveCsvPath();
    if (!choice)
        return;
    const CsvEncoding encoding = choice->shiftJis ? CsvEncoding::Cp932 : CsvEncoding::Utf8WithBom;
    if (const WriteResult written =
            WriteFileSafely(choice->path, WriteTitlesCsv(RecordTitles(), encoding));
        !written)
        ShowWarning(Message::CantFileOpen + ("\n" + choice->path + ": " + written.failure));
}

void CTitleTableDlg::timerEvent(QTimerEvent* event)
{
    if (batch->ownsTimer(event->timerId()))
        OnTimer();
    QDialog::timerEvent(event);
}

void CTitleTableDlg::OnTimer()
{
    batch->OnTimer();
}

// Closing ends a running send as the title dialog's OK does: nothing keeps it half-running.
void CTitleTableDlg::reject()
{
    if (batch->running()) {
        batch->end();
        progress->setValue(0);
    }
    SetMessageOwner(this);
    InputMethods().setOpen(DeviceSettings.imeOpenStatus != 0);
    QDialog::reject();
}
