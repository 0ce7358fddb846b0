// One spelling of Arabic for finding text: the same name written أحمد, احمد or أَحْمَد, or a
// title ending in ة or ه, comes out the same, so a typed word finds it whichever way it is
// written.
#pragma once

#include <QString>

namespace pelorin::find {

// Drops the short vowels and other marks (U+064B..U+065F, U+0670), tatweel and the invisible
// direction and joining marks; reads أ إ آ ٱ as ا, ة as ه, ى and ئ as ي, ؤ as و, Arabic-Indic
// and Eastern Arabic-Indic digits as 0..9, and letters of other scripts without case. Text that
// needs none of this is given back as it is, without a copy.
QString NormalizeForSearch(const QString& text);

// Writes the text normalised at out, which has room for text.size() characters; the end of
// what was written. For building one text from many without copies between.
char16_t* NormalizeInto(char16_t* out, QStringView text);

} // namespace pelorin::find
