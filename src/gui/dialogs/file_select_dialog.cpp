#include "gui/dialogs/file_select_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <new>

#include "core/resources/shared_dialogs.h"
#include "core/text/layout_scale.h"
#include "gui/dialogs/value_input_dialog.h"
#include "gui/platform/message_box.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/screen_dpi.h"
#include "gui/platform/soft_key_bar.h"
#include "gui/platform/tap_and_hold.h"
#include "gui/resources/menu_builder.h"

namespace zentorak {
namespace {

template <typename W>
W* Named(W* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

}  // namespace

FileSelectWindow::FileSelectWindow(QWidget* owner, const FileSelectSetup& setup)
    : QDialog(owner),
      browser_(*this, setup.root),
      mode_(setup.mode),
      title_(Named(new QLabel(ToQString(setup.title), this), res::IDC_FSD_TITLE)),
      // The handset hides its OK button and confirms through the Done button of the caption;
      // here this button is that Done button, where the OK button stood.
      done_(Named(new QPushButton(QStringLiteral("OK"), this), res::IDC_FSD_OK)),
      cancel_(Named(new QPushButton(QStringLiteral("キャンセル"), this), res::IDC_FSD_CANCEL)),
      folder_(Named(new QLineEdit(this), res::IDC_FSD_FOLDER)),
      up_(Named(new QPushButton(QStringLiteral("↑"), this), res::IDC_FSD_UP)),
      list_(Named(new QListWidget(this), res::IDC_FSD_LIST)),
      nameLabel_(Named(new QLabel(QStringLiteral("ファイル名:"), this), res::IDC_FSD_NAME_LABEL)),
      name_(Named(new QLineEdit(ToQString(setup.initialName), this), res::IDC_FSD_NAME)),
      typeLabel_(Named(new QLabel(QStringLiteral("種類:"), this), res::IDC_FSD_TYPE_LABEL)),
      type_(Named(new QComboBox(this), res::IDC_FSD_TYPE)),
      softKeys_(
          new SoftKeyBar(res::ID_FSD_UP, QStringLiteral("上へ"), QStringLiteral("メニュー"), this)),
      softKeyMenu_(new QMenu(this)) {
    Dpi dpi = ScreenDpi();
    hold_ = new TapAndHold(QPoint(dpi.ScaleX(4), dpi.ScaleY(4)), this);
    setWindowTitle(setup.title.empty() ? QStringLiteral("ダイアログ") : ToQString(setup.title));
    QFont font = this->font();
    font.setPixelSize(dpi.ScaleY(12));
    font.setWeight(QFont::Normal);
    setFont(font);
    folder_->setReadOnly(true);
    folder_->setAccessibleName(QStringLiteral("フォルダ"));
    up_->setAccessibleName(QStringLiteral("上へ"));
    list_->setAccessibleName(QStringLiteral("ファイル"));
    nameLabel_->setBuddy(name_);
    typeLabel_->setBuddy(type_);
    done_->setDefault(true);
    res::CommandSink sink = [this](int id) { Command(id); };
    res::FillMenu(softKeyMenu_, res::FileDialogMenu(), sink);
    softKeys_->SetRightMenu(softKeyMenu_);
    connect(softKeys_, &SoftKeyBar::Command, this, &FileSelectWindow::Command);
    connect(done_, &QPushButton::clicked, this, [this] { Command(1); });
    connect(cancel_, &QPushButton::clicked, this, [this] { Command(res::IDC_FSD_CANCEL); });
    connect(up_, &QPushButton::clicked, this, [this] { Command(res::IDC_FSD_UP); });
    connect(list_, &QListWidget::itemSelectionChanged, this, &FileSelectWindow::OpenSelected);
    connect(type_, &QComboBox::activated, this, [this](int index) {
        browser_.ChangePattern(index);
        Refill();
        name_->setFocus();
    });
    list_->viewport()->installEventFilter(this);
    connect(hold_, &TapAndHold::Held, this, [this](QPoint p) {
        if (!pendingPress_) {
            return;
        }
        contextMenuShown_ = true;
        ReplayPress();
        ShowRowMenu(p);
    });

    if (owner != nullptr) {
        QWidget* top = owner->window();
        setGeometry(QRect(top->mapToGlobal(QPoint(0, 0)), top->size()));
    } else {
        resize(dpi.ScaleX(kHandsetWidth), dpi.ScaleY(kHandsetHeight));
    }
    browser_.Start(setup.filter, setup.initialFolder);
    for (const std::u16string& description : browser_.Descriptions()) {
        type_->addItem(ToQString(description));
    }
    type_->setCurrentIndex(0);
    Refill();
    Layout();
    name_->setFocus();
}

FileSelectWindow::~FileSelectWindow() = default;

void FileSelectWindow::Command(int id) {
    switch (id) {
        case 1:
            if (std::optional<std::u16string> path =
                    browser_.Confirm(ToU16(name_->text()), mode_)) {
                resultPath_ = std::move(path);
                done(1);
                return;
            }
            break;
        case res::IDC_FSD_CANCEL:
        case res::ID_FSD_CLOSE:
            Cancel(id);
            return;
        case res::IDC_FSD_UP:
        case res::ID_FSD_UP:
            browser_.Up();
            Refill();
            break;
        case res::ID_FSD_NEW_FOLDER:
            browser_.NewFolder();
            Refill();
            break;
        case res::ID_FSD_RENAME:
            browser_.Rename(SelectedRow());
            Refill();
            break;
        case res::ID_FSD_DELETE:
            browser_.Delete(SelectedRow());
            Refill();
            break;
        default:
            return;
    }
    name_->setFocus();
}

// Cancel, the close menu item, Escape and the window's close button all leave no result: a
// name refused by the existence check must not come back as if it had been chosen.
void FileSelectWindow::Cancel(int) {
    resultPath_.reset();
    done(0);
}

void FileSelectWindow::reject() {
    Cancel(res::IDC_FSD_CANCEL);
}

void FileSelectWindow::closeEvent(QCloseEvent* event) {
    Cancel(0);
    event->accept();
}

int FileSelectWindow::SelectedRow() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.first());
}

