#include "FormCompletion.h"

#include "ImageListBinding.h"
#include "PanelTheme.h"
#include "FormFonts.h"
#include "ShadowEffects.h"

void CompleteLayout(QWidget* form) {
    ApplyPanelTheme(form);
    ApplyFormFonts(form);
    AttachShadowEffects(form);
    BindImageLists(form);
}
