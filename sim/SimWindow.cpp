#include "sim/SimWindow.h"

#include "sim/SimViewFeed.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int LevelColumns = 8;
const QColor HighlightColor(255, 221, 87);

QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QTableWidget* table(int rows, int columns, const char* name)
{
    auto* table = new QTableWidget(rows, columns);
    table->setObjectName(QLatin1String(name));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->horizontalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(20);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            table->setItem(row, column, new QTableWidgetItem);
    }
    return table;
}

} // namespace

SimWindow::SimWindow(SimViewFeed& feed, QWidget* parent)
    : QWidget(parent), m_feed(feed), m_state(feed.take())
{
    // Titles are Japanese; a font that has every JIS character draws them all alike.
    setFont(QFont(QStringLiteral("IPAPGothic"), 10));
    build();
    m_highlightTimer.setSingleShot(true);
    m_highlightTimer.setInterval(HighlightMs);
    connect(&m_highlightTimer, &QTimer::timeout, this, &SimWindow::showState);
    m_notifier = new QSocketNotifier(m_feed.wakeFd(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimWindow::takeFeed);
    showLog();
    showState();
}

void SimWindow::build()
{
    m_slaveCombo = new QComboBox;
    m_slaveCombo->setObjectName(QStringLiteral("slaveCombo"));
    for (const std::string& name : m_state.stationNames())
        m_slaveCombo->addItem(text(name));
    m_slaveCombo->setEnabled(m_slaveCombo->count() > 1);
    m_channelTabs = new QTabBar;
    m_channelTabs->setObjectName(QStringLiteral("channelTabs"));
    m_channelTabs->addTab(QStringLiteral("ch.1"));
    m_channelTabs->addTab(QStringLiteral("ch.2"));
    connect(m_slaveCombo, &QComboBox::currentIndexChanged, this, &SimWindow::showState);
    connect(m_channelTabs, &QTabBar::currentChanged, this, &SimWindow::showState);

    m_titleTable = table(SimDevice::TitleCount, 1, "titleTable");
    m_titleTable->horizontalHeader()->setStretchLastSection(true);
    QStringList labels;
    for (const SimViewState::TitleRow& row : m_state.titles(0, 0))
        labels << text(row.label);
    m_titleTable->setVerticalHeaderLabels(labels);
    m_titleTable->setMinimumWidth(290);

    m_whiteLevelTable =
        table(SimDevice::PictureCount / LevelColumns, LevelColumns, "whiteLevelTable");
    m_whiteLevelTable->verticalHeader()->hide();
    m_whiteLevelTable->horizontalHeader()->setDefaultSectionSize(44);
    m_whiteLevelTable->setFixedSize(LevelColumns * 44 + 4, 4 * 20 + 4);

    m_vOffsetLabel = new QLabel;
    m_vOffsetLabel->setObjectName(QStringLiteral("vOffsetLabel"));
    m_hOffsetLabel = new QLabel;
    m_hOffsetLabel->setObjectName(QStringLiteral("hOffsetLabel"));
    m_pictureLabel = new QLabel;
    m_pictureLabel->setObjectName(QStringLiteral("pictureLabel"));
    auto* values = new QFormLayout;
    values->addRow(QStringLiteral("Vertical offset"), m_vOffsetLabel);
    values->addRow(QStringLiteral("Horizontal offset"), m_hOffsetLabel);
    values->addRow(QStringLiteral("Picture"), m_pictureLabel);

    m_frameLog = new QPlainTextEdit;
    m_frameLog->setObjectName(QStringLiteral("frameLog"));
    m_frameLog->setReadOnly(true);
    m_frameLog->setMaximumBlockCount(static_cast<int>(SimViewState::LogLength));
    // One frame a line: a title frame is longer than the log is wide, and scrolls sideways.
    m_frameLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Japanese fonts draw the backslash of "\r\n" as a yen sign; the fixed font falls back to a
    // Japanese one for the titles only.
    m_frameLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* picker = new QHBoxLayout;
    picker->addWidget(m_slaveCombo);
    picker->addWidget(m_channelTabs);
    picker->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("White levels (pictures 01 to 32)")));
    right->addWidget(m_whiteLevelTable);
    right->addLayout(values);
    right->addWidget(new QLabel(QStringLiteral("Frames received and replies")));
    right->addWidget(m_frameLog, 1);
    auto* columns = new QHBoxLayout;
    columns->addWidget(m_titleTable, 1);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(picker);
    layout->addLayout(columns, 1);
    resize(sizeHint().width(), 760);
}

void SimWindow::takeFeed()
{
    m_state = m_feed.take();
    if (m_feed.finished()) {
        close();
        return;
    }
    const auto& change = m_state.lastChange();
    if (change && change->frame != m_highlightedFrame) {
        m_highlightedFrame = change->frame;
        m_highlightTimer.start();
    }
    showLog();
    showState();
}

void SimWindow::showState()
{
    const int station = m_slaveCombo->currentIndex();
    const int channel = m_channelTabs->currentIndex();
    const auto rows = m_state.titles(station, channel);
    for (int row = 0; row < SimDevice::TitleCount; ++row) {
        QTableWidgetItem* item = m_titleTable->item(row, 0);
        item->setText(text(rows[row].text));
        mark(item, m_highlightTimer.isActive() && rows[row].changed);
    }
    const SimDevice::Channel& values = m_state.channel(station, channel);
    for (int picture = 0; picture < SimDevice::PictureCount; ++picture) {
        QTableWidgetItem* item =
            m_whiteLevelTable->item(picture / LevelColumns, picture % LevelColumns);
        item->setText(twoDigits(picture + 1) + QStringLiteral(": ") +
                      QString::number(values.whiteLevels[picture]));
        mark(item, highlighted(SimCommand::Kind::WhiteLevel, picture));
    }
    m_vOffsetLabel->setText(QString::number(values.vOffset));
    mark(m_vOffsetLabel, highlighted(SimCommand::Kind::VerticalOffset));
    m_hOffsetLabel->setText(QString::number(values.hOffset));
    mark(m_hOffsetLabel, highlighted(SimCommand::Kind::HorizontalOffset));
    m_pictureLabel->setText(twoDigits(values.picture));
    mark(m_pictureLabel, highlighted(SimCommand::Kind::Picture));
}

// Appends what is new since the last call; the log itself drops its oldest lines.
void SimWindow::showLog()
{
    const auto& log = m_state.log();
    const std::size_t fresh = std::min(m_state.logged() - m_shownLogEntries, log.size());
    for (auto entry = log.end() - static_cast<std::ptrdiff_t>(fresh); entry != log.end(); ++entry) {
        const QString color = entry->error ? QStringLiteral("red") : QStringLiteral("black");
        m_frameLog->appendHtml(
            QStringLiteral("<span style=\"color:%1; white-space:pre-wrap\">%2</span>")
                .arg(color, text(entry->text).toHtmlEscaped()));
    }
    m_shownLogEntries = m_state.logged();
}

void SimWindow::mark(QTableWidgetItem* item, bool changed) const
{
    item->setBackground(changed ? QBrush(HighlightColor) : QBrush());
}

void SimWindow::mark(QLabel* label, bool changed) const
{
    label->setStyleSheet(changed ? QStringLiteral("background-color: %1").arg(HighlightColor.name())
                                 : QString());
}

bool SimWindow::highlighted(SimCommand::Kind kind, int position) const
{
    return m_highlightTimer.isActive() &&
           m_state.changed(m_slaveCombo->currentIndex(), m_channelTabs->currentIndex(), kind,
                           position);
}
