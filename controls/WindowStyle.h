#pragma once

#include "DialogTemplate.h"

#include <QWidget>

// The Windows style bits a dialog control was declared with, kept on the Qt widget that stands
// for it so that controls which behave by them (the link label's fit, for one) can read them.
namespace Style {

inline std::uint32_t Of(const QWidget* widget)
{
    return widget->property("windowStyle").toUInt();
}

inline void Set(QWidget* widget, std::uint32_t style)
{
    widget->setProperty("windowStyle", style);
}

}  // namespace Style
