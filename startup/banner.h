// The maker's web banner: two pictures the banner alternates between.
#pragma once

#include <QPixmap>

namespace pelorin::startup {

inline const QSize kBannerSize(200, 40);

// index 1 or 2. Artwork when the program carries it, else a drawn stand-in, so that the
// two pictures always differ and the alternation stays visible.
QPixmap BannerPicture(int index);

} // namespace pelorin::startup
