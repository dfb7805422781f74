#include "FormCompletion.h"

#include "FormFonts.h"
#include "ImageListBinding.h"
#include "OpaqueLabels.h"
#include "PanelTheme.h"
#include "ShadowEffects.h"
#include "TPageAreaLook.h"

#include <QVariant>
#include <QWidget>

namespace {

// The page area names its look in the form; the look's fill lives beside it.
void AttachPageAreaLooks(QWidget* form) {
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        if (widget->property("Look") == QStringLiteral("BLTabControl1Style")) {
            TPageAreaLook::Attach(widget);
        }
    }
}

} // namespace

void CompleteLayout(QWidget* form) {
    ApplyPanelTheme(form);
    ApplyFormFonts(form);
    AttachShadowEffects(form);
    MakeLabelsOpaqueOnFills(form);
    AttachPageAreaLooks(form);
    BindImageLists(form);
}
