#include "gui/app/result_panes.h"

#include <QFontInfo>
#include <QHeaderView>
#include <algorithm>

#include "core/app/spoken_text.h"
#include "core/resources/resource_ids.h"
#include "gui/platform/finger_scroll.h"
#include "gui/platform/qt_text.h"

namespace zentorak {
namespace {

// The shell's UI font size in pixels: the application font's, 9 when it cannot be told.
QFont PaneFont(const QWidget* parent) {
    QFont font = parent->font();
    int pixels = QFontInfo(font).pixelSize();
    font.setPixelSize(pixels > 0 ? pixels : 9);
    return font;
}

}  // namespace

ResultPanes::ResultPanes(QWidget* parent, AppState& state)
    : state_(state), list_(new QTreeWidget(parent)), log_(new QPlainTextEdit(parent)) {
    if (state_.paneMode != kPaneList) {
        state_.paneMode = kPaneLog;
    }
    QFont font = PaneFont(parent);
    log_->setObjectName(QStringLiteral("IDC_LOG"));
    log_->setProperty("controlId", res::IDC_LOG);
    log_->setFont(font);
    log_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    log_->setTabChangesFocus(true);
    log_->setAccessibleName(QStringLiteral("ログ"));
    list_->setObjectName(QStringLiteral("IDC_RESULTS"));
    list_->setProperty("controlId", res::IDC_RESULTS);
    list_->setFont(font);
    list_->setAccessibleName(QStringLiteral("検索結果"));
    list_->setRootIsDecorated(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setUniformRowHeights(true);
    list_->setColumnCount(0);
    list_->header()->setStretchLastSection(false);
    // The user may narrow a column to next to nothing (which asks for auto-size at the next
    // fill), and the half-window cap must hold however small the window is.
    list_->header()->setMinimumSectionSize(1);
    EnableFingerScrolling(list_);
    EnableFingerScrolling(log_);
    state_.log.Reset();
    SetLogText();
    ShowPane();
    fiveRowsHeight_ = MeasureFiveRows();
}

// A list like this one with one row, in the panes' font and style.
int ResultPanes::MeasureFiveRows() const {
    QTreeWidget probe;
    probe.setFont(list_->font());
    probe.setRootIsDecorated(false);
    probe.setHeaderLabels({QStringLiteral("No")});
    new QTreeWidgetItem(&probe, {QStringLiteral("1")});
    probe.ensurePolished();
    int row = std::max(probe.sizeHintForRow(0), QFontMetrics(list_->font()).height());
    return probe.header()->sizeHint().height() + 5 * row + 2 * probe.frameWidth();
}

void ResultPanes::Layout(const PixelRect& r) {
    list_->setGeometry(r.x, r.y, r.width, r.height);
    log_->setGeometry(r.x, r.y, r.width, r.height);
}

void ResultPanes::ShowPane() {
    bool showList = state_.paneMode == kPaneList;
    list_->setVisible(showList);
    log_->setVisible(!showList);
}

void ResultPanes::Toggle() {
    if (state_.paneMode == kPaneLog) {
        state_.paneMode = kPaneList;
    } else if (state_.paneMode == kPaneList) {
        state_.paneMode = kPaneLog;
    } else {
        return;
    }
    ShowPane();
}

void ResultPanes::SaveColumnWidths() {
    int last = list_->columnCount() - 1;
    for (int c = 0; c < last && c < static_cast<int>(savedWidths_.size()); ++c) {
        int width = list_->columnWidth(c);
        if (width > state_.dpi.ScaleX(20)) {
            savedWidths_[static_cast<size_t>(c)] = width;
        }
    }
}

void ResultPanes::AddColumns(const std::vector<int>& infoSlots) {
    QStringList headers{QStringLiteral("No")};
    for (int slot : infoSlots) {
        headers << ToQString(state_.columns.columnCaption[static_cast<size_t>(slot)]);
    }
    headers << QString();
    list_->setColumnCount(static_cast<int>(headers.size()));
    list_->setHeaderLabels(headers);
    list_->headerItem()->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    list_->setColumnWidth(0, state_.dpi.ScaleX(20));
    for (int c = 1; c <= static_cast<int>(infoSlots.size()); ++c) {
        list_->setColumnWidth(c, state_.dpi.ScaleX(100));
    }
    list_->setColumnWidth(static_cast<int>(infoSlots.size()) + 1, state_.dpi.ScaleX(50));
}

std::vector<const TargetRecord*> ResultPanes::SelectedTargets() const {
    std::vector<const TargetRecord*> targets;
    for (QTreeWidgetItem* item : list_->selectedItems()) {
        int row = list_->indexOfTopLevelItem(item);
        if (row >= 0 && row < static_cast<int>(rowTargets_.size())) {
            targets.push_back(rowTargets_[static_cast<size_t>(row)]);
        }
    }
    return targets;
}

void ResultPanes::Reselect(const std::vector<const TargetRecord*>& targets) {
    QTreeWidgetItem* first = nullptr;
    for (int row = 0; row < static_cast<int>(rowTargets_.size()); ++row) {
        if (std::find(targets.begin(), targets.end(), rowTargets_[static_cast<size_t>(row)]) ==
            targets.end()) {
            continue;
        }
        QTreeWidgetItem* item = list_->topLevelItem(row);
        item->setSelected(true);
        if (first == nullptr) {
            first = item;
            list_->selectionModel()->setCurrentIndex(list_->indexFromItem(item),
                                                     QItemSelectionModel::NoUpdate);
        }
    }
    if (first != nullptr) {
        list_->scrollToItem(first);
    }
}

void ResultPanes::ForgetRows() {
    rowTargets_.clear();
}

void ResultPanes::Fill(int clientWidth) {
    const std::vector<const TargetRecord*> selected = SelectedTargets();
    const size_t shown =
        std::min(state_.found.targets.size(), static_cast<size_t>(std::max(0, state_.found.count)));
    rowTargets_.assign(state_.found.targets.begin(),
                       state_.found.targets.begin() + static_cast<std::ptrdiff_t>(shown));
    list_->setUpdatesEnabled(false);
    list_->clear();
    SaveColumnWidths();
    list_->setColumnCount(0);
    if (state_.found.count == 0) {
        list_->setUpdatesEnabled(true);
        return;
    }
    std::vector<int> infoSlots;
    for (int slot = 2; slot < kColumnSlots; ++slot) {
        if (state_.columns.Present(slot)) {
            infoSlots.push_back(slot);
        }
    }
    AddColumns(infoSlots);
    QList<QTreeWidgetItem*> rows;
    for (int i = 0; i < state_.found.count; ++i) {
        const TargetRecord* target = state_.found.targets[static_cast<size_t>(i)];
        auto* row = new QTreeWidgetItem;
        row->setText(0, QString::number(i + 1));
        row->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        std::vector<DetailsRow> items;
        for (size_t c = 0; c < infoSlots.size(); ++c) {
            const int k = infoSlots[c] - 2;
            row->setText(static_cast<int>(c) + 1, ToQString(target->Info(k)));
            items.push_back({state_.columns.columnCaption[static_cast<size_t>(infoSlots[c])],
                             target->Info(k), target->HasInfo(k)});
        }
        // The row's focus lands on the rank: a screen reader says the whole place there.
        row->setData(0, Qt::AccessibleTextRole, ToQString(ResultRowSpeech(i + 1, items)));
        rows << row;
    }
    list_->addTopLevelItems(rows);
    SizeColumns(static_cast<int>(infoSlots.size()), clientWidth);
    Reselect(selected);
    list_->setUpdatesEnabled(true);
}

// Positions 0 .. dataColumns - 1, as the handset does: the last data column keeps the width
// set when the columns were added.
void ResultPanes::SizeColumns(int dataColumns, int clientWidth) {
    for (int c = 0; c < dataColumns && c < static_cast<int>(savedWidths_.size()); ++c) {
        int saved = savedWidths_[static_cast<size_t>(c)];
        if (saved > state_.dpi.ScaleX(20)) {
            list_->setColumnWidth(c, saved);
            continue;
        }
        // The cells' text only, as the handset sizes a column: not the caption as well.
        const QAbstractItemView* view = list_;  // the tree's own override, public here
        list_->setColumnWidth(c, std::min(view->sizeHintForColumn(c), clientWidth / 2));
    }
}

void ResultPanes::SetLogText() {
    const std::u16string& text = state_.log.Text();
    log_->setPlainText(ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    log_->moveCursor(QTextCursor::End);
}

std::vector<int> ResultPanes::SelectedRows() const {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : list_->selectedItems()) {
        rows.push_back(list_->indexOfTopLevelItem(item));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ResultPanes::SelectRow(int row) {
    if (QTreeWidgetItem* item = list_->topLevelItem(row)) {
        list_->setCurrentItem(item);  // selects it alone
        list_->scrollToItem(item);
    }
}

void ResultPanes::SelectCurrentIfNone() {
    if (SelectedRow() >= 0 || list_->topLevelItemCount() == 0) {
        return;
    }
    QTreeWidgetItem* row = list_->currentItem();
    list_->setCurrentItem(row != nullptr ? row : list_->topLevelItem(0));
    list_->scrollToItem(list_->currentItem());
}

int ResultPanes::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        return -1;
    }
    int best = -1;
    for (QTreeWidgetItem* item : selected) {
        int row = list_->indexOfTopLevelItem(item);
        if (best < 0 || row < best) {
            best = row;
        }
    }
    return best;
}

}  // namespace zentorak
