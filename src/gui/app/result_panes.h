// The two panes below (portrait) or beside (landscape) the radar: the result list of the found
// targets and the log pane. Fills, lays out and switches them, and keeps the selected targets
// selected across fills; does not search.
#pragma once

#include <QPlainTextEdit>
#include <QTreeWidget>
#include <array>
#include <vector>

#include "core/app/app_state.h"

namespace zentorak {

class ResultPanes {
public:
    ResultPanes(QWidget* parent, AppState& state);

    QTreeWidget* List() const { return list_; }
    QPlainTextEdit* Log() const { return log_; }

    void Layout(const PixelRect& rect);
    // The height the list needs for its header and five rows in its font.
    int FiveRowsHeight() const { return fiveRowsHeight_; }
    // Shows the pane paneMode names (1 list, 2 log).
    void ShowPane();
    // Toggles list <-> log; other pane modes stay as they are.
    void Toggle();
    // Rebuilds the list from the found targets; clientWidth caps auto-sized columns at half.
    // Targets that were selected and are found again stay selected, and the list is scrolled to
    // the first of them, so that a periodic update does not take the row from under the person.
    void Fill(int clientWidth);
    // The targets are about to be released (reloaded): the rows no longer name anything.
    void ForgetRows();
    void SetLogText();
    // After a search the person asked for: with nothing selected the current row (the first
    // when there is none) is selected, so that the row the keyboard is on is the one Return
    // and the list menu act on.
    void SelectCurrentIfNone();
    // The first selected row, or -1. Several rows may be selected; commands use the first.
    int SelectedRow() const;
    // Every selected row, in row order.
    std::vector<int> SelectedRows() const;
    // Selects row `row` alone and scrolls to it.
    void SelectRow(int row);

private:
    int MeasureFiveRows() const;
    std::vector<const TargetRecord*> SelectedTargets() const;
    void Reselect(const std::vector<const TargetRecord*>& targets);
    void SaveColumnWidths();
    void AddColumns(const std::vector<int>& infoSlots);
    void SizeColumns(int dataColumns, int clientWidth);

    AppState& state_;
    QTreeWidget* list_;
    QPlainTextEdit* log_;
    std::array<int, 10> savedWidths_{};
    std::vector<const TargetRecord*> rowTargets_;  // the target each row shows, from the last fill
    int fiveRowsHeight_ = 0;
};

}  // namespace zentorak
