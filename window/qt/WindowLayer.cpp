// The window layer over Qt 6: the dialog manager's rules rebuilt with widgets.
#include "window/WindowLayer.h"

#include "platform/TextCodec.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTranslator>

#include <utility>

namespace {

constexpr int kIconSize = 32;

// Song-style faces first: they look most like the Windows dialog font.
const char* const kFallbackFaces[] = {"SimSun", "NSimSun", "Noto Serif CJK SC", "AR PL UMing CN", "AR PL UMing TW"};

// Texts cross into Qt and back unchanged, a file name's bytes that are no UTF-8 too: they travel
// as lone surrogates inside the QString.
QString Q(const std::string& text)
{
    return QString::fromStdU16String(zanfo::BytesToUtf16(text));
}

std::string S(const QString& text)
{
    return zanfo::Utf16ToBytes(text.toStdU16String());
}

int MulDiv(int number, int numerator, int denominator)
{
    const long long product = static_cast<long long>(number) * numerator;
    return static_cast<int>((product + (product >= 0 ? denominator / 2 : -denominator / 2)) / denominator);
}

// Every image in the folder, each at its own size.
QIcon IconFromFolder(const std::string& folder)
{
    QIcon icon;
    const QDir images(Q(folder));
    for (const QString& name : images.entryList(QDir::Files))
        icon.addFile(images.filePath(name));
    return icon;
}

QColor ToQColor(Colour colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// The template's face where the machine has it, else a Song-style CJK face, else any CJK face.
QFont DialogFont(const DialogTemplate& dialogTemplate)
{
    const QStringList families = QFontDatabase::families();
    QString face;
    if (families.contains(Q(dialogTemplate.fontName)))
        face = Q(dialogTemplate.fontName);
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

// A static text, which a link behaviour may take over: then it paints in the behaviour's
// colour with no background, and reports the pointer and clicks to it.
class CStaticLabel : public QLabel {
public:
    CLinkBehaviour* m_link = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!m_link)
            return QLabel::paintEvent(event);
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(ToQColor(m_link->TextColour()));
        painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine, text());
    }
    void enterEvent(QEnterEvent* event) override
    {
        QLabel::enterEvent(event);
        if (m_link)
            m_link->OnHover(true);
    }
    void leaveEvent(QEvent* event) override
    {
        QLabel::leaveEvent(event);
        if (m_link)
            m_link->OnHover(false);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        QLabel::mouseDoubleClickEvent(event);
        m_doubleClickRelease = true;
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QLabel::mouseReleaseEvent(event);
        // The release that ends a double-click is no second click (Windows reports it as a double-click).
        if (std::exchange(m_doubleClickRelease, false))
            return;
        if (m_link && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_link->OnClicked();
    }

private:
    bool m_doubleClickRelease = false;
};

// What the window system was told of the program, for every dialog it makes.
struct Program {
    ApplicationIdentity identity;
    QIcon icon;
};
const Program* g_program = nullptr;

QIcon ApplicationIcon()
{
    return g_program ? g_program->icon : QIcon();
}

}  // namespace

struct CWindowSystem::Native {
    QApplication application;
    Program program;
    // Qt's own texts (OK, Cancel, the file chooser) in the program's language.
    QTranslator qtTranslator;

