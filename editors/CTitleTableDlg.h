#pragma once

#include "editors/ChangedTitles.h"
#include "editors/TitleBatch.h"
#include "ledger/Ledger.h"

#include <QDialog>
#include <QKeySequence>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QProgressBar;
class QTableWidget;

// A device's 66 titles at once: 33 rows in the title dialog's order, a column per channel. Cells
// are edited in place with the title box's input rules; copy, paste, delete, CSV import and export
// work on many at once, and each change is one undo step. Cells the device cannot show are
// marked, and so, apart, are cells the chosen device did not last acknowledge as they stand. The
// selection, or the changed cells, go to the device through the "全設定" batch. Every change
// reaches the record at once.
class CTitleTableDlg : public QDialog
{
    Q_OBJECT

public:
    struct TitleChange
    {
        int channel;
        int position;
        std::string title; // CP932
    };

    explicit CTitleTableDlg(QWidget* owner);
    ~CTitleTableDlg() override;

    // Puts the titles into the record and the table as one undo step.
    void changeTitles(const std::vector<TitleChange>& changes, const QString& what);
    void showTitle(int channel, int position);

    void OnSendSelection();
    void OnSendChanged();
    void OnImport();
    void OnExport();
    void OnTimer();

protected:
    void timerEvent(QTimerEvent* event) override;
    void reject() override;

private:
    // Keys of the table itself, or of the whole dialog (undo after a button); a cell's open
    // editor keeps its own.
    void addShortcut(QKeySequence::StandardKey keys, const std::function<void()>& handler,
                     Qt::ShortcutContext context = Qt::WidgetShortcut);
    void copySelection();
    void paste();
    void deleteSelection();
    // The selected cells, row by row, each row's ch.1 before its ch.2.
    std::vector<TitleBatch::Title> selectedTitles() const;
    // What the ledger says the chosen device holds, beside the record; nothing where it cannot
    // be read.
    std::vector<ChangedTitle> changedTitles();
    void markCells();
    void send(const std::vector<TitleBatch::Title>& chosen);
    void OnSendEnded();

    QTableWidget* table = nullptr;
    QComboBox* slaveCombo = nullptr;
    QProgressBar* progress = nullptr;
    QUndoStack undoStack;
    std::unique_ptr<TitleBatch> batch;
    std::vector<TitleBatch::Title> notSent; // marked cells of the selection being sent
    Ledger ledger;
    std::string lineName; // the ledger's name for the port's line
};
