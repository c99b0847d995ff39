// Every item of one found target, in the two forms DtlDlgMode chooses: a compact report list
// ("項目" / "値") or a full-screen item list whose rows open to five lines on a tap. Both offer
// "お気に入りに追加...", "地図表示" and "電話", which run the actions the caller gives.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "core/app/details_rows.h"
#include "gui/controls/item_list_view.h"
#include "gui/dialogs/template_dialog.h"
#include "gui/platform/full_screen_dialog.h"

class QPushButton;
class QTreeWidget;

namespace zentorak {

struct DetailsActions {
    std::function<void()> addFavorite;
    std::function<void()> showMap;
    std::function<void()> call;
};

// Form 1: the report list. Enter in the list closes the dialog as OK does.
class CompactDetailsDialog : public TemplateDialog {
    Q_OBJECT
public:
    CompactDetailsDialog(QWidget* owner, const std::vector<DetailsRow>& rows,
                         DetailsActions actions, const Dpi& dpi);
    QTreeWidget* List() const { return list_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeWidget* list_;
};

// Form 2: full screen, the program's item list under the title row, "閉じる" at the top right.
class FullScreenDetailsDialog : public FullScreenDialog {
    Q_OBJECT
public:
    // Null List() when the item list could not be made (its class is registered at start-up).
    FullScreenDetailsDialog(QWidget* owner, const std::vector<DetailsRow>& rows,
                            DetailsActions actions);
    ItemListView* List() const { return list_; }

private:
    ItemListView* list_;
    ItemListView::Procedure ownProcedure_;
};

// Runs the form modally: 1 after OK or "閉じる", 0 after cancel or close; 0 at once for
// DetailsForm::kNone.
int RunDetailsDialog(QWidget* owner, DetailsForm form, const std::vector<DetailsRow>& rows,
                     const DetailsActions& actions, const Dpi& dpi);

}  // namespace zentorak
