#pragma once

#include "scene/RenderSettings.h"

#include <QPixmap>
#include <QScrollArea>
#include <QString>

#include <functional>
#include <initializer_list>
#include <map>

class COrboDoc;
class QAbstractButton;
class QButtonGroup;
class QLabel;
class QSlider;

// Control identifiers of the panel's form.
enum : int {
    IDC_LIGHT_OFF = 140,
    IDC_LIGHT_ON = 141,
    IDC_GOURAUD = 142,
    IDC_PHONG = 143,
    IDC_WIREFRAME = 1000,
    IDC_SURFACE = 1001,
    IDC_TEXTURE = 1002,
    IDC_RING_RADIUS = 1004,
    IDC_SECTION_RADIUS = 1005,
    IDC_SURFACE_STEPS = 1009,
    IDC_SECTION_STEPS = 1010,
    IDC_CHOOSE_TEXTURE = 1013,
    IDC_FACET_COUNT = 1014,
    IDC_TEXTURE_PREVIEW = 1017,
};

// The control panel in the left pane: four sliders for the torus, radio groups
// for drawing mode, light switch and shading, the texture chooser with its
// preview, and the facet count. Every change is written into the document; the
// panel never talks to the view. The form scrolls when the pane is smaller.
// Each control is named for screen readers by its own text, its label, or (the
// radio buttons) inside its group, which the group's title names.
class CLeftPortion : public QScrollArea
{
    Q_OBJECT

public:
    // Asks for a file to open; returns its full path, or an empty string on cancel.
    using FileDialogHook = std::function<QString(QWidget* parent, const QString& caption,
                                                 const QString& folder, const QString& filter)>;

    static const char* const kTextureFilter; // translated where it is used

    explicit CLeftPortion(COrboDoc& doc, QWidget* parent = nullptr);

    // Sets the sliders up and selects wireframe, light on and Gouraud. The
    // document already holds the same values and is not written.
    void OnInitialUpdate();

    // Writes all four slider positions into the document, whichever one moved.
    void OnHScroll();

    void OnWireframe();
    void OnSurface();
    void OnTexture();
    void OnLightOff();
    void OnLightOn();
    void OnGouraud();
    void OnPhong();
    void OnChooseTexture();

    // The control with the given identifier, or null.
    QWidget* Control(int id) const;
    QSlider* Slider(int id) const;
    QAbstractButton* Button(int id) const;
    QLabel* Label(int id) const;

    // The picture shown at the preview control: the placeholder, or the top-left
    // part of the last chosen texture over it.
    QPixmap PreviewPixmap() const;

    void SetFileDialogHook(FileDialogHook hook) { m_chooseFile = std::move(hook); }

    // The size of the pane when the window first opens.
    QSize sizeHint() const override { return QSize(kWidth, ViewSize::kHeight); }
    // The panel's width when the window first opens.
    static constexpr int kWidth = 260;

protected:
    // Tab into a radio group lands on its checked button, whichever comes first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void ConnectCommands();
    // Moves the radio members into the buttons (false) or back (true).
    void UpdateData(bool save);
    void UpdateFacetCount();
    void ShowPreview(const QString& path);
    void EnableControls(std::initializer_list<int> enable, std::initializer_list<int> disable);

    COrboDoc& m_doc;
    QWidget* m_pForm = nullptr;
    std::map<int, QWidget*> m_controls;
    QLabel* m_picTexture = nullptr;
    QLabel* m_staticFacetCount = nullptr;
    QSlider* m_sliderSectionSteps = nullptr;
    QSlider* m_sliderSurfaceSteps = nullptr;
    QSlider* m_sliderSectionRadius = nullptr;
    QSlider* m_sliderRingRadius = nullptr;
    QButtonGroup* m_pModeGroup = nullptr;
    QButtonGroup* m_pShadingGroup = nullptr;
    QButtonGroup* m_pLightGroup = nullptr;
    // Index of the selected button of each radio group, -1 for none.
    int m_nMode = -1;
    int m_nShading = -1;
    int m_nLight = -1;
    QPixmap m_placeholder;
    FileDialogHook m_chooseFile;
    QString m_strTextureFolder; // of the texture chosen last; empty before the first
};
