#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>

#include <functional>
#include <string>

// A static text of a dialog turned into a web link: underlined, in link colours, the highlight
// colour while the pointer is over it, a pointing-hand cursor, the URL as its tooltip, and a
// click that opens the URL in the browser. After a successful open it shows the visited colour.
class CLinkStatic : public QLabel {
    Q_OBJECT
public:
    // How a click reaches the world outside; tests put their own in.
    struct Launcher {
        std::function<int(const std::string& url, int showCommand)> openUrl;
        std::function<void(QWidget* owner, int code)> showOpenError;
        std::function<void()> beep;
    };

    explicit CLinkStatic(QWidget* parent = nullptr);

    // The dialog has given the static its place, caption, font and style: make it a link.
    void SubclassWindow();

    void SetLinkUrl(const QString& url);
    void MarkVisited(bool visited);
    void SetLauncher(Launcher launcher);

    // Opens a URL through the shell, else the registered browser; above 32 is success.
    static int OpenUrl(const std::string& url, int showCommand);
    // The failure message for a result code, in a warning box captioned with the program's name.
    static void ShowOpenError(QWidget* owner, int code);

    QString LinkUrl() const { return m_strLinkUrl; }
    bool IsHovering() const { return m_bHovering; }
    bool WasVisited() const { return m_bWasVisited; }
    // Hover wins over visited, visited over the plain link colour.
    QColor CurrentTextColor() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FitToText();
    void LoadHandCursor();
    void OnLinkClicked();
    void SetHovering(bool hovering);

    QColor m_clrLink;
    QColor m_clrVisited;
    QColor m_clrHover;
    bool m_bHovering;
    bool m_bWasVisited;
    bool m_bUnderlineFont;
    bool m_bFitToText;
    QString m_strLinkUrl;
    QFont m_fontLink;
    bool m_bSubclassed;
    // The release that ends a double-click is no second click (Windows routes it as a double-click).
    bool m_bDoubleClickRelease = false;
    Launcher m_launcher;
};
