#pragma once

#include "window/WindowLayer.h"

#include <functional>
#include <string>

// A static text of a dialog turned into a web link: underlined, in link colours, the highlight
// colour while the pointer is over it, a pointing-hand cursor, the URL as its tooltip, and a
// click that opens the URL in the browser. After a successful open it shows the visited colour.
class CLinkStatic : public CLinkBehaviour {
public:
    // How a click reaches the world outside; tests put their own in.
    struct Launcher {
        std::function<int(const std::string& url, int showCommand)> openUrl;
        std::function<void(CTemplateDialog* owner, int code)> showOpenError;
        std::function<void()> beep;
    };

    CLinkStatic();

    // The dialog has given its static `id` a place, caption, font and style: make it a link.
    void SubclassDlgItem(int id, CTemplateDialog* parent);

    void SetLinkUrl(const std::string& url);
    void MarkVisited(bool visited);
    void SetLauncher(Launcher launcher);

    // Opens a URL through the shell, else the registered browser; above 32 is success.
    static int OpenUrl(const std::string& url, int showCommand);
    // The failure message for a result code, in a warning box captioned with the program's name.
    static void ShowOpenError(CTemplateDialog* owner, int code);
    // The place `rect` shrinks (or grows) to for a text of cx by cy, keeping the sides that the
    // static's alignment bits in `style` name.
    static ItemRect FittedRect(ItemRect rect, std::uint32_t style, int cx, int cy);

    const std::string& LinkUrl() const { return m_strLinkUrl; }
    bool IsHovering() const { return m_bHovering; }
    bool WasVisited() const { return m_bWasVisited; }
    // Hover wins over visited, visited over the plain link colour.
    Colour TextColour() const override;
    void OnHover(bool hovering) override;
    void OnClicked() override;

private:
    void FitToText();
    void Redraw();

    Colour m_clrLink;
    Colour m_clrVisited;
    Colour m_clrHover;
    bool m_bHovering;
    bool m_bWasVisited;
    bool m_bUnderlineFont;
    bool m_bFitToText;
    std::string m_strLinkUrl;
    CTemplateDialog* m_pParent = nullptr;  // set once subclassed: from then on the control counts as a window
    int m_nID = 0;
    Launcher m_launcher;
};
