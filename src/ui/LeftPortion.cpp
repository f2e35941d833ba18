#include "ui/LeftPortion.h"

#include "imageio/DataPaths.h"
#include "ui/DialogUnits.h"
#include "ui/OrboDoc.h"
#include "ui/Resources.h"
#include "ui/TextureDialog.h"

#include <QButtonGroup>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace {

enum class EKind { Group, Slider, Label, Radio, Push, Picture };

struct SControl
{
    EKind kind;
    int id; // 0: a control nothing refers to
    const char* text;
    int x, y, width, height; // dialog units
};

// The form, control by control, in tab order; rectangles in dialog units. It is
// 173 units wide and 411 high; of the width only the controls must stay in reach.
constexpr int kFormHeight = 411;
const SControl kForm[] = {
    {EKind::Group, 0, QT_TRANSLATE_NOOP("CLeftPortion", "圆环控制"), 13, 7, 139, 163},
    {EKind::Slider, IDC_RING_RADIUS, "", 65, 22, 79, 30},
    {EKind::Slider, IDC_SECTION_RADIUS, "", 65, 57, 79, 30},
    {EKind::Label, 0, QT_TRANSLATE_NOOP("CLeftPortion", "环体半径"), 21, 29, 39, 14},
    {EKind::Label, 0, QT_TRANSLATE_NOOP("CLeftPortion", "截面半径"), 21, 65, 39, 14},
    {EKind::Slider, IDC_SURFACE_STEPS, "", 65, 92, 79, 30},
    {EKind::Slider, IDC_SECTION_STEPS, "", 65, 127, 79, 30},
    {EKind::Label, 0, QT_TRANSLATE_NOOP("CLeftPortion", "表面级数"), 21, 101, 39, 14},
    {EKind::Label, 0, QT_TRANSLATE_NOOP("CLeftPortion", "截面级数"), 21, 137, 39, 14},
    {EKind::Group, 0, QT_TRANSLATE_NOOP("CLeftPortion", "模型分类"), 13, 179, 139, 41},
    {EKind::Radio, IDC_WIREFRAME, QT_TRANSLATE_NOOP("CLeftPortion", "线框"), 21, 196, 31, 12},
    {EKind::Radio, IDC_SURFACE, QT_TRANSLATE_NOOP("CLeftPortion", "表面"), 69, 197, 31, 12},
    {EKind::Radio, IDC_TEXTURE, QT_TRANSLATE_NOOP("CLeftPortion", "纹理"), 117, 197, 31, 12},
    {EKind::Group, 0, QT_TRANSLATE_NOOP("CLeftPortion", "光源开关"), 13, 229, 139, 41},
    {EKind::Radio, IDC_LIGHT_OFF, QT_TRANSLATE_NOOP("CLeftPortion", "关"), 31, 246, 31, 12},
    {EKind::Radio, IDC_LIGHT_ON, QT_TRANSLATE_NOOP("CLeftPortion", "开"), 102, 246, 31, 12},
    {EKind::Group, 0, QT_TRANSLATE_NOOP("CLeftPortion", "明暗处理"), 13, 278, 139, 41},
    {EKind::Radio, IDC_GOURAUD, QT_TRANSLATE_NOOP("CLeftPortion", "Gouraud"), 31, 296, 52, 12},
    {EKind::Radio, IDC_PHONG, QT_TRANSLATE_NOOP("CLeftPortion", "Phong"), 102, 296, 39, 12},
    {EKind::Push, IDC_CHOOSE_TEXTURE, QT_TRANSLATE_NOOP("CLeftPortion", "选择纹理>>"), 19, 345, 58, 21},
    {EKind::Picture, IDC_TEXTURE_PREVIEW, "", 102, 340, 27, 27},
    {EKind::Label, IDC_FACET_COUNT, QT_TRANSLATE_NOOP("CLeftPortion", "面片总数："), 21, 384, 122, 9},
    {EKind::Group, 0, QT_TRANSLATE_NOOP("CLeftPortion", "纹理映射"), 13, 327, 139, 50},
};

// The form scrolls sideways only once the pane is too narrow for the controls
// themselves and this gap after them: the template's wider blank margin on the
// right is not worth a scroll bar.
constexpr int kRightGap = 4;

int ControlsRight()
{
    int right = 0;
    for (const SControl& c : kForm)
        right = std::max(right, c.x + c.width);
    return right;
}

struct SSliderSetup
{
    int id;
    int minimum, maximum, position, tickInterval, pageStep;
};

