#include "gui/dialogs/coordinate_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "core/resources/shared_dialogs.h"
#include "gui/platform/screen_dpi.h"

namespace zentorak {
namespace {

QString ToQ(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Template positions are in dialog units: a quarter of the font's average character width and
// an eighth of its height, as the handset converts them.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font) {
        QFontMetrics metrics(font);
        baseX_ = metrics.averageCharWidth();
        baseY_ = metrics.height();
    }
    QRect Rect(int x, int y, int width, int height) const {
        return QRect(X(x), Y(y), X(width), Y(height));
    }
    int X(int units) const { return (units * baseX_ + 2) / 4; }
    int Y(int units) const { return (units * baseY_ + 4) / 8; }

private:
    int baseX_;
    int baseY_;
};

void Fill(QComboBox* list, const std::vector<std::u16string>& texts, int selected) {
    list->clear();
    for (const std::u16string& text : texts) {
        list->addItem(ToQ(text));
    }
    list->setCurrentIndex(selected);
}

}  // namespace

CoordinateDialog::CoordinateDialog(QWidget* owner, const DmsAngle& lat, const DmsAngle& lon,
                                   int srchAfterJump, std::u16string_view latCaption,
                                   std::u16string_view lonCaption)
    : QDialog(owner), searchAfter_(new QCheckBox(QStringLiteral("座標指定後、続けて探索"), this)) {
    setWindowTitle(QStringLiteral("座標指定"));
    QFont font = this->font();
    font.setPointSize(9);
    setFont(font);
    DialogUnits du(font);

    auto* spacer = new QLabel(this);
    spacer->setGeometry(du.Rect(2, 4, 42, 10));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setGeometry(du.Rect(57, 1, 30, 13));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setGeometry(du.Rect(90, 1, 38, 13));

    const int rowY[2] = {18, 34};
    const int labelIds[2] = {res::IDC_COORD_LAT_LABEL, res::IDC_COORD_LON_LABEL};
    const std::u16string_view captions[2] = {latCaption, lonCaption};
    const int listX[3] = {42, 72, 97};
    const int listWidth[3] = {25, 20, 20};
    for (int row = 0; row < 2; ++row) {
        auto* label = new QLabel(ToQ(CoordinateLabel(captions[row])), this);
        label->setObjectName(QString::number(labelIds[row]));
        label->setGeometry(du.Rect(3, rowY[row] + 2, 38, 10));
        for (int part = 0; part < 3; ++part) {
            auto* list = new QComboBox(this);
            list->setObjectName(QString::number(labelIds[row] + 1 + part));
            list->setGeometry(du.Rect(listX[part], rowY[row], listWidth[part], 12));
            lists_[static_cast<size_t>(row * 3 + part)] = list;
        }
    }
    CoordinateEntries start = PreselectCoordinates(lat, lon, srchAfterJump);
    Fill(lists_[0], LatitudeDegreeTexts(), start.latDeg);
    Fill(lists_[1], MinuteSecondTexts(), start.latMin);
    Fill(lists_[2], MinuteSecondTexts(), start.latSec);
    Fill(lists_[3], LongitudeDegreeTexts(), start.lonDeg);
    Fill(lists_[4], MinuteSecondTexts(), start.lonMin);
    Fill(lists_[5], MinuteSecondTexts(), start.lonSec);
    searchAfter_->setObjectName(QString::number(res::IDC_COORD_SEARCH_AFTER));
    searchAfter_->setGeometry(du.Rect(3, 49, 91, 14));
    searchAfter_->setChecked(start.searchAfterMove);

    setFixedSize(du.X(130), du.Y(70));
    if (owner != nullptr) {
        QWidget* top = owner->window();
        QRect area(top->mapToGlobal(QPoint(0, 0)), top->size());
        move(area.center() - rect().center());
    }
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(0); });
}

CoordinateEntries CoordinateDialog::Entries() const {
    return {lists_[0]->currentIndex(), lists_[1]->currentIndex(), lists_[2]->currentIndex(),
            lists_[3]->currentIndex(), lists_[4]->currentIndex(), lists_[5]->currentIndex(),
            searchAfter_->isChecked()};
}

// The line under the title row.
void CoordinateDialog::paintEvent(QPaintEvent*) {
    Dpi dpi = ScreenDpi();
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, dpi.ScaleX(1)));
    painter.drawLine(0, dpi.ScaleY(22), width(), dpi.ScaleY(22));
}

int RunCoordinateDialog(QWidget* owner, DmsAngle& lat, DmsAngle& lon, int& srchAfterJump,
                        std::u16string_view latCaption, std::u16string_view lonCaption) {
    CoordinateDialog dialog(owner, lat, lon, srchAfterJump, latCaption, lonCaption);
    if (dialog.exec() != 1) {
        return 0;
    }
    ApplyCoordinateEntries(dialog.Entries(), lat, lon, srchAfterJump);
    return 1;
}

}  // namespace zentorak