    Native(int& argc, char** argv, ApplicationIdentity identity)
        : application(argc, argv)
        , program{std::move(identity), QIcon()}
    {
        program.icon = IconFromFolder(program.identity.iconFolder);
        // Desktops take the name and the icon they show for the windows, and group them, from
        // the desktop entry they belong to.
        QGuiApplication::setDesktopFileName(Q(program.identity.desktopId));
        const std::string& language = program.identity.toolkitLanguage;
        if (!language.empty() && qtTranslator.load(Q("qtbase_" + language), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&qtTranslator);
        g_program = &program;
    }
    ~Native() { g_program = nullptr; }
};

CWindowSystem::CWindowSystem(int& argc, char** argv, ApplicationIdentity identity)
    : m_native(std::make_unique<Native>(argc, argv, std::move(identity)))
{
}

CWindowSystem::~CWindowSystem() = default;

const ApplicationIdentity& CWindowSystem::Identity()
{
    static const ApplicationIdentity none;
    return g_program ? g_program->identity : none;
}

void CWindowSystem::PumpEvents()
{
    QCoreApplication::processEvents();
}

std::string CWindowSystem::ApplicationTitle()
{
    return S(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}

Colour CWindowSystem::HighlightColour()
{
    const QColor colour = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    return Rgb(colour.red(), colour.green(), colour.blue());
}

void CWindowSystem::Beep()
{
    QApplication::beep();
}

struct CTemplateDialog::Native final : QDialog {
    CTemplateDialog& self;
    QFont font;
    int baseUnitX;
    int baseUnitY;
    std::vector<QWidget*> controls;
    bool created = false;

    Native(CTemplateDialog& dialog, QWidget* owner)
        : QDialog(owner)
        , self(dialog)
        , font(DialogFont(dialog.m_template))
    {
        const DialogTemplate& dialogTemplate = dialog.m_template;
        const QFontMetrics metrics(font);
        // The Windows rule: the average width of the 52 Latin letters, rounded, and the font height.
        baseUnitX = (metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
        baseUnitY = metrics.height();
        // An application window gets its own taskbar entry: a top-level window of its own, not
        // a dialog made transient for the application's hidden leader window.
        Qt::WindowFlags flags = ((dialogTemplate.exStyle & Style::kExAppWindow) ? Qt::Window : Qt::Dialog) | Qt::CustomizeWindowHint |
                                Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (dialogTemplate.style & Style::kMinimizeBox)
            flags |= Qt::WindowMinimizeButtonHint;
        setWindowFlags(flags);
        setWindowTitle(Q(dialogTemplate.title));
        setWindowIcon(ApplicationIcon());
        setFont(font);
        setFixedSize(Rect(MapDialogRect(0, 0, dialogTemplate.cx, dialogTemplate.cy)).size());
        setAcceptDrops(dialogTemplate.exStyle & Style::kExAcceptFiles);
    }
    ~Native() override
    {
        if (created)
            qApp->removeEventFilter(this);
    }

    static QRect Rect(const ItemRect& rect) { return QRect(rect.x, rect.y, rect.cx, rect.cy); }
    ItemRect MapDialogRect(int x, int y, int cx, int cy) const
    {
        return {MulDiv(x, baseUnitX, 4), MulDiv(y, baseUnitY, 8), MulDiv(cx, baseUnitX, 4), MulDiv(cy, baseUnitY, 8)};
    }

    void Create()
    {
        if (created)
            return;
        // Made in template order, the controls take Tab in that order, as on Windows.
        for (const DialogItemTemplate& item : self.m_template.items)
            controls.push_back(MakeControl(item));
        // Windows stacks the first control on top; Qt would put the last there. It decides what
        // paints over what; clicks pass through the group boxes whatever their place.
        for (auto it = controls.rbegin(); it != controls.rend(); ++it)
            (*it)->raise();
        created = true;
        qApp->installEventFilter(this);
        self.OnInitDialog();
    }

    QWidget* MakeControl(const DialogItemTemplate& item)
    {
        QWidget* widget = nullptr;
        const QString text = Q(item.text);
        switch (item.controlClass) {
        case ControlClass::Edit: {
            auto* edit = new QLineEdit(text);
            edit->setReadOnly(item.style & Style::kEditReadOnly);
            edit->setFrame(item.style & Style::kBorder);
            widget = edit;
            break;
        }
        case ControlClass::Progress: {
            auto* bar = new QProgressBar;
            bar->setRange(0, 100);
            bar->setValue(0);
            bar->setTextVisible(false);
            widget = bar;
            break;
        }
        case ControlClass::Button:
            if ((item.style & Style::kButtonTypeMask) == Style::kButtonGroupBox) {
                auto* group = new QGroupBox(text);
                // A Windows group box is transparent to hit-testing: clicks go to what lies under it.
                group->setAttribute(Qt::WA_TransparentForMouseEvents);
                widget = group;
            } else {
                auto* button = new QPushButton(text);
                // Only a template's default button reacts to Enter; Qt would make every button one.
                button->setAutoDefault(false);
                button->setDefault((item.style & Style::kButtonTypeMask) == Style::kButtonDefault);
                connect(button, &QPushButton::clicked, this, [this, id = item.id] { self.OnCommand(id); });
                widget = button;
            }
            break;
        case ControlClass::Static: {
            auto* label = new CStaticLabel;
            if ((item.style & Style::kStaticTypeMask) == Style::kStaticIcon) {
                label->setPixmap(ApplicationIcon().pixmap(kIconSize, kIconSize));
            } else {
                label->setText(text);
                label->setTextFormat(Qt::PlainText);
                label->setAlignment(StaticAlignment(item.style));
            }
            widget = label;
            break;
        }
        }
        widget->setParent(this);
        widget->setFont(font);
        widget->setGeometry(Rect(MapDialogRect(item.x, item.y, item.cx, item.cy)));
        if (item.controlClass == ControlClass::Static && (item.style & Style::kStaticTypeMask) == Style::kStaticIcon)
            widget->resize(kIconSize, kIconSize);  // Windows sizes an icon static to its icon
        widget->setProperty("controlId", item.id);
        widget->setProperty("windowStyle", item.style);
        widget->setFocusPolicy((item.style & Style::kTabStop) ? Qt::StrongFocus : Qt::NoFocus);
        widget->setVisible(item.style & Style::kVisible);
        return widget;
    }

    QWidget* Item(int id) const
    {
        for (QWidget* widget : controls)
            if (widget->property("controlId").toInt() == id)
                return widget;
        return nullptr;
    }

    // A box of the program's own runs modally over the dialog (About, a message, the chooser):
    // drops and closes are ignored then, as clicks are.
    bool BlockedByModal() const
    {
        const QWidget* modal = QApplication::activeModalWidget();
        return modal && modal != this;
    }

    void reject() override
    {
        if (!BlockedByModal())
            self.OnCommand(kIdCancel);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* widget = qobject_cast<QWidget*>(watched);
            const int key = static_cast<QKeyEvent*>(event)->key();
            const int virtualKey = key == Qt::Key_Return || key == Qt::Key_Enter ? kKeyReturn : key == Qt::Key_Escape ? kKeyEscape : 0;
            if (virtualKey && widget && (widget == this || isAncestorOf(widget)) && self.PreTranslateKey(virtualKey))
                return true;
        }
        return QDialog::eventFilter(watched, event);
    }

    static QList<QUrl> DroppedFiles(const QMimeData* data)
    {
        // Only local files can be hashed; anything else is refused before it is dropped.
        const QList<QUrl> urls = data->urls();
        return !urls.isEmpty() && urls.first().isLocalFile() ? urls : QList<QUrl>();
    }
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (BlockedByModal() || DroppedFiles(event->mimeData()).isEmpty())
            event->ignore();
        else
            event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override
    {
        const QList<QUrl> urls = DroppedFiles(event->mimeData());
        if (BlockedByModal() || urls.isEmpty())
            return event->ignore();
        event->acceptProposedAction();
        // The path's bytes, its escapes decoded as bytes: toLocalFile() would read them as UTF-8
        // and make "caf%E9" another name.
        std::vector<std::string> paths;
        for (const QUrl& url : urls)
            if (url.isLocalFile())
                paths.push_back(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
        self.OnDropFiles(paths);
    }
};

CTemplateDialog::CTemplateDialog(const DialogTemplate& dialogTemplate, CTemplateDialog* owner)
    : m_template(dialogTemplate)
    , m_native(std::make_unique<Native>(*this, owner ? owner->m_native.get() : nullptr))
{
}

CTemplateDialog::~CTemplateDialog() = default;

int CTemplateDialog::DoModal()
{
    // Made hidden: exec() makes a window modal only as it shows it.
    m_native->Create();
    return m_native->exec();
}

void CTemplateDialog::Create()
{
    m_native->Create();
    m_native->show();
}

void CTemplateDialog::EndDialog(int result)
{
    m_native->done(result);
}

CTemplateDialog* CTemplateDialog::ActiveModal()
{
    auto* native = dynamic_cast<Native*>(QApplication::activeModalWidget());
    return native ? &native->self : nullptr;
}

bool CTemplateDialog::IsWindowVisible() const
{
    return m_native->isVisible();
}

std::string CTemplateDialog::GetDlgItemText(int id) const
{
    QWidget* widget = m_native->Item(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return S(edit->text());
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return S(button->text());
    if (auto* label = qobject_cast<QLabel*>(widget))
        return S(label->text());
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return S(group->title());
    return std::string();
}

void CTemplateDialog::SetDlgItemText(int id, const std::string& text)
{
    QWidget* widget = m_native->Item(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(Q(text));
    else if (auto* button = qobject_cast<QPushButton*>(widget))
        button->setText(Q(text));
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(Q(text));
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(Q(text));
}

void CTemplateDialog::ShowDlgItem(int id, bool show)
{
    if (QWidget* widget = m_native->Item(id))
        widget->setVisible(show);
}

bool CTemplateDialog::IsDlgItemVisible(int id) const
{
    QWidget* widget = m_native->Item(id);
    return widget && widget->isVisible();
}

void CTemplateDialog::GotoDlgItem(int id)
{
    if (QWidget* widget = m_native->Item(id))
        widget->setFocus();
}

void CTemplateDialog::SetProgressPos(int id, int percent)
{
    if (auto* bar = qobject_cast<QProgressBar*>(m_native->Item(id)))
        bar->setValue(percent);
}

int CTemplateDialog::GetProgressPos(int id) const
{
    auto* bar = qobject_cast<QProgressBar*>(m_native->Item(id));
    return bar ? bar->value() : 0;
}

ItemRect CTemplateDialog::GetItemRect(int id) const
{
    QWidget* widget = m_native->Item(id);
    const QRect rect = widget ? widget->geometry() : QRect();
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

void CTemplateDialog::SetItemRect(int id, const ItemRect& rect)
{
    if (QWidget* widget = m_native->Item(id))
        widget->setGeometry(Native::Rect(rect));
}

std::uint32_t CTemplateDialog::GetItemStyle(int id) const
{
    QWidget* widget = m_native->Item(id);
    return widget ? widget->property("windowStyle").toUInt() : 0;
}

void CTemplateDialog::SetItemStyle(int id, std::uint32_t style)
{
    if (QWidget* widget = m_native->Item(id))
        widget->setProperty("windowStyle", style);
}

ItemRect CTemplateDialog::MapDialogRect(int x, int y, int cx, int cy) const
{
    return m_native->MapDialogRect(x, y, cx, cy);
}

void CTemplateDialog::AttachLink(int id, CLinkBehaviour* behaviour)
{
    if (auto* label = dynamic_cast<CStaticLabel*>(m_native->Item(id))) {
        label->m_link = behaviour;
        label->setCursor(Qt::PointingHandCursor);
    }
}

void CTemplateDialog::SetItemUnderline(int id)
{
    QWidget* widget = m_native->Item(id);
    if (!widget)
        return;
    QFont font = widget->font();
    font.setUnderline(true);
    widget->setFont(font);
}

void CTemplateDialog::MeasureItemText(int id, int& cx, int& cy) const
{
    QWidget* widget = m_native->Item(id);
    cx = cy = 0;
    if (!widget)
        return;
    const QFontMetrics metrics(widget->font());
    cx = metrics.horizontalAdvance(Q(GetDlgItemText(id)));
    cy = metrics.height();
}

void CTemplateDialog::SetItemToolTip(int id, const std::string& text)
{
    if (QWidget* widget = m_native->Item(id))
        widget->setToolTip(Q(text));
}

void CTemplateDialog::RedrawItem(int id)
{
    if (QWidget* widget = m_native->Item(id))
        widget->repaint();
}

void CTemplateDialog::ShowMessageBox(const std::string& text, const std::string& caption, bool warning)
{
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::NoIcon, Q(caption), Q(text), QMessageBox::Ok, m_native.get());
    box.exec();
}

bool CTemplateDialog::ChooseFile(std::string& path, std::string& fileName)
{
    QFileDialog dialog(m_native.get());
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The one filter keeps its Windows name, but matches every file: "*.*" alone would hide the
    // many files here whose names have no dot.
    dialog.setNameFilter(Q(CWindowSystem::Identity().allFilesFilter + " (*)"));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString chosen = dialog.selectedFiles().first();
    path = S(chosen);
    fileName = S(QFileInfo(chosen).fileName());
    return true;
}

void CTemplateDialog::SendToDialog(const std::function<void()>& call)
{
    // A blocking queued call to one's own thread would wait for itself forever.
    if (QThread::currentThread() == m_native->thread())
        call();
    else
        QMetaObject::invokeMethod(m_native.get(), call, Qt::BlockingQueuedConnection);
}

void CTemplateDialog::WaitServing(const std::function<bool()>& finished)
{
    // Drops are no user input to Qt: they arrive here too, and the dialog decides about them.
    while (!finished())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

void* CTemplateDialog::NativeWindow() const
{
    return static_cast<QWidget*>(m_native.get());
}

void* CTemplateDialog::NativeItem(int id) const
{
    return m_native->Item(id);
}
