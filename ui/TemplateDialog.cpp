#include "TemplateDialog.h"

#include "ApplicationIcon.h"
#include "WindowStyle.h"
#include "resource.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {

constexpr int kIconSize = 32;

// Song-style faces first: they look most like the Windows dialog font.
const char* const kFallbackFaces[] = {"SimSun", "NSimSun", "Noto Serif CJK SC", "AR PL UMing CN", "AR PL UMing TW"};

int MulDiv(int number, int numerator, int denominator)
{
    const long long product = static_cast<long long>(number) * numerator;
    return static_cast<int>((product + (product >= 0 ? denominator / 2 : -denominator / 2)) / denominator);
}

Qt::Alignment StaticAlignment(std::uint32_t style)
{
    Qt::Alignment alignment = (style & Style::kStaticCenterImage) ? Qt::AlignVCenter : Qt::AlignTop;
    if ((style & Style::kStaticTypeMask) == Style::kStaticCenter)
        alignment |= Qt::AlignHCenter;
    else if ((style & Style::kStaticTypeMask) == Style::kStaticRight)
        alignment |= Qt::AlignRight;
    else
        alignment |= Qt::AlignLeft;
    return alignment;
}

}  // namespace

CTemplateDialog::CTemplateDialog(const DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(parent)
    , m_template(dialogTemplate)
    , m_font(DialogFont(dialogTemplate))
{
    const QFontMetrics metrics(m_font);
    // The Windows rule: the average width of the 52 Latin letters, rounded, and the font height.
    m_baseUnitX = (metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
    m_baseUnitY = metrics.height();

    // An application window gets its own taskbar entry: a top-level window of its own, not a
    // dialog made transient for the application's hidden leader window.
    Qt::WindowFlags flags = ((dialogTemplate.exStyle & Style::kExAppWindow) ? Qt::Window : Qt::Dialog) | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint;
    if (dialogTemplate.style & Style::kMinimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    setWindowTitle(QString::fromStdString(dialogTemplate.title));
    setFont(m_font);
    setFixedSize(MapDialogRect(0, 0, dialogTemplate.cx, dialogTemplate.cy).size());
    setAcceptDrops(dialogTemplate.exStyle & Style::kExAcceptFiles);
}

CTemplateDialog::~CTemplateDialog()
{
    if (m_created)
        qApp->removeEventFilter(this);
}

QFont CTemplateDialog::DialogFont(const DialogTemplate& dialogTemplate)
{
    const QStringList families = QFontDatabase::families();
    QString face;
    if (families.contains(QString::fromStdString(dialogTemplate.fontName)))
        face = QString::fromStdString(dialogTemplate.fontName);
    for (const char* fallback : kFallbackFaces)
        if (face.isEmpty() && families.contains(fallback))
            face = fallback;
    for (const QString& family : families)
        if (face.isEmpty() && QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese))
            face = family;
    QFont font(face.isEmpty() ? QApplication::font().family() : face);
    font.setPointSize(dialogTemplate.pointSize);
    return font;
}

QRect CTemplateDialog::MapDialogRect(int x, int y, int cx, int cy) const
{
    return QRect(MulDiv(x, m_baseUnitX, 4), MulDiv(y, m_baseUnitY, 8), MulDiv(cx, m_baseUnitX, 4), MulDiv(cy, m_baseUnitY, 8));
}

int CTemplateDialog::DoModal()
{
    Create();
    return exec();
}

void CTemplateDialog::Create()
{
    if (m_created)
        return;
    CreateControls();
    m_created = true;
    qApp->installEventFilter(this);
    OnInitDialog();
}

QWidget* CTemplateDialog::CreateControl(const DialogItemTemplate& item)
{
    switch (item.controlClass) {
    case ControlClass::Edit:
        return new QLineEdit;
    case ControlClass::Progress:
        return new QProgressBar;
    case ControlClass::Static:
        return new QLabel;
    case ControlClass::Button:
        if ((item.style & Style::kButtonTypeMask) == Style::kButtonGroupBox)
            return new QGroupBox;
        return new QPushButton;
    }
    return new QWidget;
}

void CTemplateDialog::ApplyTemplate(QWidget* widget, const DialogItemTemplate& item)
{
    const QString text = QString::fromStdString(item.text);
    widget->setParent(this);
    widget->setFont(m_font);
    widget->setGeometry(MapDialogRect(item.x, item.y, item.cx, item.cy));
    widget->setProperty("controlId", item.id);
    Style::Set(widget, item.style);
    widget->setFocusPolicy((item.style & Style::kTabStop) ? Qt::StrongFocus : Qt::NoFocus);

    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(text);
        edit->setReadOnly(item.style & Style::kEditReadOnly);
        edit->setFrame(item.style & Style::kBorder);
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(text);
        // Only a template's default button reacts to Enter; Qt would make every button one.
        button->setAutoDefault(false);
        button->setDefault((item.style & Style::kButtonTypeMask) == Style::kButtonDefault);
        connect(button, &QPushButton::clicked, this, [this, id = item.id] { OnCommand(id); });
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(text);
        // A Windows group box is transparent to hit-testing: clicks go to what lies under it.
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
    } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        if ((item.style & Style::kStaticTypeMask) == Style::kStaticIcon) {
            // Windows sizes an icon static to its icon, whatever the dialog units say.
            label->setPixmap(ApplicationIcon().pixmap(kIconSize, kIconSize));
            label->resize(kIconSize, kIconSize);
        } else {
            label->setText(text);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(StaticAlignment(item.style));
        }
    }
    widget->setVisible(item.style & Style::kVisible);
}

void CTemplateDialog::CreateControls()
{
    // Made in template order, the controls take Tab in that order, as on Windows.
    for (const DialogItemTemplate& item : m_template.items) {
        QWidget* widget = CreateControl(item);
        ApplyTemplate(widget, item);
        m_controls.push_back(widget);
    }
    // Windows stacks the first control on top; Qt would put the last there. It decides what
    // paints over what; clicks pass through the group boxes whatever their place.
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it)
        (*it)->raise();
}

QWidget* CTemplateDialog::GetDlgItem(int id) const
{
    for (QWidget* widget : m_controls)
        if (widget->property("controlId").toInt() == id)
            return widget;
    return nullptr;
}

QString CTemplateDialog::GetDlgItemText(int id) const
{
    QWidget* widget = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title();
    return QString();
}

void CTemplateDialog::SetDlgItemText(int id, const QString& text)
{
    QWidget* widget = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
    else if (auto* button = qobject_cast<QPushButton*>(widget))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
}

void CTemplateDialog::ShowDlgItem(int id, bool show)
{
    if (QWidget* widget = GetDlgItem(id))
        widget->setVisible(show);
}

void CTemplateDialog::OnCommand(int id)
{
    if (id == IDOK)
        accept();
    else if (id == IDCANCEL)
        reject();
}

bool CTemplateDialog::PreTranslateMessage(QObject*, QEvent*)
{
    return false;
}

bool CTemplateDialog::eventFilter(QObject* watched, QEvent* event)
{
    return PreTranslateMessage(watched, event) || QDialog::eventFilter(watched, event);
}
