#include "controls/LinkStatic.h"

#include "controls/UrlLauncher.h"
#include "platform/Shell.h"

#include <utility>

CLinkStatic::CLinkStatic()
    : m_clrLink(Rgb(0, 0, 238))
    , m_clrVisited(Rgb(85, 26, 139))
    , m_clrHover(CWindowSystem::HighlightColour())
    , m_bHovering(false)
    , m_bWasVisited(false)
    , m_bUnderlineFont(true)
    , m_bFitToText(true)
    , m_launcher{&CLinkStatic::OpenUrl, &CLinkStatic::ShowOpenError, &CWindowSystem::Beep}
{
}

void CLinkStatic::SetLauncher(Launcher launcher)
{
    m_launcher = std::move(launcher);
}

void CLinkStatic::SubclassDlgItem(int id, CTemplateDialog* parent)
{
    parent->SetItemStyle(id, parent->GetItemStyle(id) | Style::kStaticNotify);
    const std::string caption = parent->GetDlgItemText(id);
    if (m_strLinkUrl.empty())
        m_strLinkUrl = caption;
    if (caption.empty())
        parent->SetDlgItemText(id, m_strLinkUrl);
    if (m_bUnderlineFont)
        parent->SetItemUnderline(id);

    m_pParent = parent;
    m_nID = id;
    parent->AttachLink(id, this);
    FitToText();
    parent->SetItemToolTip(id, m_strLinkUrl);
}

void CLinkStatic::FitToText()
{
    if (!m_pParent || !m_bFitToText)
        return;
    int cx = 0, cy = 0;
    m_pParent->MeasureItemText(m_nID, cx, cy);
    m_pParent->SetItemRect(m_nID, FittedRect(m_pParent->GetItemRect(m_nID), m_pParent->GetItemStyle(m_nID), cx, cy));
}

ItemRect CLinkStatic::FittedRect(ItemRect rect, std::uint32_t style, int cx, int cy)
{
    // Centred sides shrink (or grow) equally, the difference halved toward zero.
    if (style & Style::kStaticCenterImage) {
        const int dy = (rect.cy - cy) / 2;
        rect.y += dy;
        rect.cy -= 2 * dy;
    } else {
        rect.cy = cy;
    }
    if (style & Style::kStaticCenter) {
        const int dx = (rect.cx - cx) / 2;
        rect.x += dx;
        rect.cx -= 2 * dx;
    } else if (style & Style::kStaticRight) {
        rect.x += rect.cx - cx;
        rect.cx = cx;
    } else {
        rect.cx = cx;
    }
    return rect;
}

void CLinkStatic::SetLinkUrl(const std::string& url)
{
    m_strLinkUrl = url;
    if (m_pParent) {
        FitToText();
        m_pParent->SetItemToolTip(m_nID, m_strLinkUrl);
    }
}

void CLinkStatic::MarkVisited(bool visited)
{
    m_bWasVisited = visited;
    Redraw();
}

void CLinkStatic::Redraw()
{
    if (m_pParent)
        m_pParent->RedrawItem(m_nID);
}

Colour CLinkStatic::TextColour() const
{
    if (m_bHovering)
        return m_clrHover;
    return m_bWasVisited ? m_clrVisited : m_clrLink;
}

void CLinkStatic::OnHover(bool hovering)
{
    if (m_bHovering == hovering)
        return;
    m_bHovering = hovering;
    Redraw();
}

void CLinkStatic::OnClicked()
{
    const int code = m_launcher.openUrl(m_strLinkUrl, zanfo::kShow);
    m_bWasVisited = code > 32;
    if (m_bWasVisited) {
        MarkVisited(true);
    } else {
        // The visited flag is cleared without a repaint: the link colour returns at the next one.
        m_launcher.beep();
        m_launcher.showOpenError(m_pParent, code);
    }
}

int CLinkStatic::OpenUrl(const std::string& url, int showCommand)
{
    return CUrlLauncher::OpenUrl(url, showCommand);
}

void CLinkStatic::ShowOpenError(CTemplateDialog* owner, int code)
{
    owner->ShowMessageBox(CUrlLauncher::OpenErrorText(code), CWindowSystem::ApplicationTitle(), true);
}
