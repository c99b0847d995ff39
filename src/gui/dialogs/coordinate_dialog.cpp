#include "gui/dialogs/coordinate_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

#include "core/resources/shared_dialogs.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/screen_dpi.h"

namespace zentorak {
namespace {

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
        list->addItem(ToQString(text));
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
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("2"));
    const int labelIds[2] = {res::IDC_COORD_LAT_LABEL, res::IDC_COORD_LON_LABEL};
    const std::u16string_view captions[2] = {latCaption, lonCaption};
    for (int row = 0; row < 2; ++row) {
        labels_[static_cast<size_t>(row)] =
            new QLabel(ToQString(CoordinateLabel(captions[row])), this);
        labels_[static_cast<size_t>(row)]->setObjectName(QString::number(labelIds[row]));
        // Each list says which of the six it is: "緯度 度", "緯度 分", ... "経度 秒".
        QString caption = ToQString(captions[row]);
        if (caption.isEmpty()) {
            caption = row == 0 ? QStringLiteral("緯度") : QStringLiteral("経度");
        }
        const QString units[3] = {QStringLiteral("度"), QStringLiteral("分"), QStringLiteral("秒")};
        for (int part = 0; part < 3; ++part) {
            auto* list = new QComboBox(this);
            list->setObjectName(QString::number(labelIds[row] + 1 + part));
            list->setAccessibleName(caption + QLatin1Char(' ') + units[part]);
            lists_[static_cast<size_t>(row * 3 + part)] = list;
        }
        labels_[static_cast<size_t>(row)]->setBuddy(lists_[static_cast<size_t>(row * 3)]);
    }
    CoordinateEntries start = PreselectCoordinates(lat, lon, srchAfterJump);
    Fill(lists_[0], LatitudeDegreeTexts(), start.latDeg);
    Fill(lists_[1], MinuteSecondTexts(), start.latMin);
    Fill(lists_[2], MinuteSecondTexts(), start.latSec);
    Fill(lists_[3], LongitudeDegreeTexts(), start.lonDeg);
    Fill(lists_[4], MinuteSecondTexts(), start.lonMin);
    Fill(lists_[5], MinuteSecondTexts(), start.lonSec);
    searchAfter_->setObjectName(QString::number(res::IDC_COORD_SEARCH_AFTER));
    searchAfter_->setChecked(start.searchAfterMove);
    Layout(ok, cancel);
    if (owner != nullptr) {
        QWidget* top = owner->window();
        QRect area(top->mapToGlobal(QPoint(0, 0)), top->size());
        move(area.center() - rect().center());
    }
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(0); });
}

// The template's places in dialog units (130 x 70: the buttons at the top right, the two rows of
// lists at 18 and 34, the check box at 49), each widened to what its text needs in the font at
// hand, since a desktop font is wider than the handset's; the gaps between neighbours stay.
void CoordinateDialog::Layout(QPushButton* ok, QPushButton* cancel) {
    DialogUnits du(font());
    auto wide = [](int units, std::initializer_list<QWidget*> widgets) {
        int width = units;
        for (QWidget* widget : widgets) {
            width = std::max(width, widget->sizeHint().width());
        }
        return width;
    };
    int okWidth = wide(du.X(30), {ok});
    int cancelWidth = wide(du.X(38), {cancel});
    int buttonHeight = std::max(du.Y(13), ok->sizeHint().height());
    int labelWidth = wide(du.X(38), {labels_[0], labels_[1]});
    int listWidth[3];
    const int templateWidth[3] = {25, 20, 20};
    int rowHeight = du.Y(12);
    for (int part = 0; part < 3; ++part) {
        listWidth[part] = wide(du.X(templateWidth[part]), {lists_[part], lists_[part + 3]});
        rowHeight = std::max(rowHeight, lists_[part]->sizeHint().height());
    }
    int checkWidth = wide(du.X(91), {searchAfter_});
    int checkHeight = std::max(du.Y(14), searchAfter_->sizeHint().height());

    titleBottom_ = du.Y(1) + buttonHeight;
    int rowY[2] = {titleBottom_ + du.Y(4), 0};
    rowY[1] = rowY[0] + std::max(du.Y(16), rowHeight + du.Y(4));
    int x = du.X(3);
    int listX[3];
    listX[0] = x + labelWidth + du.X(1);
    listX[1] = listX[0] + listWidth[0] + du.X(5);
    listX[2] = listX[1] + listWidth[1] + du.X(5);
    for (int row = 0; row < 2; ++row) {
        QLabel* label = labels_[static_cast<size_t>(row)];
        int labelHeight = label->sizeHint().height();
        label->setGeometry(x, rowY[row] + (rowHeight - labelHeight) / 2, labelWidth, labelHeight);
        for (int part = 0; part < 3; ++part) {
            lists_[static_cast<size_t>(row * 3 + part)]->setGeometry(listX[part], rowY[row],
                                                                     listWidth[part], rowHeight);
        }
    }
    int checkY = rowY[1] + std::max(du.Y(15), rowHeight + du.Y(3));
    searchAfter_->setGeometry(x, checkY, checkWidth, checkHeight);

    int width = std::max({du.X(130), listX[2] + listWidth[2] + du.X(2), x + checkWidth + du.X(2),
                          okWidth + cancelWidth + du.X(5 + 44)});
    int height = std::max(du.Y(70), checkY + checkHeight + du.Y(7));
    cancel->setGeometry(width - du.X(2) - cancelWidth, du.Y(1), cancelWidth, buttonHeight);
    ok->setGeometry(width - du.X(5) - cancelWidth - okWidth, du.Y(1), okWidth, buttonHeight);
    setFixedSize(width, height);
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
    int y = std::max(dpi.ScaleY(22), titleBottom_ + 2);
    painter.drawLine(0, y, width(), y);
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