// The ranges of RenderLimits, starting at the document's defaults.
const CRenderSettings kStart;
const SSliderSetup kSliders[] = {
    {IDC_RING_RADIUS, RenderLimits::kMinRingRadius, RenderLimits::kMaxRingRadius, kStart.m_nRingRadius, 50,
     50},
    {IDC_SECTION_RADIUS, RenderLimits::kMinSectionRadius, RenderLimits::kMaxSectionRadius,
     kStart.m_nSectionRadius, 20, 20},
    {IDC_SURFACE_STEPS, RenderLimits::kMinSteps, RenderLimits::kMaxSteps, kStart.m_nSurfaceSteps, 6, 6},
    {IDC_SECTION_STEPS, RenderLimits::kMinSteps, RenderLimits::kMaxSteps, kStart.m_nSectionSteps, 6, 6},
};

// Checks the button with index value, or none when value is out of range.
void SelectButton(QButtonGroup* group, int value)
{
    if (QAbstractButton* button = group->button(value)) {
        button->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

// One control of the form from its row: created in parent, whose top-left
// corner is at origin in the form, then placed at its rectangle.
QWidget* CreateControl(const SControl& row, const CDialogUnits& units, QWidget* form, QPoint origin,
                       const QPixmap& placeholder)
{
    const QString text = CLeftPortion::tr(row.text);
    const QRect rect = units.Rect(row.x, row.y, row.width, row.height).translated(-origin);
    switch (row.kind) {
    case EKind::Group: {
        // A frame with a title drawn behind the controls it surrounds; clicks
        // go through it to them.
        auto* box = new QGroupBox(text, form);
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->setFocusPolicy(Qt::NoFocus);
        box->setGeometry(rect);
        return box;
    }
    case EKind::Slider: {
        auto* slider = new QSlider(Qt::Horizontal, form);
        slider->setTickPosition(QSlider::TicksBothSides);
        // The style's own height, centred in the rectangle: tick marks then sit
        // beside the groove instead of at the rectangle's far edges.
        const int height = qMin(rect.height(), slider->sizeHint().height());
        slider->setGeometry(rect.x(), rect.y() + (rect.height() - height) / 2, rect.width(), height);
        return slider;
    }
    case EKind::Label: {
        auto* label = new QLabel(text, form);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(rect);
        return label;
    }
    case EKind::Radio: {
        auto* radio = new QRadioButton(text, form);
        radio->setGeometry(rect);
        return radio;
    }
    case EKind::Push: {
        auto* button = new QPushButton(text, form);
        button->setGeometry(rect);
        return button;
    }
    case EKind::Picture:
        break;
    }
    // The picture keeps its own size, placed at the rectangle's corner.
    auto* picture = new QLabel(form);
    picture->setPixmap(placeholder);
    picture->setGeometry(QRect(rect.topLeft(), placeholder.size()));
    return picture;
}

bool Contains(const SControl& outer, const SControl& inner)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

// A control's rectangle in the form's coordinates, wherever its parent lies.
QRect InForm(const QWidget* widget, const QWidget* form)
{
    return QRect(widget->parentWidget()->mapTo(form, widget->pos()), widget->size());
}

// In a translated window a text may be wider than the rectangle drawn for its
// Chinese original. Its control then grows to the right up to the next control
// of its row (a slider there gives up the room instead: its groove stays long
// enough) or the edge of its frame, and moves left into free room when that is
// not enough. Rows are fitted from their right end, so that each control may
// take the free room its left neighbour has not yet claimed. Controls showing
// their original text keep their rectangle.
void FitTranslatedTexts(const std::vector<std::pair<const SControl*, QWidget*>>& controls,
                        const QWidget* form, const CDialogUnits& units)
{
    const int gap = units.X(2);
    const int margin = units.X(4);
    for (std::size_t i = controls.size(); i-- > 0;) {
        const auto [row, widget] = controls[i];
        if (row->kind != EKind::Label && row->kind != EKind::Radio && row->kind != EKind::Push)
            continue;
        const int needed = widget->sizeHint().width();
        QRect rect = InForm(widget, form);
        if (needed <= rect.width() || CLeftPortion::tr(row->text) == QString::fromUtf8(row->text))
            continue;
        int left = 0;
        int right = std::numeric_limits<int>::max();
        QWidget* slider = nullptr;
        for (std::size_t j = 0; j < controls.size(); ++j) {
            const auto [other, otherWidget] = controls[j];
            const QRect area = InForm(otherWidget, form);
            if (j == i)
                continue;
            if (other->kind == EKind::Group) {
                if (area.contains(rect.center())) {
                    left = std::max(left, area.left() + margin);
                    right = std::min(right, area.right() - margin);
                }
                continue;
            }
            if (area.bottom() < rect.top() || area.top() > rect.bottom())
                continue; // another row
            if (area.left() >= rect.right() - gap) {
                if (other->kind == EKind::Slider)
                    slider = otherWidget;
                else
                    right = std::min(right, area.left() - gap);
            } else if (area.right() <= rect.left() + gap) {
                left = std::max(left, area.right() + gap);
            }
        }
        rect.setWidth(needed);
        if (rect.right() > right)
            rect.moveRight(right);
        if (rect.left() < left)
            rect.moveLeft(left);
        widget->setGeometry(rect.translated(-widget->parentWidget()->mapTo(form, QPoint(0, 0))));
        if (slider && InForm(slider, form).left() < rect.right() + gap) {
            const QRect groove = slider->geometry();
            const int shift = rect.right() + gap - InForm(slider, form).left();
            slider->setGeometry(groove.adjusted(shift, 0, 0, 0));
        }
    }
}

// A slider's label is the one on its left, on the same row: it names the slider
// for screen readers.
void NameSlidersByTheirLabels(const std::vector<std::pair<const SControl*, QWidget*>>& made)
{
    for (const auto& [label, labelWidget] : made) {
        if (label->kind != EKind::Label || label->id != 0)
            continue;
        const int middle = label->y + label->height / 2;
        for (const auto& [slider, sliderWidget] : made)
            if (slider->kind == EKind::Slider && slider->x > label->x && middle >= slider->y &&
                middle < slider->y + slider->height)
                static_cast<QLabel*>(labelWidget)->setBuddy(sliderWidget);
    }
}

} // namespace

// Bitmaps first, as the program has always offered; then every format the texture
// loader reads (it refuses others, whose truncation it could not detect).
const char* const CLeftPortion::kTextureFilter =
    QT_TR_NOOP("位图文件(*.bmp);;图像文件(*.bmp *.png *.jpg *.jpeg);;All Files (*.*)");

CLeftPortion::CLeftPortion(COrboDoc& doc, QWidget* parent)
    : QScrollArea(parent), m_doc(doc), m_chooseFile(&CTextureDialog::GetOpenFileName)
{
    InitOrboResources();
    setFrameShape(QFrame::NoFrame);
    // The form fills a pane larger than it and scrolls either way in a smaller
    // one: the splitter bar can narrow the pane until the controls no longer fit.
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Window);
    // Tab goes from control to control; the scrolling frame around them is no stop.
    setFocusPolicy(Qt::NoFocus);
    CreateControls();
}

