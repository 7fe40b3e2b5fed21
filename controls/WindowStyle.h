#pragma once

#include <QWidget>

// The Windows style bits a dialog control was declared with, kept on the Qt widget that stands
// for it so that controls which behave by them (the link label's fit, for one) can read them.
namespace WindowStyle {

constexpr unsigned kStaticCenter = 0x0001;       // SS_CENTER
constexpr unsigned kStaticRight = 0x0002;        // SS_RIGHT
constexpr unsigned kStaticIcon = 0x0003;         // SS_ICON (a type, not a bit)
constexpr unsigned kStaticNotify = 0x0100;       // SS_NOTIFY
constexpr unsigned kStaticCenterImage = 0x0200;  // SS_CENTERIMAGE

inline unsigned Of(const QWidget* widget)
{
    return widget->property("windowStyle").toUInt();
}

inline void Set(QWidget* widget, unsigned style)
{
    widget->setProperty("windowStyle", style);
}

}  // namespace WindowStyle
