// The options sheet's pages 位置情報 (the list of location-info files, with 追加 and 削除) and
// 特別項目 (which column captions name a target and hold its telephone number). The list rules,
// messages and captions are the core's (core/app/options_files.h); the file itself is chosen
// through the FileChooser the sheet hands in. Nothing reaches the settings before the sheet's OK.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app/options_files.h"
#include "gui/dialogs/options_general_pages.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zentorak {

class FilesPage : public OptionsPage {
    Q_OBJECT
public:
    using Chooser = std::function<std::optional<std::u16string>(QWidget* page)>;
    FilesPage(QWidget* parent, Dpi dpi, const LocationInfoFileList& files, Chooser chooser);

    const std::vector<std::u16string>& Entries() const { return list_.Entries(); }
    // "追加": a file chosen through the chooser, refused when already listed.
    void AddFile();
    // "削除": the selected entry, after the person has said yes.
    void DeleteSelected();

    QListWidget* List() const { return listBox_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* DeleteButton() const { return delete_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateButtons();

    FileListPage list_;
    Chooser chooser_;
    QListWidget* listBox_;
    QPushButton* add_;
    QPushButton* delete_;
};

class SpecialItemsPage : public OptionsPage {
    Q_OBJECT
public:
    // `filesPage` gives the files page's list while that page exists in this showing of the
    // sheet, else null; `storedFiles` is the list as stored.
    SpecialItemsPage(QWidget* parent, Dpi dpi, const ColumnMap& columns, const Settings& settings,
                     const LocationInfoFileList& storedFiles,
                     std::function<const std::vector<std::u16string>*()> filesPage);

    // "項目名更新": the captions read from the first file's header.
    void RefreshCaptions();
    SpecialItemsValues Values() const;

private:
    void Show(const SpecialItemsView& view);

    const Settings& settings_;
    const LocationInfoFileList& storedFiles_;
    std::function<const std::vector<std::u16string>*()> filesPage_;
    QLineEdit* lat_;
    QLineEdit* lon_;
    QComboBox* favName_;
    QComboBox* tel_;
    // Whether the person picked another entry since the lists were filled.
    bool favNamePicked_ = false;
    bool telPicked_ = false;
};

}  // namespace zentorak
