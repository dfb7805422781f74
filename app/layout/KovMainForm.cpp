#include "KovMainForm.h"

#include "AccessibleLooks.h"
#include "FormCompletion.h"
#include "ImageListCatalog.h"

TKovMainForm::TKovMainForm(QWidget* parent) : QWidget(parent) {
    InstallAccessibleLooks();
    setupUi(this);
    // A fixed panel: caption, system menu and minimise box, never maximised or resized.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    ImageListSS = CreateImageList(ImageLists::SS, this);
    ImageListBR = CreateImageList(ImageLists::BR, this);
    ImageListBC = CreateImageList(ImageLists::BC, this);
    ImageList7Seg = CreateImageList(ImageLists::Seg7, this);
    ImageListBt = CreateImageList(ImageLists::Bt, this);
    CompleteLayout(this);
}