void FileSelectWindow::Refill() {
    QSignalBlocker block(list_);
    list_->clear();
    for (const FileRow& row : browser_.Rows()) {
        list_->addItem(ToQString(row.text));
    }
    folder_->setText(ToQString(browser_.FolderText()));
}

void FileSelectWindow::OpenSelected() {
    if (contextMenuShown_) {
        contextMenuShown_ = false;
        return;
    }
    int row = SelectedRow();
    if (row < 0) {
        return;
    }
    if (std::optional<std::u16string> name = browser_.Open(row)) {
        name_->setText(ToQString(*name));
    } else {
        Refill();
    }
    name_->setFocus();
}

void FileSelectWindow::ReplayPress() {
    if (!pendingPress_) {
        return;
    }
    QPoint p = *pendingPress_;
    pendingPress_.reset();
    QWidget* viewport = list_->viewport();
    QMouseEvent press(QEvent::MouseButtonPress, p, viewport->mapToGlobal(p), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    replaying_ = true;
    QCoreApplication::sendEvent(viewport, &press);
    replaying_ = false;
}

// The first click opened the folder (a tap does); the second lands in the new listing and must
// not open another level. On the file the first click picked, it chooses that file.
void FileSelectWindow::DoubleClicked(QPoint listPoint) {
    pendingPress_.reset();
    hold_->Release();
    const int row = list_->indexAt(listPoint).row();
    if (row >= browser_.FolderCount() && row == SelectedRow()) {
        Command(1);
    }
}

// Tap-and-hold on the list: a right press, or a left press held still for the hold time.
bool FileSelectWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != list_->viewport() || replaying_) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                DoubleClicked(static_cast<QMouseEvent*>(event)->position().toPoint());
                return true;
            }
            break;
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            QPoint p = mouse->position().toPoint();
            if (mouse->button() == Qt::RightButton) {
                contextMenuShown_ = true;
                QTimer::singleShot(0, this, [this, p] { ShowRowMenu(p); });
                return false;
            }
            if (mouse->button() == Qt::LeftButton) {
                pendingPress_ = p;
                hold_->Press(p);
                return true;
            }
            break;
        }
        case QEvent::MouseMove:
            if (pendingPress_) {
                hold_->Move(static_cast<QMouseEvent*>(event)->position().toPoint());
                if (!hold_->Pending()) {
                    ReplayPress();
                }
            }
            break;
        case QEvent::MouseButtonRelease:
            if (pendingPress_) {
                hold_->Release();
                ReplayPress();
            }
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

// The chosen command acts on the row under the press, which the press has just selected.
void FileSelectWindow::ShowRowMenu(QPoint listPoint) {
    contextMenuShown_ = false;
    QMenu menu(this);
    res::FillMenu(&menu, res::FileDialogPopup(), [](int) {});
    QAction* chosen = menu.exec(list_->viewport()->mapToGlobal(listPoint));
    if (chosen != nullptr) {
        Command(chosen->data().toInt());
    } else {
        // Dismissed: the row the press selected must open on the next tap, which would not
        // change the selection otherwise.
        QSignalBlocker block(list_);
        list_->clearSelection();
    }
}

int FileSelectWindow::Message(const Notice& message) {
    return ShowNotice(this, message);
}

std::optional<std::u16string> FileSelectWindow::AskValue(std::u16string_view caption,
                                                         std::u16string_view initial) {
    ValueInputDialog prompt;
    prompt.caption = std::u16string(caption);
    prompt.text = std::u16string(initial);
    prompt.Run(this);
    return prompt.text;
}

