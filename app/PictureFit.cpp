// Where a picture goes when it is fitted into a box: scaled uniformly, anchored top-left.
#include "app/PictureFit.h"

QRectF FitPictureRect(QSize boxSize, QSize pictureSize)
{
    if (boxSize.isEmpty() || pictureSize.isEmpty())
        return {};
    const double rw = double(pictureSize.width()) / boxSize.width();
    const double rh = double(pictureSize.height()) / boxSize.height();
    const double r = rw > rh ? rw : rh;
    return QRectF(0, 0, pictureSize.width() / r, pictureSize.height() / r);
}
