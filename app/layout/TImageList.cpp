#include "TImageList.h"

TImageList::TImageList(QObject* parent) : QObject(parent) {}

void TImageList::Add(const QString& name, const QString& source, const QSize& sourceSize) {
    FEntries.push_back({name, TSvgPicture(source, sourceSize)});
}

QString TImageList::Name(int index) const {
    return Contains(index) ? FEntries[static_cast<std::size_t>(index)].Name : QString();
}

QSize TImageList::SourceSize(int index) const {
    return Contains(index) ? FEntries[static_cast<std::size_t>(index)].Picture.SourceSize()
                           : QSize();
}

const TSvgPicture* TImageList::Picture(int index) const {
    return Contains(index) ? &FEntries[static_cast<std::size_t>(index)].Picture : nullptr;
}
