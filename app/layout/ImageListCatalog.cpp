#include "ImageListCatalog.h"

#include "TImageList.h"

#include <QSize>

#include <array>

namespace {

// One subject of the fifteen-entry lists: its name part, its file part and its sizes in the
// neutral (SS), off (BR) and on (BC) lists.
struct TSubject {
    const char* Name;
    const char* File;
    QSize SizeSS;
    QSize SizeBR;
    QSize SizeBC;
};

const std::array<TSubject, 15> Subjects{{
    {"Heater", "Heater", {216, 300}, {205, 300}, {205, 300}},
    {"Heater IR", "Heater-IR", {360, 300}, {372, 300}, {374, 300}},
    {"Heater CB", "Heater-CB", {217, 300}, {206, 300}, {206, 300}},
    {"Heater VAP", "Heater-VAP", {272, 300}, {267, 300}, {267, 300}},
    {"Light", "Light", {303, 300}, {304, 300}, {304, 300}},
    {"Vent", "Vent", {288, 300}, {286, 300}, {286, 300}},
    {"Aroma", "Aroma", {305, 300}, {306, 300}, {306, 300}},
    {"Temp", "Temp", {184, 300}, {170, 299}, {170, 299}},
    {"Time", "Time", {300, 300}, {300, 300}, {300, 300}},
    {"Vap", "Vap", {191, 300}, {178, 300}, {178, 300}},
    {"Set", "Set", {300, 300}, {300, 300}, {300, 300}},
    {"Config", "Config", {284, 300}, {282, 300}, {284, 300}},
    {"KeyEnter", "KeyEnter", {300, 300}, {300, 300}, {300, 300}},
    {"KeyUp", "KeyUp", {378, 300}, {378, 300}, {378, 300}},
    {"KeyDn", "KeyDn", {378, 300}, {378, 300}, {378, 300}},
}};

// The on look has drawings of its own for the first ten subjects and shares the rest with the
// neutral look.
constexpr int FirstSharedBC = 10;

const QSize DigitSize{58, 80};
const QSize FaceSize{160, 90};

QString ImagePath(const char* folder, const QString& file) {
    return QStringLiteral(":/images/%1/%2.svg").arg(QLatin1String(folder), file);
}

void AddSubjects(TImageList& list, const QString& name) {
    for (int index = 0; index < static_cast<int>(Subjects.size()); ++index) {
        const TSubject& subject = Subjects[static_cast<std::size_t>(index)];
        const QString subjectName = QLatin1String(subject.Name);
        const QString file = QLatin1String(subject.File);
        if (name == ImageLists::SS) {
            list.Add("B1-" + subjectName, ImagePath("ss", "B1-" + file), subject.SizeSS);
        } else if (name == ImageLists::BR) {
            list.Add("BR-" + subjectName, ImagePath("br", "BR-" + file), subject.SizeBR);
        } else {
            const char* folder = index < FirstSharedBC ? "bc" : "ss";
            list.Add("B1-" + subjectName, ImagePath(folder, "B1-" + file), subject.SizeBC);
        }
    }
}

void AddDigits(TImageList& list) {
    for (int digit = 0; digit <= 9; ++digit) {
        const QString name = QStringLiteral("LED7-%1").arg(digit);
        list.Add(name, ImagePath("7seg", name), DigitSize);
    }
    list.Add(QStringLiteral("LED7-Empty"), ImagePath("7seg", QStringLiteral("LED7-Empty")),
             DigitSize);
}

void AddFaces(TImageList& list) {
    for (const char* face : {"BtBlack1", "BtGrey2", "BtGrey1"}) {
        list.Add(QLatin1String(face), ImagePath("faces", QLatin1String(face)), FaceSize);
    }
}

} // namespace

TImageList* CreateImageList(const QString& name, QObject* parent) {
    auto* list = new TImageList(parent);
    list->setObjectName(name);
    if (name == ImageLists::SS || name == ImageLists::BR || name == ImageLists::BC) {
        AddSubjects(*list, name);
    } else if (name == ImageLists::Seg7) {
        AddDigits(*list);
    } else if (name == ImageLists::Bt) {
        AddFaces(*list);
    }
    return list;
}
