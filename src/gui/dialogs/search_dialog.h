// The text search dialog: one labelled edit box per info column present in the loaded files;
// "検索" hands back the texts when at least one is given, "閉じる" gives up. Does not search.
#pragma once

#include <QList>

#include "core/targets/search.h"
#include "gui/platform/full_screen_dialog.h"

class QLineEdit;

namespace zentorak {

class SearchDialog : public FullScreenDialog {
    Q_OBJECT
public:
    SearchDialog(QWidget* owner, const ColumnMap& columns);
    // Filled when the dialog closed with 1.
    const SearchTexts& Texts() const { return texts_; }
    QList<QLineEdit*> Edits() const { return edits_; }
    // The "検索" button's action: collects the texts; complains and stays open when all are empty.
    void Search();

private:
    QList<QLineEdit*> edits_;
    QList<int> slots_;
    SearchTexts texts_;
};

// Runs the dialog modally; 1 with texts filled, 0 when closed.
int RunSearchDialog(QWidget* owner, const ColumnMap& columns, SearchTexts& texts);

}  // namespace zentorak