void CLeftPortion::CreateControls()
{
    m_pForm = new QWidget;
    m_pForm->setFont(DialogFont());
    const CDialogUnits units(m_pForm->font());
    m_pForm->setMinimumSize(units.Size(ControlsRight() + kRightGap, kFormHeight));
    m_placeholder = QPixmap(QStringLiteral(":/orbo/swatch.png"));

    // A radio button is made inside the group frame around it: the frame's title
    // is then its group's name for screen readers, as it is for the eye. Other
    // controls lie on the form, the frames behind them.
    std::vector<std::pair<const SControl*, QWidget*>> made;
    for (const SControl& row : kForm) {
        QWidget* parent = m_pForm;
        QPoint origin;
        for (const auto& [frame, box] : made)
            if (row.kind == EKind::Radio && frame->kind == EKind::Group && Contains(*frame, row)) {
                parent = box;
                origin = box->pos();
                // It holds controls now: clicks must reach them.
                box->setAttribute(Qt::WA_TransparentForMouseEvents, false);
            }
        QWidget* widget = CreateControl(row, units, parent, origin, m_placeholder);
        made.emplace_back(&row, widget);
        if (row.id != 0)
            m_controls[row.id] = widget;
    }
    FitTranslatedTexts(made, m_pForm, units);
    // Frames last in the list still lie beneath every other control.
    for (QGroupBox* box : m_pForm->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
        box->lower();
    NameSlidersByTheirLabels(made);

    m_picTexture = Label(IDC_TEXTURE_PREVIEW);
    m_picTexture->setAccessibleName(tr("纹理预览"));
    m_staticFacetCount = Label(IDC_FACET_COUNT);
    m_sliderSectionSteps = Slider(IDC_SECTION_STEPS);
    m_sliderSurfaceSteps = Slider(IDC_SURFACE_STEPS);
    m_sliderSectionRadius = Slider(IDC_SECTION_RADIUS);
    m_sliderRingRadius = Slider(IDC_RING_RADIUS);

    m_pModeGroup = new QButtonGroup(this);
    m_pLightGroup = new QButtonGroup(this);
    m_pShadingGroup = new QButtonGroup(this);
    m_pModeGroup->addButton(Button(IDC_WIREFRAME), kModeWireframe);
    m_pModeGroup->addButton(Button(IDC_SURFACE), kModeSurface);
    m_pModeGroup->addButton(Button(IDC_TEXTURE), kModeTexture);
    m_pLightGroup->addButton(Button(IDC_LIGHT_OFF), kLightOff);
    m_pLightGroup->addButton(Button(IDC_LIGHT_ON), kLightOn);
    m_pShadingGroup->addButton(Button(IDC_GOURAUD), kShadingGouraud);
    m_pShadingGroup->addButton(Button(IDC_PHONG), kShadingPhong);
    for (QButtonGroup* group : {m_pModeGroup, m_pLightGroup, m_pShadingGroup})
        for (QAbstractButton* button : group->buttons())
            button->installEventFilter(this);
    UpdateData(false); // nothing selected until the initial update

    ConnectCommands();
    setWidget(m_pForm);
}

bool CLeftPortion::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (button && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && button->group() &&
            !button->isChecked()) {
            QAbstractButton* checked = button->group()->checkedButton();
            if (checked && checked->isEnabled())
                checked->setFocus(reason);
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

// Sliders report every position change; buttons their clicks.
void CLeftPortion::ConnectCommands()
{
    static const struct
    {
        int id;
        void (CLeftPortion::*handler)();
    } kCommands[] = {
        {IDC_WIREFRAME, &CLeftPortion::OnWireframe}, {IDC_SURFACE, &CLeftPortion::OnSurface},
        {IDC_TEXTURE, &CLeftPortion::OnTexture},     {IDC_LIGHT_OFF, &CLeftPortion::OnLightOff},
        {IDC_LIGHT_ON, &CLeftPortion::OnLightOn},    {IDC_GOURAUD, &CLeftPortion::OnGouraud},
        {IDC_PHONG, &CLeftPortion::OnPhong},         {IDC_CHOOSE_TEXTURE, &CLeftPortion::OnChooseTexture},
    };
    for (const auto& command : kCommands)
        connect(Button(command.id), &QAbstractButton::clicked, this, command.handler);
    for (const SSliderSetup& s : kSliders)
        connect(Slider(s.id), &QSlider::valueChanged, this, &CLeftPortion::OnHScroll);
    // The form's own horizontal scroll bar notifies the panel like its sliders.
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &CLeftPortion::OnHScroll);
}

QWidget* CLeftPortion::Control(int id) const
{
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

QSlider* CLeftPortion::Slider(int id) const
{
    return qobject_cast<QSlider*>(Control(id));
}

QAbstractButton* CLeftPortion::Button(int id) const
{
    return qobject_cast<QAbstractButton*>(Control(id));
}

QLabel* CLeftPortion::Label(int id) const
{
    return qobject_cast<QLabel*>(Control(id));
}

QPixmap CLeftPortion::PreviewPixmap() const
{
    return m_picTexture->pixmap();
}

void CLeftPortion::OnInitialUpdate()
{
    for (const SSliderSetup& s : kSliders) {
        QSlider* slider = Slider(s.id);
        const QSignalBlocker blocker(slider);
        slider->setRange(s.minimum, s.maximum);
        slider->setValue(s.position);
        slider->setTickInterval(s.tickInterval);
        slider->setPageStep(s.pageStep);
    }
    m_nMode = kModeWireframe;
    m_nLight = kLightOn;
    m_nShading = kShadingGouraud;
    EnableControls({}, {IDC_GOURAUD, IDC_PHONG, IDC_CHOOSE_TEXTURE});
    UpdateFacetCount();
    UpdateData(false);
}

void CLeftPortion::UpdateData(bool save)
{
    if (save) {
        m_nMode = m_pModeGroup->checkedId();
        m_nShading = m_pShadingGroup->checkedId();
        m_nLight = m_pLightGroup->checkedId();
        return;
    }
    SelectButton(m_pModeGroup, m_nMode);
    SelectButton(m_pShadingGroup, m_nShading);
    SelectButton(m_pLightGroup, m_nLight);
}

void CLeftPortion::UpdateFacetCount()
{
    m_staticFacetCount->setText(
        tr("面片总数：%1").arg(m_sliderSurfaceSteps->value() * m_sliderSectionSteps->value()));
}

void CLeftPortion::EnableControls(std::initializer_list<int> enable, std::initializer_list<int> disable)
{
    for (int id : enable)
        Control(id)->setEnabled(true);
    for (int id : disable)
        Control(id)->setEnabled(false);
}

void CLeftPortion::OnHScroll()
{
    UpdateData(true);
    m_doc.m_nRingRadius = m_sliderRingRadius->value();
    m_doc.m_nSectionRadius = m_sliderSectionRadius->value();
    m_doc.m_nSurfaceSteps = m_sliderSurfaceSteps->value();
    m_doc.m_nSectionSteps = m_sliderSectionSteps->value();
    UpdateFacetCount();
    UpdateData(false);
}

void CLeftPortion::OnWireframe()
{
    EnableControls({}, {IDC_GOURAUD, IDC_PHONG, IDC_CHOOSE_TEXTURE});
    m_nMode = kModeWireframe;
    UpdateData(false);
    m_doc.m_nMode = kModeWireframe;
}

void CLeftPortion::OnSurface()
{
    EnableControls({IDC_GOURAUD, IDC_PHONG}, {IDC_CHOOSE_TEXTURE});
    m_nMode = kModeSurface;
    UpdateData(false);
    m_doc.m_nMode = kModeSurface;
}

// Textures are lit per pixel only, so texture mode selects its shading, Phong.
void CLeftPortion::OnTexture()
{
    EnableControls({IDC_CHOOSE_TEXTURE, IDC_PHONG}, {IDC_GOURAUD});
    m_nMode = kModeTexture;
    m_nShading = kTextureShading;
    UpdateData(false);
    m_doc.m_nMode = kModeTexture;
    m_doc.m_nShading = kTextureShading;
}

void CLeftPortion::OnLightOff()
{
    m_nLight = kLightOff;
    UpdateData(false);
    m_doc.m_nLight = kLightOff;
}

void CLeftPortion::OnLightOn()
{
    m_nLight = kLightOn;
    UpdateData(false);
    m_doc.m_nLight = kLightOn;
}

void CLeftPortion::OnGouraud()
{
    m_nShading = kShadingGouraud;
    UpdateData(false);
    m_doc.m_nShading = kShadingGouraud;
}

void CLeftPortion::OnPhong()
{
    m_nShading = kShadingPhong;
    UpdateData(false);
    m_doc.m_nShading = kShadingPhong;
}

void CLeftPortion::OnChooseTexture()
{
    if (!m_chooseFile)
        return;
    // The dialog opens where the last texture was chosen, while that folder is
    // there; the working directory, which the default texture's path is
    // relative to, is left as it is.
    const QString folder = !m_strTextureFolder.isEmpty() && QFileInfo(m_strTextureFolder).isDir()
                               ? m_strTextureFolder
                               : TextureFolder();
    const QString path = m_chooseFile(this, tr("打开"), folder, tr(kTextureFilter));
    if (path.isEmpty())
        return;
    m_strTextureFolder = QFileInfo(path).absolutePath();
    // The view loads it on its next tick; the preview is read here by the same
    // full path, without touching the working directory.
    m_doc.m_strTexturePath = QFile::encodeName(path).toStdString();
    ShowPreview(path);
}

// The top-left part of the image, unscaled, over the placeholder; the plain
// placeholder when the file cannot be read as an image. Only a regular file is
// opened: reading a FIFO or a device would block the window until something
// writes to it, or forever. The view reports such a choice as unloadable.
void CLeftPortion::ShowPreview(const QString& path)
{
    QPixmap picture = m_placeholder;
    if (!QFileInfo(path).isFile()) {
        m_picTexture->setPixmap(picture);
        return;
    }
    QImageReader reader(path);
    const QSize imageSize = reader.size();
    if (imageSize.isValid())
        reader.setClipRect(QRect(QPoint(0, 0), imageSize.boundedTo(picture.size())));
    const QImage image = reader.read();
    if (!image.isNull()) {
        QPainter painter(&picture);
        painter.drawImage(QPoint(0, 0), image);
    }
    m_picTexture->setPixmap(picture);
}
