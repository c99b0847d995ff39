// The map display confirmation: a warning that the network will be used, the map service and
// scale for this display, and whether to ask again next time. Hands the choice back; the map
// command remembers it and opens the browser.
#pragma once

#include "core/app/map_choice.h"
#include "gui/dialogs/template_dialog.h"

class QCheckBox;
class QComboBox;

namespace zentorak {

class MapConfirmDialog : public TemplateDialog {
    Q_OBJECT
public:
    // May set MapSiteNo to 1 when it names no service; sets ConfBfrMapDispMode on OK.
    MapConfirmDialog(QWidget* owner, Settings& settings, const Dpi& dpi);
    MapChoice Choice() const { return shown_; }
    QComboBox* Services() const { return services_; }
    QComboBox* Scales() const { return scales_; }
    QCheckBox* AskAgain() const { return askAgain_; }

private:
    void FillScales(int scaleIx);
    void ServiceConfirmed(int item);
    void Ok();

    Settings& settings_;
    MapChoice shown_;
    QComboBox* services_;
    QComboBox* scales_;
    QCheckBox* askAgain_;
};

// Runs the dialog modally: 1 with the chosen service and scale index, 0 when cancelled.
int RunMapConfirmDialog(QWidget* owner, Settings& settings, const Dpi& dpi, int& service,
                        int& scaleIx);

}  // namespace zentorak
