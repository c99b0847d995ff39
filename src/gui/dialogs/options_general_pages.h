// The options sheet's pages 全般, 地図情報 and デバイス, and the base all five pages share:
// controls placed at 96-dpi positions scaled to the screen, each named by its control id. A page
// shows the values the core computes from the settings and reports its controls back as the core's
// values; it changes no setting itself (the map page's MapSiteNo correction is the core's rule).
#pragma once

#include <QString>
#include <QWidget>
#include <filesystem>

#include "core/app/options_pages.h"
#include "core/text/layout_scale.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace zentorak {

class OptionsPage : public QWidget {
    Q_OBJECT
public:
    OptionsPage(QWidget* parent, Dpi dpi);

protected:
    // Positions and sizes in 96-dpi units.
    void Place(QWidget* control, int x, int y, int w, int h) const;
    void PlaceText(QWidget* control, int x, int y, int w, int h) const;
    QLabel* AddStatic(const QString& text, int x, int y, int w, int h);
    QCheckBox* AddCheck(int id, const QString& text, bool checked, int x, int y, int w, int h);
    // A drop-down list without sorting; `h` is the height of the open list, as in a template.
    QComboBox* AddList(int id, int x, int y, int w, int h);
    // The caption added last names `field` (as its buddy) for a screen reader; AddList does this
    // itself.
    void CaptionFor(QWidget* field);
    Dpi dpi_;

private:
    QLabel* caption_ = nullptr;
};

class GeneralPage : public OptionsPage {
    Q_OBJECT
public:
    GeneralPage(QWidget* parent, Dpi dpi, const Settings& settings);
    GeneralPageValues Values() const;

private:
    QComboBox* searchCount_;
    QCheckBox* startupSearch_;
    QComboBox* updateMode_;
    QCheckBox* saveUpdateState_;
    QCheckBox* searchAfterJump_;
    QCheckBox* fullScreenDetails_;
};

class MapPage : public OptionsPage {
    Q_OBJECT
public:
    // Corrects an unknown MapSiteNo in `settings` to 1 at once.
    MapPage(QWidget* parent, Dpi dpi, Settings& settings);
    MapPageValues Values() const;

private:
    void FillScales();
    void ServiceChosen(int entry);

    MapPageValues shown_;  // the service shown, for the scale list
    QComboBox* service_;
    QComboBox* scale_;
    QCheckBox* googleCorrection_;
    QCheckBox* confirm_;
    QCheckBox* remember_;
};

class DevicePage : public OptionsPage {
    Q_OBJECT
public:
    // The port list shows beside each name the device it stands for under `portFolder`.
    DevicePage(QWidget* parent, Dpi dpi, const Settings& settings,
               const std::filesystem::path& portFolder);
    DevicePageValues Values() const;
    QLabel* PortDeviceLabel() const { return deviceLabel_; }

private:
    QComboBox* method_;
    QComboBox* port_;
    QLabel* deviceLabel_;
};

}  // namespace zentorak
