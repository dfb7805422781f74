#pragma once
// A named list of pictures that controls show by index.

#include "TSvgPicture.h"

#include <QObject>
#include <QSize>
#include <QString>

#include <vector>

class TImageList : public QObject {
    Q_OBJECT
public:
    explicit TImageList(QObject* parent = nullptr);

    // Appends a picture under `name`, drawn from the SVG `source`, `sourceSize` large.
    void Add(const QString& name, const QString& source, const QSize& sourceSize);

    int Count() const { return static_cast<int>(FEntries.size()); }
    bool Contains(int index) const { return index >= 0 && index < Count(); }
    // Outside the list: an empty name, an invalid size, no picture.
    QString Name(int index) const;
    QSize SourceSize(int index) const;
    const TSvgPicture* Picture(int index) const;

private:
    struct TEntry {
        QString Name;
        TSvgPicture Picture;
    };
    std::vector<TEntry> FEntries;
};
