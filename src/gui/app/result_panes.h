// The two panes below (portrait) or beside (landscape) the radar: the result list of the found
// targets and the log pane. Fills, lays out and switches them; does not search.
#pragma once

#include <QPlainTextEdit>
#include <QTreeWidget>
#include <array>

#include "core/app/app_state.h"

namespace zentorak {

class ResultPanes {
public:
    ResultPanes(QWidget* parent, AppState& state);

    QTreeWidget* List() const { return list_; }
    QPlainTextEdit* Log() const { return log_; }

    void Layout(const PixelRect& rect);
    // Shows the pane paneMode names (1 list, 2 log).
    void ShowPane();
    // Toggles list <-> log; other pane modes stay as they are.
    void Toggle();
    // Rebuilds the list from the found targets; clientWidth caps auto-sized columns at half.
    void Fill(int clientWidth);
    void SetLogText();
    // The first selected row, or -1.
    int SelectedRow() const;

private:
    void SaveColumnWidths();
    void AddColumns(const std::vector<int>& infoSlots);
    void SizeColumns(int dataColumns, int clientWidth);

    AppState& state_;
    QTreeWidget* list_;
    QPlainTextEdit* log_;
    std::array<int, 10> savedWidths_{};
};

}  // namespace zentorak
