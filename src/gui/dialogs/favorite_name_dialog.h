// Names a favourite, when one is added or renamed: the position under the coordinate columns'
// captions and an edit box for the name. OK refuses a name that another favourite has and keeps
// the dialog open; the caller adds or renames.
#pragma once

#include <string>
#include <string_view>

#include "core/favorites/favorite_list.h"
#include "core/locinfo/location_info.h"
#include "gui/dialogs/template_dialog.h"

class QLineEdit;

namespace zentorak {

class FavoriteNameDialog : public TemplateDialog {
    Q_OBJECT
public:
    FavoriteNameDialog(QWidget* owner, std::u16string_view title, const FavoriteRecord& candidate,
                       const ColumnMap& columns, const FavoriteList& favorites, const Dpi& dpi);
    QLineEdit* NameEdit() const { return name_; }
    // The accepted name (after OK).
    const std::u16string& Name() const { return accepted_; }
    void Ok();

private:
    const FavoriteList& favorites_;
    QLineEdit* name_;
    std::u16string accepted_;
};

// Runs the dialog modally: 1 with record.name replaced by the accepted name, 0 when cancelled.
int RunFavoriteNameDialog(QWidget* owner, std::u16string_view title, FavoriteRecord& record,
                          const ColumnMap& columns, const FavoriteList& favorites, const Dpi& dpi);

}  // namespace zentorak
