#include "ApplicationIcon.h"

QIcon ApplicationIcon()
{
    static const QIcon icon = [] {
        QIcon sizes;
        for (const int size : {16, 32, 48, 256})
            sizes.addFile(QString(":/icons/zanfo-md5-%1.png").arg(size), QSize(size, size));
        return sizes;
    }();
    return icon;
}
