#pragma once
// The panel's five image lists: which pictures each holds, in the index order controls rely on.

#include <QString>

class QObject;
class TImageList;

namespace ImageLists {
inline const QString SS = QStringLiteral("ImageListSS");     // neutral: colour with a grey halo
inline const QString BR = QStringLiteral("ImageListBR");     // off: flat dark red
inline const QString BC = QStringLiteral("ImageListBC");     // on: full colour
inline const QString Seg7 = QStringLiteral("ImageList7Seg"); // digits 0 to 9, then the unlit one
inline const QString Bt = QStringLiteral("ImageListBt");     // button faces
} // namespace ImageLists

// The list called `name` (one of the above) with its pictures, owned by `parent`;
// an unknown name gives an empty list.
TImageList* CreateImageList(const QString& name, QObject* parent);
