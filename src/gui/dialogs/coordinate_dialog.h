// The coordinate entry dialog ("座標指定"): latitude and longitude picked as degrees, minutes and
// seconds from six lists, and whether a search follows the move. The lists and the rules of
// what is preselected and what OK gives are core/app/coordinate_entry's; this is the window.
#pragma once

#include <QDialog>
#include <array>

#include "core/app/coordinate_entry.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace zentorak {

class CoordinateDialog : public QDialog {
    Q_OBJECT
public:
    // Starts at lat/lon; the row labels are the captions of the latitude and longitude columns.
    CoordinateDialog(QWidget* owner, const DmsAngle& lat, const DmsAngle& lon, int srchAfterJump,
                     std::u16string_view latCaption, std::u16string_view lonCaption);

    // The entries chosen now.
    CoordinateEntries Entries() const;
    // latitude degrees, minutes, seconds, then longitude likewise (controls 1202-1204, 1206-1208).
    QComboBox* List(int index) const { return lists_[static_cast<size_t>(index)]; }
    QCheckBox* SearchAfterMove() const { return searchAfter_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Escape and the window's close button end with 0, as cancel does.
    void reject() override { done(0); }

private:
    void Layout(QPushButton* ok, QPushButton* cancel);

    std::array<QLabel*, 2> labels_{};
    std::array<QComboBox*, 6> lists_{};
    QCheckBox* searchAfter_;
    int titleBottom_ = 0;
};

// Runs the dialog modally: 1 with lat/lon and srchAfterJump set from it, 0 with nothing changed.
int RunCoordinateDialog(QWidget* owner, DmsAngle& lat, DmsAngle& lon, int& srchAfterJump,
                        std::u16string_view latCaption, std::u16string_view lonCaption);

}  // namespace zentorak
