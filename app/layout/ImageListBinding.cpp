#include "ImageListBinding.h"

#include "TImageList.h"

#include <QVariant>
#include <QWidget>

#include <array>
#include <utility>

namespace {

// Each name property and the list property it fills.
constexpr std::array<std::pair<const char*, const char*>, 2> ListProperties{{
    {"ImageListName", "ImageList"},
    {"FaceListName", "FaceList"},
}};

} // namespace

void BindImageLists(QWidget* form) {
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        for (const auto& [nameProperty, listProperty] : ListProperties) {
            const QString name = widget->property(nameProperty).toString();
            if (name.isEmpty()) {
                continue;
            }
            auto* list = form->findChild<TImageList*>(name, Qt::FindDirectChildrenOnly);
            if (list) {
                widget->setProperty(listProperty, QVariant::fromValue(list));
            }
        }
    }
}
