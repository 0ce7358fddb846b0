// Window and control positions are given in twips: 15 twips are one logical pixel.
#pragma once

#include <QRect>
#include <QtMath>

namespace pelorin::chrome {

constexpr int kTwipsPerPixel = 15;

inline int tw(int twips)
{
    return qRound(double(twips) / kTwipsPerPixel);
}
inline QRect twRect(int left, int top, int width, int height)
{
    return QRect(tw(left), tw(top), tw(width), tw(height));
}
inline QSize twSize(int width, int height)
{
    return QSize(tw(width), tw(height));
}

} // namespace pelorin::chrome