// The handset's formulas, with the dialog's client height H taken above the soft-key bar and
// T, the main window's top edge on the handset screen, being the task bar's height. Buttons and
// labels grow (never shrink) to what their text needs in the font at hand; the boxes beside the
// labels start after the wider label.
void FileSelectWindow::Layout() {
    Dpi dpi = ScreenDpi();
    auto atLeast = [](int width, QWidget* widget) {
        return std::max(width, widget->sizeHint().width());
    };
    int bar = dpi.ScaleY(kBarHeight);
    int r = width();
    int h = height() - bar;
    int t = dpi.ScaleY(kBarHeight);
    softKeys_->setGeometry(0, h, r, bar);
    int cancelWidth = atLeast(dpi.ScaleX(60), cancel_);
    int cancelX = r - dpi.ScaleX(5) - cancelWidth;
    int doneWidth = atLeast(dpi.ScaleX(35), done_);
    int doneX = cancelX - dpi.ScaleX(5) - doneWidth;
    cancel_->setGeometry(cancelX, dpi.ScaleY(3), cancelWidth, dpi.ScaleY(20));
    done_->setGeometry(doneX, dpi.ScaleY(3), doneWidth, dpi.ScaleY(20));
    title_->setGeometry(dpi.ScaleX(5), dpi.ScaleY(5), std::max(0, doneX - dpi.ScaleX(10)),
                        dpi.ScaleY(20));
    folder_->setGeometry(dpi.ScaleX(5), dpi.ScaleY(30), r - dpi.ScaleX(30), dpi.ScaleY(20));
    up_->setGeometry(r - dpi.ScaleX(25), dpi.ScaleY(30), dpi.ScaleX(20), dpi.ScaleY(20));
    int listHeight = t + h - dpi.ScaleY(126);
    if (listHeight <= 0) {
        return;
    }
    list_->setGeometry(dpi.ScaleX(5), dpi.ScaleY(53), r - dpi.ScaleX(10), listHeight);
    int nameLabelWidth = atLeast(dpi.ScaleX(55), nameLabel_);
    int typeLabelWidth = atLeast(dpi.ScaleX(40), typeLabel_);
    int boxX = std::max(dpi.ScaleX(60), dpi.ScaleX(5) + std::max(nameLabelWidth, typeLabelWidth));
    int boxWidth = r - boxX - dpi.ScaleX(5);
    int nameY = t + h - dpi.ScaleY(72);
    nameLabel_->setGeometry(dpi.ScaleX(5), nameY, nameLabelWidth, dpi.ScaleY(18));
    name_->setGeometry(boxX, nameY, boxWidth, dpi.ScaleY(20));
    int typeY = t + h - dpi.ScaleY(49);
    typeLabel_->setGeometry(dpi.ScaleX(5), typeY, typeLabelWidth, dpi.ScaleY(18));
    type_->setGeometry(boxX, typeY, boxWidth, dpi.ScaleY(20));
}

void FileSelectWindow::resizeEvent(QResizeEvent*) {
    Layout();
}

// The line under the title row.
void FileSelectWindow::paintEvent(QPaintEvent*) {
    Dpi dpi = ScreenDpi();
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, dpi.ScaleX(1)));
    painter.drawLine(0, dpi.ScaleY(25), width(), dpi.ScaleY(25));
}

// A tap on the background hands the keyboard to the name box.
void FileSelectWindow::mousePressEvent(QMouseEvent* event) {
    name_->setFocus();
    QDialog::mousePressEvent(event);
}

// The setters copy their text; -1 when the copy cannot be had.
namespace {
template <typename F>
int Copying(F&& assign) {
    try {
        assign();
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return 0;
}
}  // namespace

FileSelectDialog::FileSelectDialog() = default;
FileSelectDialog::~FileSelectDialog() = default;

int FileSelectDialog::SetFilter(std::u16string_view filter) {
    return Copying([&] { setup_.filter = filter; });
}
int FileSelectDialog::SetInitialFolder(std::u16string_view folder) {
    return Copying([&] { setup_.initialFolder = folder; });
}
int FileSelectDialog::SetInitialFileName(std::u16string_view name) {
    return Copying([&] { setup_.initialName = name; });
}
int FileSelectDialog::SetMode(int mode) {
    setup_.mode = mode;
    return 0;
}
int FileSelectDialog::SetTitle(std::u16string_view title) {
    return Copying([&] { setup_.title = title; });
}
int FileSelectDialog::SetFileSystemRoot(std::string_view folder) {
    return Copying([&] { setup_.root = folder; });
}

int FileSelectDialog::Run(QWidget* parent, int) {
    FileSelectWindow window(parent, setup_);
    int code = window.exec();
    resultPath_ = window.ResultPath();
    return code == 1 ? 1 : 0;
}

std::optional<std::u16string> FileSelectDialog::GetResultPath() {
    std::optional<std::u16string> path = std::move(resultPath_);
    resultPath_.reset();
    return path;
}

}  // namespace zentorak
